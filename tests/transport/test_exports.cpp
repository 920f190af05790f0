// The Usbpipe exports over a scripted driver: packet rounding and the
// leftover store, time limits, attach and detach, abort and close, and why
// an open failed.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <future>
#include <numeric>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "driver.h"
#include "fake_driver.h"
#include "internal.h"
#include "usbpipe.h"

namespace {

using namespace std::chrono_literals;
using fakebus::Call;

constexpr int32_t kVendor = 0x4F52;
constexpr int32_t kProduct = 0x4B41;
constexpr uint32_t kPacket = 64;

std::vector<uint8_t> pattern(size_t size, uint8_t first = 0) {
    std::vector<uint8_t> bytes(size);
    std::iota(bytes.begin(), bytes.end(), first);
    return bytes;
}

std::vector<Call> bulkInCalls() {
    std::vector<Call> result;
    for (const Call& call : fakebus::calls()) {
        if (call.kind == Call::Bulk && call.endpoint == 0x82) {
            result.push_back(call);
        }
    }
    return result;
}

class ExportsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fakebus::reset();
        usbpipe::internal::setAttachWait(2s);
        handle_ = usbNativeOpen(kVendor, kProduct, 0);
        ASSERT_NE(handle_, nullptr);
        fakebus::clearCalls();
    }
    void TearDown() override {
        usbNativeClose(handle_);
        EXPECT_EQ(fakebus::liveRegistrations(), 0);
    }

    int32_t read(std::vector<uint8_t>& buffer, int32_t offset, int32_t length) {
        return usbNativeReadBulk(handle_, buffer.data(), offset, length);
    }

    void* handle_ = nullptr;
};

TEST_F(ExportsTest, SurplusOfATransferIsKeptForTheNextRead) {
    fakebus::queueIn(pattern(60));
    std::vector<uint8_t> buffer(60, 0xEE);

    ASSERT_EQ(read(buffer, 0, 12), 12);
    ASSERT_EQ(bulkInCalls().size(), 1u);
    EXPECT_EQ(bulkInCalls()[0].length, kPacket);  // rounded up to a whole packet
    EXPECT_EQ(bulkInCalls()[0].timeoutMs, 0u);    // reads have no time limit

    ASSERT_EQ(read(buffer, 12, 48), 48);
    EXPECT_EQ(bulkInCalls().size(), 1u) << "the 48 kept bytes came without a bus transfer";
    EXPECT_EQ(buffer, pattern(60));
}

TEST_F(ExportsTest, WholePacketReadGoesStraightIntoTheCallersBuffer) {
    fakebus::queueIn(pattern(128));
    std::vector<uint8_t> buffer(16 + 128, 0xEE);

    ASSERT_EQ(read(buffer, 16, 128), 128);
    ASSERT_EQ(bulkInCalls().size(), 1u);
    EXPECT_EQ(bulkInCalls()[0].buffer, buffer.data() + 16);
    EXPECT_EQ(bulkInCalls()[0].length, 128u);
    EXPECT_EQ(std::vector<uint8_t>(buffer.begin(), buffer.begin() + 16),
              std::vector<uint8_t>(16, 0xEE))
        << "bytes before the offset are untouched";
    EXPECT_EQ(std::vector<uint8_t>(buffer.begin() + 16, buffer.end()), pattern(128));
}

TEST_F(ExportsTest, ShortTransferReturnsWhatCameAndEmptiesTheStore) {
    fakebus::queueIn(pattern(60));
    fakebus::queueIn(pattern(10, 60));
    fakebus::queueIn(pattern(5, 70));
    std::vector<uint8_t> buffer(200, 0xEE);

    ASSERT_EQ(read(buffer, 0, 12), 12);
    // 48 bytes from the store, then a transfer that ends after 10 bytes.
    ASSERT_EQ(read(buffer, 12, 100), 58);
    EXPECT_EQ(std::vector<uint8_t>(buffer.begin(), buffer.begin() + 70), pattern(70));
    // The store is empty: the next read goes to the bus.
    ASSERT_EQ(read(buffer, 70, 3), 3);
    EXPECT_EQ(bulkInCalls().size(), 3u);
    EXPECT_EQ(std::vector<uint8_t>(buffer.begin() + 70, buffer.begin() + 73), pattern(3, 70));
}

