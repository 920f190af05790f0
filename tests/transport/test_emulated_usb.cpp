// The real libUsbpipe.so (libusb driver) and the real libFotolien.so against
// the camera presented as a USB device by umockdev, its usbdevfs requests
// served by the simulated camera's protocol model. Runs under
// umockdev-wrapper.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "emulated_camera.h"
#include "fotolien.h"
#include "orkasim.h"
#include "usbpipe.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr int32_t kVendor = ORKA_VENDOR_ID;
constexpr int32_t kProduct = ORKA_PRODUCT_ID;

orkasim::Camera& model() {
    return orkasim::Camera::instance();
}

// Waits for a state another thread brings about (a notification with no
// hook to wait on).
bool eventually(const std::function<bool()>& condition, std::chrono::milliseconds limit = 3s) {
    const auto deadline = Clock::now() + limit;
    while (!condition()) {
        if (Clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

std::vector<uint8_t> readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<uint8_t> pattern(size_t size, uint8_t first = 0) {
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<uint8_t>(first + i);
    }
    return bytes;
}

// A 12-byte command packet.
std::vector<uint8_t> command(uint16_t code, uint32_t transaction) {
    return {12,
            0,
            0,
            0,
            static_cast<uint8_t>(code),
            static_cast<uint8_t>(code >> 8),
            0,
            0,
            static_cast<uint8_t>(transaction),
            static_cast<uint8_t>(transaction >> 8),
            static_cast<uint8_t>(transaction >> 16),
            static_cast<uint8_t>(transaction >> 24)};
}

class EmulatedUsb : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        // The library under test is the real one in build/lib, not the
        // simulated transport of the same name in build/sim.
        Dl_info info{};
        ASSERT_NE(dladdr(reinterpret_cast<void*>(&usbNativeOpen), &info), 0);
        ASSERT_NE(std::string(info.dli_fname).find("/lib/libUsbpipe.so"), std::string::npos)
            << info.dli_fname;
        ASSERT_TRUE(emulated::Camera::underUmockdev()) << "run under umockdev-wrapper";
    }

    void SetUp() override {
        model().reset();
        device_ = std::make_unique<emulated::Camera>();
    }

    void TearDown() override {
        if (handle_ != nullptr) {
            usbNativeClose(handle_);
        }
        device_.reset();
    }

    // Plugs the camera in and opens it through the real driver.
    void plugAndOpen() {
        device_->plug();
        const auto start = Clock::now();
        handle_ = usbNativeOpen(kVendor, kProduct, 0);
        ASSERT_NE(handle_, nullptr);
        EXPECT_LT(Clock::now() - start, 3s) << "the present camera is reported at once";
    }

    int32_t read(std::vector<uint8_t>& buffer, int32_t offset, int32_t length) {
        return usbNativeReadBulk(handle_, buffer.data(), offset, length);
    }

    std::unique_ptr<emulated::Camera> device_;
    void* handle_ = nullptr;
};

TEST_F(EmulatedUsb, OpenClaimsInterfaceZeroAndReadsWholePackets) {
    plugAndOpen();
    EXPECT_EQ(device_->counters().claims, 1);
    EXPECT_EQ(usbNativeCountDev(kVendor, kProduct), 1);

    // A 12-byte read of a 60-byte transfer keeps 48 bytes for the next read.
    model().injectRaw(pattern(60));
    std::vector<uint8_t> buffer(2048);
    ASSERT_EQ(read(buffer, 0, 12), 12);
    ASSERT_EQ(read(buffer, 12, 48), 48);
    EXPECT_EQ(std::vector<uint8_t>(buffer.begin(), buffer.begin() + 60), pattern(60));
    EXPECT_EQ(device_->counters().bulkInLengths, std::vector<uint32_t>{512});

    // A short transfer ends the read early.
    model().injectRaw(pattern(700, 9));
    ASSERT_EQ(read(buffer, 0, 1024), 700);
    EXPECT_EQ(std::vector<uint8_t>(buffer.begin(), buffer.begin() + 700), pattern(700, 9));
    EXPECT_EQ(device_->counters().bulkInLengths, (std::vector<uint32_t>{512, 1024}));

    // Device reset and the pipe resets reach the device; the control write
    // is answered with a stall (the camera has no control requests).
    EXPECT_EQ(usbNativeDeviceReset(handle_), 1);
    EXPECT_EQ(usbNativeResetWriteBulk(handle_), 1);
    EXPECT_EQ(usbNativeResetReadBulk(handle_), 1);
    EXPECT_EQ(usbNativeWriteControl(handle_, buffer.data(), 4), -1);
    const auto counters = device_->counters();
    EXPECT_EQ(counters.resets, 1);
    EXPECT_EQ(counters.clearHalts, 2);
    EXPECT_EQ(counters.control, 1);
    EXPECT_TRUE(device_->unservedRequests().empty());
}

