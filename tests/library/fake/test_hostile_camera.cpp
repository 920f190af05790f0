// The library against a camera that lies, fails or goes away at the worst
// moment, scripted byte for byte through the fake transport.
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "alloc_failure.h"
#include "fake_transport.h"
#include "fotolien.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using allocfail::failAbove;
using allocfail::failAfter;
using fakecam::Bytes;

constexpr uint32_t kRequest = 0xA0000010u;  // a camera request's transaction number

Bytes u32(uint32_t v) {
    return {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
}
Bytes cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) {
        out.insert(out.end(), p.begin(), p.end());
    }
    return out;
}
Bytes fileOpen(const std::string& name) {
    Bytes payload = cat({u32(0), u32(static_cast<uint32_t>(name.size()))});
    for (char ch : name) {
        payload.push_back(static_cast<uint8_t>(ch));
        payload.push_back(0);
    }
    return fakecam::packet(0x200A, kRequest, payload);
}
Bytes fileIn(uint32_t handle, const Bytes& data) {
    return fakecam::packet(0x200C, kRequest,
                           cat({u32(handle), u32(uint32_t(data.size())), u32(0), data}));
}
Bytes fileClose(uint32_t handle) {
    return fakecam::packet(0x200B, kRequest, u32(handle));
}

int32_t waiting() {
    int32_t count = -99;
    GetWaitingFileNumber(&count);
    return count;
}

// Statuses of the library's replies to `code`, in order.
std::vector<uint16_t> replyStatuses(uint16_t code) {
    std::vector<uint16_t> statuses;
    for (const Bytes& p : fakecam::written()) {
        if (p.size() >= 14 && (p[4] | p[5] << 8) == code) {
            statuses.push_back(static_cast<uint16_t>(p[12] | p[13] << 8));
        }
    }
    return statuses;
}

// The handle of the library's last FileOpen reply (handles run on across
// connections).
uint32_t lastHandle() {
    uint32_t handle = 0;
    for (const Bytes& p : fakecam::written()) {
        if (p.size() >= 20 && (p[4] | p[5] << 8) == 0x200A) {
            handle = static_cast<uint32_t>(p[16] | p[17] << 8 | p[18] << 16 | p[19] << 24);
        }
    }
    return handle;
}