// Any mix of transfer and read sizes delivers the stream unchanged, asks the
// bus for whole packets only and never keeps a packet or more.
TEST_F(ExportsTest, StreamSurvivesAnyMixOfTransferAndReadSizes) {
    std::mt19937 random(20240611);
    std::vector<uint8_t> sent;
    for (int i = 0; i < 200; ++i) {
        std::vector<uint8_t> transfer(std::uniform_int_distribution<size_t>(0, 300)(random));
        for (uint8_t& byte : transfer) {
            byte = static_cast<uint8_t>(random());
        }
        sent.insert(sent.end(), transfer.begin(), transfer.end());
        fakebus::queueIn(std::move(transfer));
    }
    std::vector<uint8_t> received(sent.size() + 512);
    size_t total = 0;
    while (total < sent.size()) {
        const int32_t want = std::uniform_int_distribution<int32_t>(1, 200)(random);
        const int32_t got =
            usbNativeReadBulk(handle_, received.data(), static_cast<int32_t>(total), want);
        ASSERT_GE(got, 0);
        ASSERT_LE(got, want);
        total += static_cast<size_t>(got);
    }
    received.resize(total);
    EXPECT_EQ(received, sent);
    for (const Call& call : bulkInCalls()) {
        ASSERT_GT(call.length, 0u);
        ASSERT_EQ(call.length % kPacket, 0u) << "a request of " << call.length << " bytes";
    }
}

TEST_F(ExportsTest, WritesAndControlUseTheirTimeLimitsAndCopyNothing) {
    const std::vector<uint8_t> command = pattern(14);
    EXPECT_EQ(usbNativeWriteBulk(handle_, command.data(), 0, 14), 14);
    EXPECT_EQ(usbNativeWriteControl(handle_, command.data(), 14), 14);

    const std::vector<Call> calls = fakebus::calls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].kind, Call::Bulk);
    EXPECT_EQ(calls[0].endpoint, 0x01);
    EXPECT_EQ(calls[0].timeoutMs, 3000u);
    EXPECT_EQ(calls[0].buffer, command.data());
    EXPECT_EQ(calls[0].data, command);
    EXPECT_EQ(calls[1].kind, Call::Control);
    EXPECT_EQ(calls[1].timeoutMs, 10000u);
    const std::array<uint8_t, 8> setup{0x40, 0x00, 0, 0, 0, 0, 14, 0};
    EXPECT_EQ(calls[1].setup, setup);
}

TEST_F(ExportsTest, ResetAndAbortReturnOneAndReachTheirPipes) {
    EXPECT_EQ(usbNativeDeviceReset(handle_), 1);
    EXPECT_EQ(usbNativeStopWriteBulk(handle_), 1);
    EXPECT_EQ(usbNativeStopReadBulk(handle_), 1);
    EXPECT_EQ(usbNativeResetWriteBulk(handle_), 1);
    EXPECT_EQ(usbNativeResetReadBulk(handle_), 1);
    const std::vector<Call> calls = fakebus::calls();
    ASSERT_EQ(calls.size(), 5u);
    EXPECT_EQ(calls[0].kind, Call::ResetDevice);
    EXPECT_EQ(calls[1].kind, Call::Abort);
    EXPECT_EQ(calls[1].endpoint, 0x01);
    EXPECT_EQ(calls[2].kind, Call::Abort);
    EXPECT_EQ(calls[2].endpoint, 0x82);
    EXPECT_EQ(calls[3].kind, Call::ResetPipe);
    EXPECT_EQ(calls[3].endpoint, 3);
    EXPECT_EQ(calls[4].kind, Call::ResetPipe);
    EXPECT_EQ(calls[4].endpoint, 4);
}

TEST_F(ExportsTest, BadArgumentsFailWithoutReachingTheBus) {
    std::vector<uint8_t> buffer(64);
    EXPECT_EQ(usbNativeReadBulk(handle_, nullptr, 0, 12), -1);
    EXPECT_EQ(usbNativeReadBulk(handle_, buffer.data(), -1, 12), -1);
    EXPECT_EQ(usbNativeReadBulk(handle_, buffer.data(), 0, -5), -1);
    EXPECT_EQ(usbNativeWriteBulk(handle_, nullptr, 0, 12), -1);
    EXPECT_EQ(usbNativeWriteControl(handle_, buffer.data(), 0x10000), -1);
    int unknown = 0;
    EXPECT_EQ(usbNativeReadBulk(&unknown, buffer.data(), 0, 12), -1);
    EXPECT_EQ(usbNativeWriteBulk(&unknown, buffer.data(), 0, 12), -1);
    EXPECT_EQ(usbNativeDeviceReset(&unknown), 1);
    EXPECT_TRUE(fakebus::calls().empty());
    EXPECT_EQ(usbNativeReadBulk(handle_, buffer.data(), 0, 0), 0);
}

