// The libusb driver as far as a machine without a camera (and without a USB
// subsystem) allows: opening fails cleanly and at once, says why, and leaves
// no thread and no registration behind.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
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
    EXPECT_EQ(usbNativeOpenDiagnosis(nullptr, 0), USBPIPE_OPEN_NO_DEVICE);
    usbNativeClose(handle);
    return elapsed;
}

// With no camera on the bus the answer comes at once, not after the wait
// kept for a camera that is present but not yet ready; with hotplug
// notification and with the device list polled.
TEST(LibusbDriver, OpenWithoutCameraAnswersAtOnce) {
    usbpipe::internal::setAttachWait(10s);
    for (const bool polling : {false, true}) {
        usbpipe::internal::setForcePolling(polling);
        for (int attempt = 0; attempt < 2; ++attempt) {
            SCOPED_TRACE(std::to_string(attempt) + (polling ? " polling" : " hotplug"));
            EXPECT_LT(openWithoutCamera(), 1s);
        }
    }
    usbpipe::internal::setForcePolling(false);
}

}  // namespace