TEST_F(EmulatedUsb, WriteToAStalledEndpointGivesUpAfterThreeSeconds) {
    plugAndOpen();
    model().stallBulkOut(true);
    const std::vector<uint8_t> open = command(0x1001, 1);
    const auto start = Clock::now();
    EXPECT_EQ(usbNativeWriteBulk(handle_, open.data(), 0, 12), -1);
    const auto elapsed = Clock::now() - start;
    EXPECT_GE(elapsed, 3000ms);
    EXPECT_LT(elapsed, 3600ms);
    EXPECT_EQ(device_->counters().discards, 1) << "the driver cancelled the transfer";

    model().stallBulkOut(false);
    EXPECT_EQ(usbNativeWriteBulk(handle_, open.data(), 0, 12), 12);
}

TEST_F(EmulatedUsb, AbortAndUnplugWakeABlockedReadAndReplugIsTakenBack) {
    plugAndOpen();
    std::vector<uint8_t> buffer(512);

    auto blocked = std::async(std::launch::async, [&] { return read(buffer, 0, 12); });
    ASSERT_TRUE(eventually([&] { return device_->counters().bulkIn == 1; }));
    EXPECT_EQ(usbNativeStopReadBulk(handle_), 1);
    ASSERT_EQ(blocked.wait_for(2s), std::future_status::ready);
    EXPECT_EQ(blocked.get(), -1);

    blocked = std::async(std::launch::async, [&] { return read(buffer, 0, 12); });
    ASSERT_TRUE(eventually([&] { return device_->counters().bulkIn == 2; }));
    device_->unplug();
    ASSERT_EQ(blocked.wait_for(2s), std::future_status::ready);
    EXPECT_EQ(blocked.get(), -1);
    EXPECT_TRUE(eventually([] { return usbNativeCountDev(kVendor, kProduct) == 0; }));
    EXPECT_EQ(usbNativeWriteBulk(handle_, buffer.data(), 0, 12), -1);

    device_->plug();
    EXPECT_TRUE(eventually([] { return usbNativeCountDev(kVendor, kProduct) == 1; }));
    const std::vector<uint8_t> open = command(0x1001, 1);
    EXPECT_EQ(usbNativeWriteBulk(handle_, open.data(), 0, 12), 12);
    EXPECT_EQ(device_->counters().claims, 2);
}

TEST_F(EmulatedUsb, InterfaceHeldElsewhereIsExplainedOnStandardError) {
    device_->setClaimBusy(true);
    device_->plug();
    testing::internal::CaptureStderr();
    const auto start = Clock::now();
    EXPECT_EQ(usbNativeOpen(kVendor, kProduct, 0), nullptr);
    const std::string written = testing::internal::GetCapturedStderr();
    EXPECT_LT(Clock::now() - start, 3s) << "a refused claim ends the wait at once";
    EXPECT_EQ(written, "Usbpipe: the camera at " + device_->node() +
                           " is in use by another program; close that program, then try again\n");
    EXPECT_EQ(usbNativeCountDev(kVendor, kProduct), 0);
    char holder[64] = "stale";
    EXPECT_EQ(usbNativeOpenDiagnosis(holder, sizeof holder), USBPIPE_OPEN_BUSY);
    EXPECT_EQ(std::string(holder), "") << "no other process has the emulated node open";
}

TEST_F(EmulatedUsb, NoCameraOnTheBusIsToldAtOnce) {
    const auto start = Clock::now();
    EXPECT_EQ(usbNativeOpen(kVendor, kProduct, 0), nullptr);
    EXPECT_LT(Clock::now() - start, 1s);
    EXPECT_EQ(usbNativeOpenDiagnosis(nullptr, 0), USBPIPE_OPEN_NO_DEVICE);
    // OpenCamera answers as quickly.
    const auto again = Clock::now();
    EXPECT_EQ(OpenCamera(kProduct), 4);
    EXPECT_LT(Clock::now() - again, 1s);
    EXPECT_EQ(usbNativeOpenDiagnosis(nullptr, 0), USBPIPE_OPEN_NO_DEVICE);
}

// ---- Fotolien over the real transport -------------------------------------

