// Fuzz target: a hostile camera's bulk-in stream through the library's real
// exports and receive thread, over the scripted transport.
//
// Input: one flags byte, then records of a 16-bit little-endian length and
// that many bytes, each one device transfer (at most kMaxRecords).
//   flags bit 0: each record comes in several short reads (bits 1-3: how
//                many, 2..9);
//   flags bit 4: after playing, enter PC-control mode and fetch a live-view
//                frame and the status.
// FileIn and FileClose quoting handle 1..8 get the n-th handle the library
// gave out. Every file operation of the library is checked to stay inside
// the scratch folder (TMPDIR, HOME and the save folder point into it); one
// that does not aborts.
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "fake_transport.h"
#include "fotolien.h"
#include "scratch_folder.h"

namespace {

constexpr size_t kMaxRecords = 256;
constexpr size_t kMaxFrameCopy = 8u << 20;

void fetchFrameOnce();

// Waits until every transfer has been read or the library has let the
// camera go.
void waitPlayed() {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!fakecam::drained() && CheckExistUSBCamera() == 0 &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
}

// The commands below wait for their answers without a time limit, as the
// library does with a real camera; a camera that has stopped talking is
// unplugged after a while, which ends every wait.
void fetchFrame() {
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    std::thread watchdog([&] {
        std::unique_lock lock(mutex);
        if (!done.wait_for(lock, std::chrono::milliseconds(200), [&] { return finished; })) {
            fakecam::unplug();
        }
    });
    fetchFrameOnce();
    {
        std::lock_guard lock(mutex);
        finished = true;
    }
    done.notify_all();
    watchdog.join();
}

void fetchFrameOnce() {
    if (StartPCControlMode() != 0) {
        return;
    }
    LiveViewInfo info{};
    if (LiveViewGetInfo(&info) == 0 && info.size > 0 && info.size <= kMaxFrameCopy) {
        std::vector<uint8_t> frame(info.size);
        LiveViewGetFrame(frame.data(), info.size, nullptr);
    }
    CameraStatusData status{};
    GetCameraStatusData(&status);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const uint8_t flags = data[0];
    const int pieces = (flags & 1) != 0 ? ((flags >> 1) & 7) + 2 : 1;

    fakecam::reset();
    fakecam::aliasSmallHandles(true);
    const std::string target = fuzzscratch::target();
    fuzzscratch::guard(true);
    if (OpenCamera(ORKA_PRODUCT_ID) != 0) {
        std::abort();  // the scripted camera always answers Open
    }
    SetSaveFileInformation(target.c_str(), "P");

    size_t at = 1;
    for (size_t records = 0; at + 2 <= size && records < kMaxRecords; ++records) {
        const size_t length = data[at] | data[at + 1] << 8;
        at += 2;
        const size_t take = std::min(length, size - at);
        fakecam::queue(fakecam::Bytes(data + at, data + at + take), pieces);
        at += take;
    }
    waitPlayed();
    if ((flags & 0x10) != 0) {
        fetchFrame();
    }

    fakecam::unplug();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (CheckExistUSBCamera() == 0 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    if (CheckExistUSBCamera() == 0) {
        std::abort();  // the library never noticed the camera had gone
    }
    int32_t waiting = -1;
    GetWaitingFileNumber(&waiting);
    if (waiting != 0) {
        std::abort();  // a lost camera sends no more files
    }
    fuzzscratch::guard(false);
    fuzzscratch::empty();
    return 0;
}
