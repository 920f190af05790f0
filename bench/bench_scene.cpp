// Time the simulated camera takes to render one JPEG frame of its scene, at
// the live-view sizes and at the full picture sizes (median of several
// renders, and the frame rate it would allow). The live view of the
// simulated camera cannot run faster than its renderer unless frames are
// rendered ahead (orkasim::Camera::prerenderFrames).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <utility>
#include <vector>

#include "scene.h"

int main() {
    using Clock = std::chrono::steady_clock;
    const orkasim::Scene scene;
    std::printf("%-12s %10s %10s %10s\n", "frame", "median ms", "frames/s", "bytes");
    for (auto [w, h] : {std::pair{320, 240}, {544, 408}, {3264, 2176}, {3264, 2448}}) {
        const int renders = w * h > 1000000 ? 5 : 25;
        std::vector<double> ms;
        size_t bytes = 0;
        for (int i = 0; i < renders; ++i) {
            const auto start = Clock::now();
            bytes = scene.renderJpeg(w, h, orkasim::SceneSettings{}, i * 0.1).size();
            ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        }
        std::sort(ms.begin(), ms.end());
        const double median = ms[ms.size() / 2];
        std::printf("%4d x %-5d %10.2f %10.1f %10zu\n", w, h, median, 1000.0 / median, bytes);
    }
    return 0;
}
