#include "diagnostics.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace usbpipe::diagnostics {

namespace fs = std::filesystem;

namespace {

constexpr const char* kUdevRuleFile = "60-orka-camera.rules";

bool isNumber(const std::string& text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

std::string processName(const fs::path& processDir) {
    std::ifstream comm(processDir / "comm");
    std::string name;
    std::getline(comm, name);
    return name.empty() ? "unknown" : name;
}

void writeLine(const std::string& line) {
    std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
}

}  // namespace

std::string deviceNode(int busNumber, int deviceAddress) {
    char node[32];
    std::snprintf(node, sizeof node, "/dev/bus/usb/%03d/%03d", busNumber & 0xFFF,
                  deviceAddress & 0xFFF);
    return node;
}

std::string findHolder(const std::string& node, const std::string& procRoot, long ownPid) {
    // This process has the node open itself (the handle whose claim failed):
    // it is the holder only if it has the node open more than once.
    std::string self;
    std::error_code error;
    for (fs::directory_iterator process(procRoot, error), end; !error && process != end;
         process.increment(error)) {
        const std::string pid = process->path().filename().string();
        if (!isNumber(pid)) {
            continue;
        }
        int opened = 0;
        std::error_code fdError;
        for (fs::directory_iterator fd(process->path() / "fd", fdError), fdEnd;
             !fdError && fd != fdEnd; fd.increment(fdError)) {
            std::error_code linkError;
            if (fs::read_symlink(fd->path(), linkError) == node && !linkError) {
                ++opened;
            }
        }
        const std::string holder = processName(process->path()) + " (pid " + pid + ")";
        if (pid != std::to_string(ownPid) && opened > 0) {
            return holder;
        }
        if (pid == std::to_string(ownPid) && opened > 1) {
            self = "this program, " + holder;
        }
    }
    return self;
}

std::string accessDeniedMessage(const std::string& node) {
    return "Usbpipe: the camera at " + node +
           " cannot be opened: permission denied; install the udev rule " + kUdevRuleFile +
           " (TAG+=\"uaccess\") in /etc/udev/rules.d, then unplug and reconnect the camera";
}

std::string busyMessage(const std::string& node, const std::string& holder) {
    return "Usbpipe: the camera at " + node + " is in use by " +
           (holder.empty() ? std::string("another program") : holder) +
           "; close that program, then try again";
}

void reportAccessDenied(const std::string& node) {
    writeLine(accessDeniedMessage(node));
}

std::string reportBusy(const std::string& node) {
    std::string holder = findHolder(node, "/proc", static_cast<long>(getpid()));
    writeLine(busyMessage(node, holder));
    return holder;
}

}  // namespace usbpipe::diagnostics
