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
#include <dirent.h>
#include <fcntl.h>
#include <stdarg.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "fake_transport.h"
#include "fotolien.h"

namespace {

namespace fs = std::filesystem;

constexpr size_t kMaxRecords = 256;
constexpr size_t kMaxFrameCopy = 8u << 20;

std::string& scratch() {
    static std::string root;
    return root;
}

bool inside(const char* path) {
    if (path == nullptr) {
        return true;  // the call fails by itself
    }
    const std::string normal = fs::path(path).lexically_normal().string();
    const std::string& root = scratch();
    return !root.empty() && normal.size() > root.size() &&
           normal.compare(0, root.size(), root) == 0 && normal[root.size()] == '/';
}

[[noreturn]] void escaped(const char* call, const char* path) {
    std::fprintf(stderr, "file operation outside the scratch folder: %s(\"%s\")\n", call, path);
    std::abort();
}

// Set while an input plays: the fuzzer's own reading of its corpus and
// writing of its artefacts is not the library's doing.
std::atomic<bool> guarding{false};

void check(const char* call, const char* path) {
    if (guarding.load() && !inside(path)) {
        escaped(call, path);
    }
}

void makeScratch() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern =
        std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/orka_receive_fuzz_XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
        std::perror("mkdtemp");
        std::abort();
    }
    scratch() = fs::path(pattern).lexically_normal().string();
    for (const char* dir : {"tmp", "home", "target"}) {
        fs::create_directories(fs::path(scratch()) / dir);
    }
    ::setenv("TMPDIR", (scratch() + "/tmp").c_str(), 1);
    ::setenv("HOME", (scratch() + "/home").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (scratch() + "/home").c_str(), 1);
    std::atexit([] { fs::remove_all(scratch()); });
}

void emptyScratch() {
    for (const char* dir : {"tmp", "home", "target"}) {
        const fs::path folder = fs::path(scratch()) / dir;
        for (const auto& entry : fs::directory_iterator(folder)) {
            fs::remove_all(entry.path());
        }
    }
}

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

// ---- The library's file operations, checked ------------------------------

extern "C" {
int __real_open(const char* path, int flags, ...);
int __real_mkostemp(char* pattern, int flags);
int __real_link(const char* from, const char* to);
int __real_unlink(const char* path);
int __real_mkdir(const char* path, mode_t mode);
int __real_chmod(const char* path, mode_t mode);
int __real_rename(const char* from, const char* to);
DIR* __real_opendir(const char* path);

int __wrap_open(const char* path, int flags, ...) {
    mode_t mode = 0;
    if ((flags & O_CREAT) != 0) {
        va_list args;
        va_start(args, flags);
        mode = static_cast<mode_t>(va_arg(args, int));
        va_end(args);
    }
    if ((flags & (O_WRONLY | O_RDWR | O_CREAT | O_TRUNC)) != 0) {
        check("open", path);
    }
    return __real_open(path, flags, mode);
}
int __wrap_mkostemp(char* pattern, int flags) {
    check("mkostemp", pattern);
    return __real_mkostemp(pattern, flags);
}
int __wrap_link(const char* from, const char* to) {
    check("link", to);
    return __real_link(from, to);
}
int __wrap_unlink(const char* path) {
    check("unlink", path);
    return __real_unlink(path);
}
int __wrap_mkdir(const char* path, mode_t mode) {
    // The folders above the scratch folder already exist: nothing is made.
    struct stat info {};
    if (guarding.load() && !inside(path) && ::stat(path, &info) != 0) {
        escaped("mkdir", path);
    }
    return __real_mkdir(path, mode);
}
int __wrap_chmod(const char* path, mode_t mode) {
    check("chmod", path);
    return __real_chmod(path, mode);
}
int __wrap_rename(const char* from, const char* to) {
    check("rename", from);
    check("rename", to);
    return __real_rename(from, to);
}
DIR* __wrap_opendir(const char* path) {
    check("opendir", path);
    return __real_opendir(path);
}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (scratch().empty()) {
        makeScratch();
    }
    if (size == 0) {
        return 0;
    }
    const uint8_t flags = data[0];
    const int pieces = (flags & 1) != 0 ? ((flags >> 1) & 7) + 2 : 1;

    fakecam::reset();
    fakecam::aliasSmallHandles(true);
    guarding = true;
    if (OpenCamera(ORKA_PRODUCT_ID) != 0) {
        std::abort();  // the scripted camera always answers Open
    }
    const std::string target = scratch() + "/target";
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
    guarding = false;
    emptyScratch();
    return 0;
}
