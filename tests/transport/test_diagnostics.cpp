// The one-line explanations of a camera that is present but unusable.
#include "diagnostics.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;
using namespace usbpipe::diagnostics;

// A stand-in for /proc with processes that have files open.
class FakeProc {
  public:
    FakeProc() : root_(fs::temp_directory_path() / ("usbpipe-proc-" + std::to_string(getpid()))) {
        fs::remove_all(root_);
        fs::create_directories(root_ / "self");
    }
    ~FakeProc() { fs::remove_all(root_); }

    void process(int pid, const std::string& name, std::initializer_list<std::string> files) {
        const fs::path dir = root_ / std::to_string(pid);
        fs::create_directories(dir / "fd");
        std::ofstream(dir / "comm") << name << "\n";
        int fd = 3;
        for (const std::string& file : files) {
            fs::create_symlink(file, dir / "fd" / std::to_string(fd++));
        }
    }
    std::string root() const { return root_.string(); }

  private:
    fs::path root_;
};

TEST(Diagnostics, DeviceNodeHasThreeDigitBusAndAddress) {
    EXPECT_EQ(deviceNode(1, 4), "/dev/bus/usb/001/004");
    EXPECT_EQ(deviceNode(12, 127), "/dev/bus/usb/012/127");
}

TEST(Diagnostics, HolderIsTheOtherProcessWithTheNodeOpen) {
    const std::string node = "/dev/bus/usb/001/004";
    FakeProc proc;
    proc.process(100, "viewer", {"/dev/null", "/dev/bus/usb/001/005"});
    proc.process(200, "pcorka", {node});  // this process: its own failed handle
    EXPECT_EQ(findHolder(node, proc.root(), 200), "");

    proc.process(300, "grabber", {"/tmp/x", node});
    EXPECT_EQ(findHolder(node, proc.root(), 200), "grabber (pid 300)");
}

TEST(Diagnostics, ThisProgramIsNamedWhenItHoldsTheNodeTwice) {
    const std::string node = "/dev/bus/usb/002/009";
    FakeProc proc;
    proc.process(200, "orkactl", {node, node});
    EXPECT_EQ(findHolder(node, proc.root(), 200), "this program, orkactl (pid 200)");
    EXPECT_EQ(findHolder(node, "/nonexistent-proc", 200), "");
}

TEST(Diagnostics, MessagesNameTheCauseAndTheFix) {
    const std::string access = accessDeniedMessage("/dev/bus/usb/001/004");
    EXPECT_NE(access.find("/dev/bus/usb/001/004"), std::string::npos);
    EXPECT_NE(access.find("permission denied"), std::string::npos);
    EXPECT_NE(access.find("60-orka-camera.rules"), std::string::npos);
    EXPECT_NE(access.find("uaccess"), std::string::npos);

    EXPECT_NE(busyMessage("/dev/bus/usb/001/004", "grabber (pid 300)")
                  .find("in use by grabber (pid 300)"),
              std::string::npos);
    EXPECT_NE(busyMessage("/dev/bus/usb/001/004", "").find("in use by another program"),
              std::string::npos);
    EXPECT_EQ(access.find('\n'), std::string::npos);
}

}  // namespace
