// orkactl: the camera from the command line, over Fotolien.
//
//   orkactl status    print the camera's status record, one "name value" per line
//
// Exit codes: 0 done, 1 a camera operation failed, 2 bad usage, 3 no camera
// found, 4 the camera refused PC-control mode.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "fotolien.h"

namespace {

enum ExitCode { kDone = 0, kOperationFailed = 1, kUsage = 2, kNoCamera = 3, kRefused = 4 };

// The status record's fields by name, in their fixed order.
constexpr const char* kStatusFields[] = {"imageSize",
                                         "imageQuality",
                                         "shutterSpeed",
                                         "aperture",
                                         "maxAperture",
                                         "battery",
                                         "param36",
                                         "macro",
                                         "flashActive",
                                         "exposureProgram",
                                         "flashMode",
                                         "whiteBalance",
                                         "driveMode",
                                         "meteringMode",
                                         "sensitivity",
                                         "focusMode",
                                         "exposureCompensation",
                                         "bracketStep",
                                         "param18",
                                         "colorMode",
                                         "sceneSelect",
                                         "param28",
                                         "flashCompensation",
                                         "saturation",
                                         "contrast",
                                         "sharpness",
                                         "colorFilter",
                                         "bwFilter",
                                         "warnings",
                                         "flashCharge",
                                         "focusDistance",
                                         "param65",
                                         "param53",
                                         "flashControl",
                                         "focusPointMode",
                                         "param13",
                                         "aperturePreview",
                                         "shutterSound",
                                         "infocusSound"};
static_assert(sizeof kStatusFields / sizeof kStatusFields[0] ==
              sizeof(CameraStatusData) / sizeof(int32_t));

// Attempts at entering PC-control mode: the camera needs a moment after
// opening before it accepts.
constexpr int kControlModeAttempts = 4;
constexpr auto kControlModeRetryPause = std::chrono::seconds(1);

void fail(const char* message) {
    std::fprintf(stderr, "orkactl: %s\n", message);
}

// An open camera in PC-control mode for the life of the object.
class CameraSession {
  public:
    // Returns kDone, or the exit code of the failure (already reported).
    int open() {
        if (OpenCamera(ORKA_PRODUCT_ID) != 0) {
            fail("no camera found (is it connected and switched on?)");
            return kNoCamera;
        }
        opened_ = true;
        for (int attempt = 0; attempt < kControlModeAttempts; ++attempt) {
            if (attempt > 0) {
                std::this_thread::sleep_for(kControlModeRetryPause);
            }
            if (StartPCControlMode() == 0) {
                controlMode_ = true;
                return kDone;
            }
        }
        fail("the camera refused PC-control mode");
        return kRefused;
    }

    ~CameraSession() {
        if (controlMode_) {
            TerminatePCControlMode();
        }
        if (opened_) {
            CloseCamera();
        }
    }

  private:
    bool opened_ = false;
    bool controlMode_ = false;
};

int runStatus() {
    CameraSession session;
    if (const int rc = session.open(); rc != kDone) {
        return rc;
    }
    CameraStatusData status;
    if (GetCameraStatusData(&status) != 0) {
        fail("could not read the camera's status");
        return kOperationFailed;
    }
    int32_t values[sizeof kStatusFields / sizeof kStatusFields[0]];
    std::memcpy(values, &status, sizeof values);
    for (size_t i = 0; i < sizeof values / sizeof values[0]; ++i) {
        std::printf("%s %d\n", kStatusFields[i], values[i]);
    }
    return kDone;
}

void usage(FILE* out) {
    std::fprintf(out,
                 "usage: orkactl COMMAND\n"
                 "\n"
                 "commands:\n"
                 "  status    print the camera's status, one \"name value\" per line\n"
                 "\n"
                 "exit codes: 0 done, 1 camera operation failed, 2 bad usage,\n"
                 "            3 no camera found, 4 PC-control mode refused\n");
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        usage(stderr);
        return kUsage;
    }
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        usage(stdout);
        return kDone;
    }
    if (args[0] == "status" && args.size() == 1) {
        return runStatus();
    }
    usage(stderr);
    return kUsage;
}