TEST_F(ExportsTest, DriverExceptionBecomesTheFailureValue) {
    fakebus::setThrowOnTransfer(true);
    std::vector<uint8_t> buffer(64);
    EXPECT_EQ(usbNativeReadBulk(handle_, buffer.data(), 0, 12), -1);
    EXPECT_EQ(usbNativeWriteBulk(handle_, buffer.data(), 0, 12), -1);
    fakebus::setThrowOnTransfer(false);
}

TEST_F(ExportsTest, DetachStopsTransfersAndReattachRestoresThem) {
    fakebus::queueIn(pattern(60));
    std::vector<uint8_t> buffer(64);
    ASSERT_EQ(read(buffer, 0, 12), 12);  // 48 bytes kept
    EXPECT_EQ(usbNativeCountDev(kVendor, kProduct), 1);

    fakebus::unplug();
    EXPECT_EQ(usbNativeCountDev(kVendor, kProduct), 0);
    EXPECT_EQ(usbNativeCountDev(0, 0), 0);
    EXPECT_EQ(usbNativeCountDev(-1, 12345), 0);
    EXPECT_EQ(usbNativeWriteBulk(handle_, buffer.data(), 0, 12), -1);
    EXPECT_EQ(read(buffer, 0, 12), -1) << "the kept bytes went with the device";
    EXPECT_EQ(usbNativeWriteControl(handle_, buffer.data(), 4), -1);

    fakebus::replug();
    EXPECT_EQ(usbNativeCountDev(kVendor, kProduct), 1);
    EXPECT_EQ(usbNativeWriteBulk(handle_, buffer.data(), 0, 12), 12);
    fakebus::queueIn(pattern(5, 100));
    EXPECT_EQ(read(buffer, 0, 12), 5);
    EXPECT_EQ(buffer[0], 100);
}

TEST_F(ExportsTest, AbortWakesABlockedReadAndLosesNoKeptBytes) {
    fakebus::queueIn(pattern(60));
    std::vector<uint8_t> buffer(128);
    ASSERT_EQ(read(buffer, 0, 12), 12);  // 48 bytes kept

    auto blocked = std::async(std::launch::async, [&] { return read(buffer, 12, 100); });
    ASSERT_TRUE(fakebus::waitForBlockedRead(5s));
    EXPECT_EQ(usbNativeStopReadBulk(handle_), 1);
    ASSERT_EQ(blocked.wait_for(5s), std::future_status::ready);
    EXPECT_EQ(blocked.get(), -1);

    // The 48 bytes handed to the failed read are still first in line.
    ASSERT_EQ(read(buffer, 12, 48), 48);
    EXPECT_EQ(std::vector<uint8_t>(buffer.begin(), buffer.begin() + 60), pattern(60));
}

TEST_F(ExportsTest, CloseWakesABlockedReadAndLeavesNothingAttached) {
    std::vector<uint8_t> buffer(64);
    auto blocked = std::async(std::launch::async, [&] { return read(buffer, 0, 12); });
    ASSERT_TRUE(fakebus::waitForBlockedRead(5s));
    EXPECT_EQ(usbNativeClose(handle_), handle_);
    ASSERT_EQ(blocked.wait_for(5s), std::future_status::ready);
    EXPECT_EQ(blocked.get(), -1);
    EXPECT_EQ(usbNativeCountDev(kVendor, kProduct), 0);
    EXPECT_EQ(fakebus::liveRegistrations(), 0);
    // A closed handle is unknown: transfers fail, a second close does nothing.
    EXPECT_EQ(usbNativeWriteBulk(handle_, buffer.data(), 0, 12), -1);
    EXPECT_EQ(usbNativeClose(handle_), handle_);
    handle_ = nullptr;
}

TEST_F(ExportsTest, OpeningAgainRetiresTheEarlierHandle) {
    void* second = usbNativeOpen(kVendor, kProduct, 0);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(fakebus::liveRegistrations(), 1);
    std::vector<uint8_t> buffer(64);
    EXPECT_EQ(usbNativeWriteBulk(handle_, buffer.data(), 0, 12), -1);
    EXPECT_EQ(usbNativeWriteBulk(second, buffer.data(), 0, 12), 12);

    // Closing the retired handle leaves the new one alone.
    EXPECT_EQ(usbNativeClose(handle_), handle_);
    EXPECT_EQ(usbNativeCountDev(kVendor, kProduct), 1);
    EXPECT_EQ(usbNativeWriteBulk(second, buffer.data(), 0, 12), 12);
    handle_ = second;
}

