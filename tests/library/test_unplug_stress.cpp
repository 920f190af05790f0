// The camera unplugged at a random moment of a long command stream, 100
// times: every call returns within its limit, nothing crashes, and
// CheckExistUSBCamera then reports the camera gone.
#include <atomic>
#include <cstdio>
#include <random>
#include <thread>

#include "sim_support.h"

namespace fotolien::test {
namespace {

class UnplugStress : public SimTest {};

// One call of the stream, picked at random; its result.
int32_t randomCall(std::mt19937& rng) {
    static uint8_t frame[1 << 20];
    CameraStatusData status;
    LiveViewInfo info;
    int32_t point[2] = {1632, 1224};
    switch (rng() % 8) {
        case 0:
            return SetFocusMode(static_cast<int32_t>(rng() % 2));
        case 1:
            return SetShutterSpeedValue(static_cast<int32_t>(rng() % 50));
        case 2:
            return GetCameraStatusData(&status);
        case 3: {
            const int32_t rc = LiveViewGetInfo(&info);
            if (rc != 0 || info.size > sizeof frame) {
                return rc;
            }
            return LiveViewGetFrame(frame, info.size, &status);
        }
        case 4:
            return S1On(point) == 0 ? S1Off() : 1;
        case 5:
            return SetFFPPosition(point);
        case 6:
            return SetFlashCompensationType(static_cast<int32_t>(rng() % 7));
        default:
            return SyncCameraClock(0x060C07EA, 0x0004150B);
    }
}

TEST_F(UnplugStress, EveryCallReturnsInTimeAndTheCameraIsReportedGone) {
    constexpr int kRuns = 100;
    // The longest any call may wait while the camera is there: a preview
    // frame (1 s); once it is gone every wait ends at once.
    constexpr auto kCallLimit = 1500ms;
    const unsigned base = std::random_device{}();
    std::printf("unplug stress: seeds %u to %u\n", base, base + kRuns - 1);
    for (int run = 0; run < kRuns; ++run) {
        const unsigned seed = base + static_cast<unsigned>(run);
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 rng(seed);
        sim().reset();
        sim().setStateNoticeDelay(1ms);
        enterControlMode();
        if (HasFatalFailure()) {
            return;
        }

        std::atomic<bool> unplugged{false};
        const auto delay = std::chrono::microseconds(rng() % 30000);
        std::thread unplugger([&] {
            std::this_thread::sleep_for(delay);
            sim().unplug();
            unplugged = true;
        });
        bool failedAfterUnplug = false;
        for (int call = 0; call < 1000000 && !failedAfterUnplug; ++call) {
            const bool gone = unplugged;
            int32_t rc = 0;
            const auto took = timed([&] { rc = randomCall(rng); });
            EXPECT_LT(took, kCallLimit) << "call " << call;
            failedAfterUnplug = gone && rc != 0;
        }
        unplugger.join();

        EXPECT_TRUE(reportedGone());
        EXPECT_EQ(CheckExistUSBCamera(), 4);
        sim().replug();
    }
}

}  // namespace
}  // namespace fotolien::test