// The camera's side of a file transfer, told through its requests.
class CameraFiles {
  public:
    // FileOpen: returns the handle the library replied with (0 if refused).
    static uint32_t open(const std::string& name) {
        std::vector<uint8_t> payload = {0, 0, 0, 0};
        put32(payload, static_cast<uint32_t>(name.size()));
        for (char c : name) {
            payload.push_back(static_cast<uint8_t>(c));
            payload.push_back(0);
        }
        const auto reply = request(0x200A, payload);
        if (reply.size() < 20 || get32(reply, 12) != 0) {
            return 0;
        }
        return get32(reply, 16);
    }
    // FileIn: true when the library accepted the data.
    static bool append(uint32_t handle, const std::vector<uint8_t>& data) {
        std::vector<uint8_t> payload;
        put32(payload, handle);
        put32(payload, static_cast<uint32_t>(data.size()));
        put32(payload, 0);
        payload.insert(payload.end(), data.begin(), data.end());
        const auto reply = request(0x200C, payload);
        return reply.size() >= 14 && reply[12] == 0 && reply[13] == 0;
    }
    static bool close(uint32_t handle) {
        std::vector<uint8_t> payload;
        put32(payload, handle);
        const auto reply = request(0x200B, payload);
        return reply.size() >= 14 && reply[12] == 0 && reply[13] == 0;
    }

  private:
    static void put32(std::vector<uint8_t>& bytes, uint32_t value) {
        for (int i = 0; i < 4; ++i) {
            bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
        }
    }
    static uint32_t get32(const std::vector<uint8_t>& bytes, size_t at) {
        return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
               static_cast<uint32_t>(bytes[at + 3]) << 24;
    }
    // Sends the request and returns the library's reply (empty if none).
    static std::vector<uint8_t> request(uint16_t code, const std::vector<uint8_t>& payload) {
        model().clearLog();
        model().sendRequest(code, payload);
        std::vector<uint8_t> reply;
        model().waitForPacket(
            [&](const orkasim::LogEntry& entry) {
                if (entry.direction == orkasim::Direction::HostToCamera && entry.code == code) {
                    reply = entry.bytes;
                    return true;
                }
                return false;
            },
            5s);
        return reply;
    }
};

class EmulatedSession : public EmulatedUsb {
  protected:
    void SetUp() override {
        EmulatedUsb::SetUp();
        const char* tmp = std::getenv("TMPDIR");
        temporary_ = tmp != nullptr ? tmp : "/tmp";
        target_ = temporary_ / ("pictures-" + std::to_string(getpid()));
        std::filesystem::remove_all(target_);
        std::filesystem::create_directories(target_);
    }
    void TearDown() override {
        std::filesystem::remove_all(target_);
        EmulatedUsb::TearDown();
    }

    // OpenCamera and PC-control mode, as the window does it (a few attempts:
    // the camera needs a moment after opening).
    void openSession() {
        ASSERT_EQ(OpenCamera(kProduct), 0);
        int result = 1;
        for (int attempt = 0; attempt < 4 && result != 0; ++attempt) {
            if (attempt > 0) {
                std::this_thread::sleep_for(500ms);
            }
            result = StartPCControlMode();
        }
        ASSERT_EQ(result, 0);
    }

    // Temporary files of the library (VQZ...) of exactly `size` bytes.
    std::vector<std::filesystem::path> temporaryFiles(uintmax_t size) const {
        std::vector<std::filesystem::path> found;
        for (const auto& entry : std::filesystem::directory_iterator(temporary_)) {
            if (entry.path().filename().string().rfind("VQZ", 0) == 0 && entry.is_regular_file() &&
                entry.file_size() == size) {
                found.push_back(entry.path());
            }
        }
        return found;
    }

    std::filesystem::path temporary_;
    std::filesystem::path target_;
};

