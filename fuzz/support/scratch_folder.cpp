#include "scratch_folder.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdarg.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace fuzzscratch {

namespace {

namespace fs = std::filesystem;

std::string& folder() {
    static std::string path;
    return path;
}

// In memory when the system offers it (/dev/shm): the files of thousands of
// inputs a second are really written, but never reach a disk.
std::string base() {
    if (::access("/dev/shm", W_OK | X_OK) == 0) {
        return "/dev/shm";
    }
    const char* tmp = std::getenv("TMPDIR");
    return tmp != nullptr && *tmp != '\0' ? tmp : "/tmp";
}

void make() {
    std::string pattern = base() + "/orka_fuzz_XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
        std::perror("mkdtemp");
        std::abort();
    }
    folder() = fs::path(pattern).lexically_normal().string();
    for (const char* dir : {"tmp", "home", "target"}) {
        fs::create_directories(fs::path(folder()) / dir);
    }
    ::setenv("TMPDIR", (folder() + "/tmp").c_str(), 1);
    ::setenv("HOME", (folder() + "/home").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (folder() + "/home").c_str(), 1);
    std::atexit([] { fs::remove_all(folder()); });
}

std::atomic<bool> guarding{false};

bool inside(const char* path) {
    if (path == nullptr) {
        return true;  // the call fails by itself
    }
    const std::string normal = fs::path(path).lexically_normal().string();
    const std::string& base = folder();
    return !base.empty() && normal.size() > base.size() &&
           normal.compare(0, base.size(), base) == 0 && normal[base.size()] == '/';
}

[[noreturn]] void escaped(const char* call, const char* path) {
    std::fprintf(stderr, "file operation outside the scratch folder: %s(\"%s\")\n", call, path);
    std::abort();
}

void check(const char* call, const char* path) {
    if (guarding.load() && !inside(path)) {
        escaped(call, path);
    }
}

}  // namespace

const std::string& root() {
    if (folder().empty()) {
        make();
    }
    return folder();
}

std::string target() {
    return root() + "/target";
}

void empty() {
    for (const char* dir : {"tmp", "home", "target"}) {
        for (const auto& entry : fs::directory_iterator(fs::path(root()) / dir)) {
            fs::remove_all(entry.path());
        }
    }
}

void guard(bool on) {
    guarding = on;
}

}  // namespace fuzzscratch

using fuzzscratch::check;

// ---- The file operations of the code under test, checked -----------------

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
    if (fuzzscratch::guarding.load() && !fuzzscratch::inside(path) && ::stat(path, &info) != 0) {
        fuzzscratch::escaped("mkdir", path);
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
