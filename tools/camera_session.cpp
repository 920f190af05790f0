#include "camera_session.h"

#include <thread>

#include "fotolien.h"
#include "orkactl.h"

namespace orkactl {

namespace {

// The camera needs a moment after opening before it accepts control mode.
constexpr int kControlModeAttempts = 4;
constexpr auto kControlModeRetryPause = std::chrono::seconds(1);
// Polling of the waiting-file count (the library offers no notification).
constexpr auto kFilePollInterval = std::chrono::milliseconds(5);
// How long closing waits for files still on their way.
constexpr auto kCloseWait = std::chrono::seconds(30);

}  // namespace

int CameraSession::open() {
    if (OpenCamera(ORKA_PRODUCT_ID) != 0) {
        fail("no camera found (is it connected and switched on?)");
        return kNoCamera;
    }
    opened_ = true;
    for (int attempt = 0; attempt < kControlModeAttempts; ++attempt) {
        if (attempt > 0) {
            std::this_thread::sleep_for(kControlModeRetryPause);
        }
        if (StartPCControlMode() == 0) {
            controlMode_ = true;
            return kDone;
        }
    }
    fail("the camera refused PC-control mode");
    return kRefused;
}

bool CameraSession::waitForFiles(std::chrono::seconds idle, const std::function<void()>& onPoll) {
    int32_t last = -1;
    auto progress = std::chrono::steady_clock::now();
    for (;;) {
        if (onPoll) {
            onPoll();
        }
        int32_t waiting = 0;
        GetWaitingFileNumber(&waiting);
        if (waiting <= 0) {
            return true;
        }
        if (CheckExistUSBCamera() == 4) {
            opened_ = controlMode_ = false;
            fail("the camera went away before sending every file");
            return false;
        }
        const auto now = std::chrono::steady_clock::now();
        if (waiting != last) {
            last = waiting;
            progress = now;
        } else if (now - progress > idle) {
            fail("the camera stopped sending files (" + std::to_string(waiting) + " missing)");
            return false;
        }
        std::this_thread::sleep_for(kFilePollInterval);
    }
}

CameraSession::~CameraSession() {
    if (controlMode_) {
        waitForFiles(std::chrono::duration_cast<std::chrono::seconds>(kCloseWait));
        TerminatePCControlMode();
    }
    if (opened_) {
        CloseCamera();
    }
}

}  // namespace orkactl
