// The simulated camera as a USB device: how its bulk-in pipe hands out
// messages, unplugging, cancelling, time limits, the packet log.
#include <gtest/gtest.h>

#include <future>
#include <thread>

#include "host.h"
#include "pipe.h"

namespace orkasim::test {
namespace {

using namespace std::chrono_literals;

class Usb : public ::testing::Test {
  protected:
    void SetUp() override { camera.reset(); }
    void TearDown() override { camera.reset(); }
    Camera& camera = Camera::instance();

    UsbResult read(std::vector<uint8_t>& buffer, size_t length, size_t* got,
                   uint32_t timeoutMs = 1000, const std::atomic<bool>* cancel = nullptr) {
        buffer.assign(length, 0);
        return camera.bulkIn(buffer.data(), length, timeoutMs, got, cancel);
    }
};

std::vector<uint8_t> pattern(size_t size) {
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<uint8_t>(i * 7 + 3);
    return bytes;
}

TEST(InPipe, ReadsStopAtTheEndOfEachMessage) {
    InPipe pipe;
    pipe.push(pattern(1500));
    pipe.push(pattern(60));
    pipe.push({});  // a zero-length transfer
    std::vector<uint8_t> out(512);
    EXPECT_EQ(pipe.read(out.data(), 512), 512u);
    EXPECT_EQ(pipe.headRemaining(), 988u);
    EXPECT_EQ(pipe.read(out.data(), 512), 512u);
    EXPECT_EQ(pipe.read(out.data(), 512), 476u);
    const auto whole = pattern(1500);
    EXPECT_EQ(std::vector<uint8_t>(out.begin(), out.begin() + 476),
              std::vector<uint8_t>(whole.begin() + 1024, whole.end()));
    EXPECT_EQ(pipe.read(out.data(), 512), 60u);
    EXPECT_EQ(pipe.messages(), 1u);
    EXPECT_EQ(pipe.read(out.data(), 512), 0u);
    EXPECT_TRUE(pipe.empty());
}

TEST_F(Usb, MessagesTravelAsTransfersEndingInAShortPacket) {
    camera.injectRaw(pattern(60));
    camera.injectRaw(pattern(1500));
    std::vector<uint8_t> buffer;
    size_t got = 0;
    ASSERT_EQ(read(buffer, 512, &got), UsbResult::Ok);
    EXPECT_EQ(got, 60u);
    ASSERT_EQ(read(buffer, 1024, &got), UsbResult::Ok);
    EXPECT_EQ(got, 1024u);
    ASSERT_EQ(read(buffer, 1024, &got), UsbResult::Ok);
    EXPECT_EQ(got, 476u);
    EXPECT_TRUE(camera.protocolErrors().empty());

    // A request that is not a whole number of packets would overflow.
    camera.injectRaw(pattern(100));
    ASSERT_EQ(read(buffer, 12, &got), UsbResult::Ok);
    EXPECT_EQ(got, 12u);
    EXPECT_EQ(camera.protocolErrors().size(), 1u);
}

TEST_F(Usb, ReadTimesOutWithoutData) {
    std::vector<uint8_t> buffer;
    size_t got = 1;
    const auto start = Clock::now();
    EXPECT_EQ(read(buffer, 512, &got, 50), UsbResult::Timeout);
    EXPECT_GE(Clock::now() - start, 50ms);
    EXPECT_EQ(got, 0u);
}

TEST_F(Usb, UnplugWakesABlockedReadAndCallsListeners) {
    std::vector<bool> events;
    const int id = camera.addPlugListener([&](bool plugged) { events.push_back(plugged); });
    auto reader = std::async(std::launch::async, [&] {
        std::vector<uint8_t> buffer(512);
        size_t got = 0;
        return camera.bulkIn(buffer.data(), buffer.size(), 0, &got, nullptr);
    });
    EXPECT_EQ(reader.wait_for(50ms), std::future_status::timeout);
    camera.unplug();
    ASSERT_EQ(reader.wait_for(2s), std::future_status::ready);
    EXPECT_EQ(reader.get(), UsbResult::NoDevice);
    EXPECT_FALSE(camera.plugged());

    std::vector<uint8_t> bytes = wire::packet(wire::kOpen, 1, {});
    EXPECT_EQ(camera.bulkOut(bytes.data(), bytes.size(), 100), UsbResult::NoDevice);
    camera.replug();
    camera.removePlugListener(id);
    camera.unplug();
    EXPECT_EQ(events, (std::vector<bool>{false, true}));
}

TEST_F(Usb, UnplugDropsTheConnection) {
    Host host;
    host.open();
    camera.injectRaw(pattern(10));
    camera.unplug();
    camera.replug();
    Snapshot s = camera.snapshot();
    EXPECT_FALSE(s.sessionOpen);
    EXPECT_EQ(s.queuedInMessages, 0u);
    EXPECT_EQ(host.call(wire::kGetAllCamStat)->status(), wire::kStatusNoSession);
}

TEST_F(Usb, CancelEndsABlockedReadOrWrite) {
    std::atomic<bool> cancel{false};
    auto reader = std::async(std::launch::async, [&] {
        std::vector<uint8_t> buffer(512);
        size_t got = 0;
        return camera.bulkIn(buffer.data(), buffer.size(), 0, &got, &cancel);
    });
    camera.stallBulkOut(true);
    auto writer = std::async(std::launch::async, [&] {
        auto bytes = wire::packet(wire::kOpen, 1, {});
        return camera.bulkOut(bytes.data(), bytes.size(), 0, &cancel);
    });
    EXPECT_EQ(reader.wait_for(30ms), std::future_status::timeout);
    cancel = true;
    camera.wakeReaders();
    ASSERT_EQ(reader.wait_for(2s), std::future_status::ready);
    ASSERT_EQ(writer.wait_for(2s), std::future_status::ready);
    EXPECT_EQ(reader.get(), UsbResult::Cancelled);
    EXPECT_EQ(writer.get(), UsbResult::Cancelled);
}

TEST_F(Usb, StalledBulkOutTimesOutAfterItsLimit) {
    camera.stallBulkOut(true);
    auto bytes = wire::packet(wire::kOpen, 1, {});
    const auto start = Clock::now();
    EXPECT_EQ(camera.bulkOut(bytes.data(), bytes.size(), 80), UsbResult::Timeout);
    EXPECT_GE(Clock::now() - start, 80ms);
    EXPECT_TRUE(camera.log().empty()) << "nothing crossed the bus";
}

TEST_F(Usb, ResetOfTheDeviceDropsQueuedData) {
    camera.injectRaw(pattern(10));
    camera.usbReset();
    EXPECT_EQ(camera.snapshot().queuedInMessages, 0u);
}

TEST_F(Usb, LogRecordsBothDirectionsAndCanBeWaitedOn) {
    Host host;
    host.open();
    const auto log = camera.log();
    ASSERT_EQ(log.size(), 4u);  // Open, response, notice, reply
    EXPECT_EQ(log[0].direction, Direction::HostToCamera);
    EXPECT_EQ(log[0].code, wire::kOpen);
    EXPECT_EQ(log[1].direction, Direction::CameraToHost);
    EXPECT_EQ(log[2].code, wire::kCamStateNotice);
    EXPECT_EQ(log[3].transaction, 0xA0000001u);
    EXPECT_LE(log[0].time, log[3].time);

    camera.clearLog();
    auto waiter = std::async(std::launch::async, [&] {
        return camera.waitForPacket(
            [](const LogEntry& e) { return e.code == wire::kCamStatChanged; }, 2000ms);
    });
    std::this_thread::sleep_for(20ms);
    camera.changeParameter(37, 1);
    EXPECT_TRUE(waiter.get());
    EXPECT_FALSE(camera.waitForPacket([](const LogEntry& e) { return e.code == 0x7777; }, 30ms));

    camera.setLogLimits(2, 4);
    camera.injectRaw(pattern(100));
    camera.injectRaw(pattern(100));
    camera.injectRaw(pattern(100));
    const auto limited = camera.log();
    ASSERT_EQ(limited.size(), 2u);
    EXPECT_EQ(limited[1].bytes.size(), 4u);
    EXPECT_EQ(limited[1].size, 100u);
}

TEST_F(Usb, ResetRestoresTheFactoryState) {
    Host host;
    host.open();
    camera.setParameter(8, 1);
    camera.stallOperation(wire::kOpen);
    camera.unplug();
    camera.reset();
    EXPECT_TRUE(camera.plugged());
    EXPECT_EQ(camera.parameter(8), 104);
    EXPECT_TRUE(camera.log().empty());
    host.nextCommand = 0;
    EXPECT_TRUE(host.call(wire::kOpen)) << "stall cleared";
}

}  // namespace
}  // namespace orkasim::test