class HostileCamera : public ::testing::Test {
  protected:
    void SetUp() override {
        // TMPDIR is pointed into the folder below: take the base once.
        static const fs::path base = fs::temp_directory_path();
        root_ = base / ("fotolien_fake_" + std::to_string(::getpid()) + "_" +
                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root_);
        for (const char* dir : {"tmp", "home", "target"}) {
            fs::create_directories(root_ / dir);
        }
        ::setenv("TMPDIR", (root_ / "tmp").c_str(), 1);
        ::setenv("HOME", (root_ / "home").c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (root_ / "home").c_str(), 1);
        fakecam::reset();
        ASSERT_EQ(OpenCamera(ORKA_PRODUCT_ID), 0);
        ASSERT_EQ(SetSaveFileInformation((root_ / "target").c_str(), "P"), 0);
    }
    void TearDown() override {
        // The receive thread must have ended and been joined before the
        // process exits, or ThreadSanitizer reports it as leaked.
        fakecam::unplug();
        waitLinkLost();
        fs::remove_all(root_);
    }
    std::vector<std::string> namesIn(const char* dir) const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(root_ / dir)) {
            names.push_back(e.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    static std::string savedName() {
        SavedFileInfo info{};
        GetSavedFileInfo(&info);
        return info.fileName;
    }
    // Plays the transfers and waits until the library has handled them.
    static void play(std::initializer_list<Bytes> transfers) {
        for (const Bytes& t : transfers) {
            fakecam::queue(t);
        }
        ASSERT_TRUE(fakecam::waitDrained());
    }
    // Waits until the library has noticed the camera is gone.
    static void waitLinkLost() {
        const auto deadline = std::chrono::steady_clock::now() + 5s;
        while (CheckExistUSBCamera() == 0 && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(1ms);
        }
    }

    fs::path root_;
};

// A frame in pieces whose continuation comes back short, then a transfer
// longer than the rest of the packet: the read after the short one must
// not be given more room than the buffer has left.
TEST_F(HostileCamera, ShortContinuationReadNeverOverrunsTheFrameBuffer) {
    const uint32_t length = 512 + 1024;  // the rest after the first bus packet: two whole ones
    Bytes frame = fakecam::packet(0x100A, 1, Bytes(length - 12, 0));
    Bytes first(frame.begin(), frame.begin() + 512);
    play({first, Bytes(511, 0x11), Bytes(1024, 0x22)});
    EXPECT_EQ(fakecam::worstOverreach(), 0u);
    EXPECT_EQ(CheckExistUSBCamera(), 0);  // a protocol error, not a lost camera
}

TEST_F(HostileCamera, WaitingCountNeverGoesBelowZero) {
    play({fileOpen("UNASKED.JPG")});
    play({fileIn(lastHandle(), Bytes(10, 1)), fileClose(lastHandle())});
    EXPECT_EQ(waiting(), 0);
    play({fileOpen(std::string(300, 'N') + ".JPG")});  // refused: too long a name
    EXPECT_EQ(waiting(), 0);
    EXPECT_EQ(replyStatuses(0x200A), (std::vector<uint16_t>{0, 1}));
    // The longest name that fits the saved-file record, and one more.
    play({fileOpen(std::string(255, 'N') + ".JPG"), fileOpen(std::string(256, 'N') + ".JPG")});
    EXPECT_EQ(replyStatuses(0x200A), (std::vector<uint16_t>{0, 1, 0, 1}));
}

// With the disk full part-way, the bytes that were written are kept under
// a name no whole picture has, the reply says so, and the count still drops.
TEST_F(HostileCamera, FileWhoseWritesFailedIsKeptAsPartial) {
    ::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    rlimit limited = old;
    limited.rlim_cur = 100 * 1024;
    ::setrlimit(RLIMIT_FSIZE, &limited);
    Bytes chunk(64 * 1024, 0x5A);
    play({fileOpen("DSC0001.JPG")});
    const uint32_t h = lastHandle();
    play({fileIn(h, chunk), fileIn(h, chunk), fileIn(h, chunk), fileClose(h)});
    ::setrlimit(RLIMIT_FSIZE, &old);

    EXPECT_EQ(replyStatuses(0x200C), (std::vector<uint16_t>{0, 1, 1}));
    EXPECT_EQ(namesIn("target"), std::vector<std::string>{"P00001.partiel.JPG"});
    EXPECT_EQ(savedName(), "P00001.partiel.JPG");
    EXPECT_EQ(waiting(), 0);

    // The next whole picture takes the next number, under a normal name.
    play({fileOpen("DSC0002.JPG")});
    play({fileIn(lastHandle(), Bytes(100, 1)), fileClose(lastHandle())});
    EXPECT_EQ(savedName(), "P00002.JPG");
    EXPECT_EQ(fs::file_size(root_ / "target" / "P00002.JPG"), 100u);
}

TEST_F(HostileCamera, TransferCutOffByUnplugIsKeptAsPartial) {
    play({fileOpen("DSC0001.JPG")});
    play({fileIn(lastHandle(), Bytes(1000, 7))});
    fakecam::unplug();
    waitLinkLost();
    EXPECT_EQ(namesIn("target"), std::vector<std::string>{"P00001.partiel.JPG"});
    EXPECT_EQ(fs::file_size(root_ / "target" / "P00001.partiel.JPG"), 1000u);
    EXPECT_TRUE(namesIn("tmp").empty());
    EXPECT_EQ(savedName(), "P00001.partiel.JPG");
}

// A connection ended while a packet is half received (the rest never
// comes): the stop cancels the read in flight and returns at once, and the
// file being received is kept as a partial one. Also when the cancel misses
// the read: closing the device ends it.
TEST_F(HostileCamera, EndingWithATransferInFlightStopsAtOnceAndKeepsTheFile) {
    int number = 0;
    for (const bool missed : {false, true}) {
        SCOPED_TRACE(missed ? "cancel missed" : "cancel");
        play({fileOpen("DSC0001.JPG")});
        play({fileIn(lastHandle(), Bytes(1000, 7))});
        const Bytes chunk = fileIn(lastHandle(), Bytes(2000, 8));
        play({Bytes(chunk.begin(), chunk.begin() + 512)});
        if (missed) {
            fakecam::loseNextCancel();
        }
        const auto start = std::chrono::steady_clock::now();
        ASSERT_EQ(OpenCamera(ORKA_PRODUCT_ID), 0);  // ends the connection first
        EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
        const std::string name = "P0000" + std::to_string(++number) + ".partiel.JPG";
        EXPECT_EQ(savedName(), name);
        EXPECT_EQ(fs::file_size(root_ / "target" / name), 1000u);
        EXPECT_TRUE(namesIn("tmp").empty());
    }
}

// A header announcing a huge frame whose buffer cannot be had ends the
// receive thread as a lost link instead of terminating the process.
TEST_F(HostileCamera, AllocationFailureInTheReceiveThreadIsALostLink) {
    Bytes first = fakecam::packet(0x100A, 1, Bytes(500, 0));
    const Bytes huge = u32(32u << 20);
    std::copy(huge.begin(), huge.end(), first.begin());
    failAbove = 16u << 20;
    fakecam::queue(first);
    waitLinkLost();
    failAbove = 0;
    EXPECT_EQ(CheckExistUSBCamera(), 4);
}

// Whichever allocation of OpenCamera fails (thread creation included), it
// returns its failure result, and the next attempt opens normally.
TEST_F(HostileCamera, AllocationFailureInAnExportIsItsFailureResult) {
    fakecam::unplug();
    CheckExistUSBCamera();
    for (long n = 0; n < 40; ++n) {
        fakecam::reset();
        failAfter = n;
        const int32_t result = OpenCamera(ORKA_PRODUCT_ID);
        failAfter = -1;
        EXPECT_TRUE(result == 0 || result == 4) << n;
        fakecam::unplug();
        CheckExistUSBCamera();
    }
    fakecam::reset();
    EXPECT_EQ(OpenCamera(ORKA_PRODUCT_ID), 0);
}

}  // namespace