TEST(ExportsOpen, CloseOfNullReturnsNullAndInitReturnsOne) {
    EXPECT_EQ(usbNativeClose(nullptr), nullptr);
    EXPECT_EQ(usbNativeInit(), 1);
}

// Every failed open leaves nothing registered and says why; it answers at
// once unless a device is on the bus but not yet usable.
TEST(ExportsOpen, FailsSaysWhyAndLeavesNothingRegistered) {
    constexpr auto kWait = 1500ms;
    usbpipe::internal::setAttachWait(kWait);
    struct Case {
        const char* name;
        std::function<void()> arrange;
        int32_t reason;
        std::string detail;
        bool waits;
    };
    const Case cases[] = {
        {"no device", [] { fakebus::setPresent(false); }, USBPIPE_OPEN_NO_DEVICE, "", false},
        {"access denied", [] { fakebus::setAccessDenied(true); }, USBPIPE_OPEN_ACCESS_DENIED,
         "/dev/bus/usb/001/007", false},
        {"held by another program",
         [] {
             fakebus::setSelectStatus(usbpipe::kBusy);
             fakebus::setHolder("importer (pid 4242)");
         },
         USBPIPE_OPEN_BUSY, "importer (pid 4242)", false},
        {"selection fails", [] { fakebus::setSelectStatus(usbpipe::kStalled); },
         USBPIPE_OPEN_NOT_READY, "", false},
        {"zero packet size", [] { fakebus::setPacketSize(0); }, USBPIPE_OPEN_NOT_READY, "", false},
        {"other interface", [] { fakebus::setInterfaceNumber(1); }, USBPIPE_OPEN_NOT_READY, "",
         true},
        {"present, never offered", [] { fakebus::setNotReady(true); }, USBPIPE_OPEN_NOT_READY, "",
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fakebus::reset();
        c.arrange();
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(usbNativeOpen(kVendor, kProduct, 0), nullptr);
        const auto took = std::chrono::steady_clock::now() - start;
        if (c.waits) {
            EXPECT_GE(took, kWait);
        } else {
            EXPECT_LT(took, kWait / 2) << "the outcome is known at once";
        }
        char detail[64] = "stale";
        EXPECT_EQ(usbNativeOpenDiagnosis(detail, sizeof detail), c.reason);
        EXPECT_EQ(std::string(detail), c.detail);
        EXPECT_EQ(fakebus::liveRegistrations(), 0);
        EXPECT_EQ(usbNativeCountDev(kVendor, kProduct), 0);
    }
    EXPECT_EQ(usbNativeOpen(0x10000, kProduct, 0), nullptr);
    EXPECT_EQ(usbNativeOpen(kVendor, -1, 0), nullptr);
    EXPECT_EQ(usbNativeOpenDiagnosis(nullptr, 0), USBPIPE_OPEN_NO_DEVICE);
    EXPECT_EQ(fakebus::liveRegistrations(), 0);

    // The detail is cut to the buffer; a successful open clears the reason.
    fakebus::reset();
    fakebus::setAccessDenied(true);
    EXPECT_EQ(usbNativeOpen(kVendor, kProduct, 0), nullptr);
    char shortBuffer[8];
    EXPECT_EQ(usbNativeOpenDiagnosis(shortBuffer, sizeof shortBuffer), USBPIPE_OPEN_ACCESS_DENIED);
    EXPECT_EQ(std::string(shortBuffer), "/dev/bu");
    fakebus::reset();
    void* handle = usbNativeOpen(kVendor, kProduct, 0);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(usbNativeOpenDiagnosis(shortBuffer, sizeof shortBuffer), USBPIPE_OPEN_OK);
    EXPECT_EQ(std::string(shortBuffer), "");
    usbNativeClose(handle);
}

// A device on the bus but not yet offered is given the whole wait.
TEST(ExportsOpen, DeviceReadyDuringTheWaitIsTaken) {
    fakebus::reset();
    fakebus::setNotReady(true);
    usbpipe::internal::setAttachWait(5s);
    std::thread plug([] {
        ASSERT_TRUE(fakebus::waitForRegistrations(1, 5s));
        fakebus::replug();
    });
    void* handle = usbNativeOpen(kVendor, kProduct, 0);
    plug.join();
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(usbNativeCountDev(kVendor, kProduct), 1);
    usbNativeClose(handle);
    EXPECT_EQ(usbNativeCountDev(kVendor, kProduct), 0);
}

}  // namespace
