// Live view: LiveViewGetInfo + LiveViewGetFrame of pre-rendered 544 x 408
// frames from the in-process simulated camera, as fast as they come.
#include "bench_support.h"

int main() {
    using namespace orkabench;
    enterControlMode();
    orkasim::Camera::instance().prerenderFrames(16);
    if (SetLiveViewMode(1) != 0) {
        std::fprintf(stderr, "the camera did not switch to 544 x 408\n");
        return 1;
    }
    constexpr auto kRun = std::chrono::seconds(2);
    std::vector<uint8_t> buffer;
    LiveViewInfo info{};
    long frames = 0;
    uint64_t bytes = 0;
    int failures = 0;
    std::vector<double> latencies;
    const auto start = Clock::now();
    while (Clock::now() - start < kRun) {
        const auto before = Clock::now();
        if (LiveViewGetInfo(&info) != 0) {
            ++failures;
            continue;
        }
        buffer.resize(info.size);
        failures += LiveViewGetFrame(buffer.data(), info.size, nullptr) != 0;
        latencies.push_back(seconds(Clock::now() - before) * 1e6);
        ++frames;
        bytes += info.size;
    }
    const double elapsed = seconds(Clock::now() - start);
    leaveControlMode();

    std::printf("live view (pre-rendered %ux%u frames, simulated camera)\n", info.width,
                info.height);
    std::printf("  frames:       %ld in %.2f s, %d failed, %.1f KB each on average\n", frames,
                elapsed, failures, frames > 0 ? bytes / 1024.0 / frames : 0.0);
    std::printf("  frames/s:     %.0f (target >= 2000)\n", frames / elapsed);
    std::printf("  median:       %.1f us per frame\n", quantile(latencies, 0.5));
    std::printf("  99th pct:     %.1f us per frame\n", quantile(latencies, 0.99));
    return failures == 0 ? 0 : 1;
}