TEST_F(EmulatedSession, OpenControlModeSettingsLiveViewCaptureAndClose) {
    device_->plug();
    openSession();
    // OpenCamera resets the device; libusb claims the interface again after it.
    EXPECT_EQ(device_->counters().resets, 1);
    EXPECT_EQ(device_->counters().claims, 2);

    // A setting reaches the camera and comes back in the status record.
    ASSERT_EQ(SetCameraSensitivity(2), 0);
    EXPECT_EQ(model().parameter(7), 2);
    CameraStatusData status{};
    ASSERT_EQ(GetCameraStatusData(&status), 0);
    EXPECT_EQ(status.sensitivity, 2);

    // Live-view frames: JPEG streams of the announced size.
    for (int i = 0; i < 3; ++i) {
        LiveViewInfo info{};
        ASSERT_EQ(LiveViewGetInfo(&info), 0);
        ASSERT_GT(info.size, 2u);
        std::vector<uint8_t> frame(info.size);
        ASSERT_EQ(LiveViewGetFrame(frame.data(), info.size, &status), 0);
        EXPECT_EQ(frame[0], 0xFF);
        EXPECT_EQ(frame[1], 0xD8);
    }

    // A capture whose files the camera then sends: they land in the folder.
    ASSERT_EQ(SetSaveFileInformation(target_.c_str(), "ORK"), 0);
    ASSERT_EQ(CaptureImage(0), 0);
    ASSERT_EQ(TerminateCaptureImage(), 0);
    int32_t waiting = 0;
    ASSERT_EQ(GetWaitingFileNumber(&waiting), 0);
    ASSERT_GE(waiting, 1);
    std::vector<std::vector<uint8_t>> sent;
    for (int32_t i = 0; i < waiting; ++i) {
        const uint32_t handle = CameraFiles::open("PICT" + std::to_string(i) + ".JPG");
        ASSERT_NE(handle, 0u) << "FileOpen refused";
        // Large enough to take several bulk transfers.
        sent.push_back(pattern(300000 + 1000 * static_cast<size_t>(i), static_cast<uint8_t>(i)));
        ASSERT_TRUE(CameraFiles::append(handle, sent.back()));
        ASSERT_TRUE(CameraFiles::close(handle));
    }
    ASSERT_EQ(GetWaitingFileNumber(&waiting), 0);
    EXPECT_EQ(waiting, 0);
    for (size_t i = 0; i < sent.size(); ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "ORK%05zu.JPG", i + 1);
        EXPECT_EQ(readFile(target_ / name), sent[i]) << name;
    }

    // Leaving control mode and closing end every transfer (the receive
    // thread's read included) and free the device.
    ASSERT_EQ(TerminatePCControlMode(), 0);
    const auto start = Clock::now();
    ASSERT_EQ(CloseCamera(), 0);
    EXPECT_LT(Clock::now() - start, 2s);
    EXPECT_EQ(device_->counters().releases, device_->counters().claims);
    EXPECT_EQ(device_->inFlight(), 0) << "no URB left behind";
    EXPECT_EQ(usbNativeCountDev(kVendor, kProduct), 0);
    EXPECT_TRUE(device_->unservedRequests().empty());
    EXPECT_TRUE(model().protocolErrors().empty());
}

TEST_F(EmulatedSession, UnplugDuringAFileTransferThenReplugAndOpenAgain) {
    device_->plug();
    openSession();
    ASSERT_EQ(SetSaveFileInformation(target_.c_str(), "ORK"), 0);
    ASSERT_EQ(CaptureImage(0), 0);
    ASSERT_EQ(TerminateCaptureImage(), 0);
    const uint32_t handle = CameraFiles::open("PICT0001.JPG");
    ASSERT_NE(handle, 0u) << "FileOpen refused";
    const std::vector<uint8_t> part = pattern(123457);
    ASSERT_TRUE(CameraFiles::append(handle, part));

    // The receive thread waits for the rest in a read without a time limit;
    // the unplug ends it.
    ASSERT_TRUE(eventually([&] { return device_->inFlight() == 1; }));
    device_->unplug();
    EXPECT_TRUE(eventually([] { return usbNativeCountDev(kVendor, kProduct) == 0; }));
    EXPECT_TRUE(eventually([] { return CheckExistUSBCamera() == 4; }, 12s));
    EXPECT_EQ(CheckExistUSBCamera(), 4);
    int32_t waiting = -1;
    EXPECT_EQ(GetWaitingFileNumber(&waiting), 0);
    EXPECT_EQ(waiting, 0);
    EXPECT_TRUE(temporaryFiles(part.size()).empty());
    const auto kept = target_ / "ORK00001.partiel.JPG";
    ASSERT_TRUE(std::filesystem::exists(kept)) << "the partial file is kept, marked";
    EXPECT_EQ(readFile(kept), part);
    std::filesystem::remove(kept);

    // Same process, camera back: a new session opens and closes cleanly.
    device_->plug();
    openSession();
    EXPECT_EQ(CheckExistUSBCamera(), 0);
    CameraStatusData status{};
    ASSERT_EQ(GetCameraStatusData(&status), 0);
    ASSERT_EQ(TerminatePCControlMode(), 0);
    ASSERT_EQ(CloseCamera(), 0);
    EXPECT_EQ(device_->inFlight(), 0);
    EXPECT_TRUE(device_->unservedRequests().empty());
}

}  // namespace
