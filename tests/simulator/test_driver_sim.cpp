// The simulated driver layer: attach and detach follow the camera's plug
// state, transfers reach its pipes, abort and stop never leave a thread
// behind; and the exports over it tell why an open failed.
#include <gtest/gtest.h>

#include <condition_variable>
#include <functional>
#include <future>
#include <mutex>
#include <thread>

#include "driver.h"
#include "host.h"
#include "usbpipe.h"

namespace {

using namespace std::chrono_literals;
using orkasim::Camera;

// Collects the registration's callbacks.
struct Events {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::string> seen;
    usbpipe::DevicePtr device;
    std::thread::id thread;
    bool accept = true;

    usbpipe::Notifications notifications() {
        return {[this](const usbpipe::DevicePtr& d) {
                    std::lock_guard lock(mutex);
                    seen.push_back("attach");
                    device = d;
                    thread = std::this_thread::get_id();
                    changed.notify_all();
                    return accept;
                },
                [this](const usbpipe::DevicePtr& d) {
                    std::lock_guard lock(mutex);
                    seen.push_back(d == device ? "detach" : "detach of another device");
                    changed.notify_all();
                },
                {},
                {}};
    }
    bool waitFor(size_t count) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, 2s, [&] { return seen.size() >= count; });
    }
};

class DriverSim : public ::testing::Test {
  protected:
    void SetUp() override { Camera::instance().reset(); }
    void TearDown() override { Camera::instance().reset(); }
    std::unique_ptr<usbpipe::Registration> registerFor(Events& events) {
        uint32_t status = 1;
        auto registration = usbpipe::registerNotifications(orkasim::kVendorId, orkasim::kProductId,
                                                           events.notifications(), &status);
        EXPECT_EQ(status, usbpipe::kOk);
        return registration;
    }
};

TEST_F(DriverSim, PresentCameraIsReportedOnTheEventThread) {
    Events events;
    auto registration = registerFor(events);
    ASSERT_TRUE(events.waitFor(1));
    EXPECT_NE(events.thread, std::this_thread::get_id());
    EXPECT_EQ(events.device->interfaceNumber(), 0);
    EXPECT_EQ(events.device->maxPacketSize(), 512u);
    EXPECT_EQ(events.device->selectInterface(0, 0), usbpipe::kOk);
    EXPECT_NE(events.device->selectInterface(1, 0), usbpipe::kOk);
    registration->stop();
}

TEST_F(DriverSim, UnplugAndReplugBecomeDetachAndAttach) {
    Events events;
    auto registration = registerFor(events);
    ASSERT_TRUE(events.waitFor(1));
    usbpipe::DevicePtr first = events.device;
    Camera::instance().unplug();
    // Transfers fail at once, before the detach is even delivered.
    std::vector<uint8_t> buffer(512);
    uint32_t n = 0;
    EXPECT_EQ(first->bulkTransfer(0x82, buffer.data(), 512, 0, &n), usbpipe::kNotAttached);
    ASSERT_TRUE(events.waitFor(2));
    Camera::instance().replug();
    ASSERT_TRUE(events.waitFor(3));
    EXPECT_EQ(events.seen, (std::vector<std::string>{"attach", "detach", "attach"}));
    EXPECT_NE(events.device, first);
    EXPECT_EQ(first->bulkTransfer(0x01, buffer.data(), 1, 100, &n), usbpipe::kNotAttached);
    registration->stop();
}

TEST_F(DriverSim, TransfersReachTheCamera) {
    Events events;
    auto registration = registerFor(events);
    ASSERT_TRUE(events.waitFor(1));
    auto open = orkasim::wire::packet(orkasim::wire::kOpen, 1, {});
    uint32_t n = 0;
    ASSERT_EQ(events.device->bulkTransfer(0x01, open.data(), static_cast<uint32_t>(open.size()),
                                          3000, &n),
              usbpipe::kOk);
    EXPECT_EQ(n, open.size());
    std::vector<uint8_t> buffer(512);
    ASSERT_EQ(events.device->bulkTransfer(0x82, buffer.data(), 512, 1000, &n), usbpipe::kOk);
    EXPECT_EQ(n, 14u);
    EXPECT_EQ(events.device->bulkTransfer(0x82, buffer.data(), 512, 30, &n), usbpipe::kTimeout);
    registration->stop();
}

