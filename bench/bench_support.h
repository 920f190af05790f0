// Shared by the camera-library benchmarks: the simulated camera opened and
// in PC-control mode, and the figures they print.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "fotolien.h"
#include "orkasim.h"

namespace orkabench {

using Clock = std::chrono::steady_clock;

// Opens the in-process simulated camera and enters PC-control mode; exits
// the program when that fails.
inline void enterControlMode() {
    orkasim::Camera& camera = orkasim::Camera::instance();
    camera.reset();
    camera.setStateNoticeDelay(std::chrono::milliseconds(1));
    camera.setLogLimits(0, 0);  // the log would measure itself
    if (OpenCamera(ORKA_PRODUCT_ID) != 0) {
        std::fprintf(stderr, "no simulated camera: run with build/sim first on the library path\n");
        std::exit(1);
    }
    for (int attempt = 0; attempt < 1000; ++attempt) {
        if (StartPCControlMode() == 0) {
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    std::fprintf(stderr, "the simulated camera refused PC-control mode\n");
    std::exit(1);
}

inline void leaveControlMode() {
    TerminatePCControlMode();
    CloseCamera();
}

// The value at fraction q (0..1) of sorted samples.
inline double quantile(std::vector<double> samples, double q) {
    if (samples.empty()) {
        return 0;
    }
    std::sort(samples.begin(), samples.end());
    const size_t at = std::min(samples.size() - 1, static_cast<size_t>(q * samples.size()));
    return samples[at];
}

inline double seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

}  // namespace orkabench
