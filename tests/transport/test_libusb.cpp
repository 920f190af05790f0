// The libusb driver as far as a machine without a camera (and without a USB
// subsystem) allows: opening fails cleanly after its wait, and leaves no
// thread and no registration behind.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "internal.h"
#include "usbpipe.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr int32_t kVendor = ORKA_VENDOR_ID;
constexpr int32_t kProduct = ORKA_PRODUCT_ID;

int threadCount() {
    // A sanitizer starts a helper thread of its own with the first thread:
    // have it started before counting.
    static const bool warmedUp = [] {
        std::thread([] {}).join();
        return true;
    }();
    (void)warmedUp;
    int count = 0;
    for ([[maybe_unused]] auto& entry : std::filesystem::directory_iterator("/proc/self/task")) {
        ++count;
    }
    return count;
}

// Opens with no camera present; returns how long the call took.
Clock::duration openWithoutCamera() {
    const int threadsBefore = threadCount();
    testing::internal::CaptureStderr();
    const auto start = Clock::now();
    void* handle = usbNativeOpen(kVendor, kProduct, 0);
    const auto elapsed = Clock::now() - start;
    const std::string written = testing::internal::GetCapturedStderr();
    EXPECT_EQ(handle, nullptr);
    EXPECT_EQ(threadCount(), threadsBefore) << "every thread of the registration is joined";
    EXPECT_EQ(written, "") << "no camera is not an error worth a diagnostic";
    EXPECT_EQ(usbNativeCountDev(kVendor, kProduct), 0);
    usbNativeClose(handle);
    return elapsed;
}

TEST(LibusbDriver, OpenWithoutCameraFailsAfterItsTenSecondWaitTwice) {
    usbpipe::internal::setForcePolling(false);
    usbpipe::internal::setAttachWait(10s);
    for (int attempt = 0; attempt < 2; ++attempt) {
        SCOPED_TRACE(attempt);
        const auto elapsed = openWithoutCamera();
        EXPECT_GE(elapsed, 10s);
        EXPECT_LT(elapsed, 12s);  // generous: the machine may be busy with other tests
    }
}

TEST(LibusbDriver, DeviceListPollingWithoutCameraStopsCleanly) {
    usbpipe::internal::setForcePolling(true);
    usbpipe::internal::setAttachWait(700ms);
    for (int attempt = 0; attempt < 3; ++attempt) {
        SCOPED_TRACE(attempt);
        const auto elapsed = openWithoutCamera();
        EXPECT_LT(elapsed, 1500ms);
    }
    usbpipe::internal::setForcePolling(false);
}

}  // namespace