TEST_F(DriverSim, AbortWakesABlockedReadAndLaterReadsWork) {
    Events events;
    auto registration = registerFor(events);
    ASSERT_TRUE(events.waitFor(1));
    auto device = events.device;
    auto reader = std::async(std::launch::async, [&] {
        std::vector<uint8_t> buffer(512);
        uint32_t n = 0;
        return device->bulkTransfer(0x82, buffer.data(), 512, 0, &n);
    });
    EXPECT_EQ(reader.wait_for(30ms), std::future_status::timeout);
    device->abortPipe(0x82);
    ASSERT_EQ(reader.wait_for(2s), std::future_status::ready);
    EXPECT_EQ(reader.get(), usbpipe::kCancelled);

    Camera::instance().injectRaw({1, 2, 3});
    std::vector<uint8_t> buffer(512);
    uint32_t n = 0;
    EXPECT_EQ(device->bulkTransfer(0x82, buffer.data(), 512, 1000, &n), usbpipe::kOk);
    EXPECT_EQ(n, 3u);
    registration->stop();
}

TEST_F(DriverSim, StopCancelsPendingTransfersAndEndsCallbacks) {
    Events events;
    auto registration = registerFor(events);
    ASSERT_TRUE(events.waitFor(1));
    auto device = events.device;
    auto reader = std::async(std::launch::async, [&] {
        std::vector<uint8_t> buffer(512);
        uint32_t n = 0;
        return device->bulkTransfer(0x82, buffer.data(), 512, 0, &n);
    });
    EXPECT_EQ(reader.wait_for(30ms), std::future_status::timeout);
    registration->stop();
    ASSERT_EQ(reader.wait_for(2s), std::future_status::ready);
    EXPECT_EQ(reader.get(), usbpipe::kCancelled);
    Camera::instance().unplug();
    Camera::instance().replug();
    std::this_thread::sleep_for(20ms);
    std::lock_guard lock(events.mutex);
    EXPECT_EQ(events.seen.size(), 1u);
}

TEST_F(DriverSim, RejectedDeviceIsDropped) {
    Events events;
    events.accept = false;
    auto registration = registerFor(events);
    ASSERT_TRUE(events.waitFor(1));
    // The refusal is handled once the callback has returned.
    const auto deadline = orkasim::Clock::now() + 2s;
    while (events.device->selectInterface(0, 0) == usbpipe::kOk &&
           orkasim::Clock::now() < deadline) {
        std::this_thread::sleep_for(1ms);
    }
    std::vector<uint8_t> buffer(512);
    uint32_t n = 0;
    EXPECT_EQ(events.device->bulkTransfer(0x82, buffer.data(), 512, 10, &n), usbpipe::kNotAttached);
    registration->stop();
}

TEST_F(DriverSim, OtherIdentifiersFindNothing) {
    Events events;
    uint32_t status = 1;
    auto registration =
        usbpipe::registerNotifications(0x1234, 0x5678, events.notifications(), &status);
    std::this_thread::sleep_for(30ms);
    registration->stop();
    EXPECT_TRUE(events.seen.empty());
}

}  // namespace

// ---- the exports over the simulated camera ----------------------------------

namespace {

// Each way the camera can be out of reach, as a window test will set it up:
// opening answers at once and the diagnosis names the case.
TEST(SimulatedTransport, PresentsEveryReasonAnOpenFails) {
    struct Case {
        const char* name;
        std::function<void()> arrange;
        int32_t reason;
        std::string detail;
    };
    const Case cases[] = {
        {"no camera on the bus", [] { Camera::instance().unplug(); }, USBPIPE_OPEN_NO_DEVICE, ""},
        {"access refused", [] { Camera::instance().setHostAccess(Camera::HostAccess::Denied); }, USBPIPE_OPEN_ACCESS_DENIED,
         "/dev/bus/usb/001/002"},
        {"held elsewhere", [] {
             Camera::instance().setHostAccess(Camera::HostAccess::Held, "importer (pid 4242)");
         },
         USBPIPE_OPEN_BUSY, "importer (pid 4242)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Camera::instance().reset();
        c.arrange();
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(usbNativeOpen(orkasim::kVendorId, orkasim::kProductId, 0), nullptr);
        EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
        char detail[64] = "stale";
        EXPECT_EQ(usbNativeOpenDiagnosis(detail, sizeof detail), c.reason);
        EXPECT_EQ(std::string(detail), c.detail);
    }
    Camera::instance().reset();  // back to an ordinary camera
    void* handle = usbNativeOpen(orkasim::kVendorId, orkasim::kProductId, 0);
    EXPECT_NE(handle, nullptr);
    EXPECT_EQ(usbNativeOpenDiagnosis(nullptr, 0), USBPIPE_OPEN_OK);
    usbNativeClose(handle);
}

}  // namespace
