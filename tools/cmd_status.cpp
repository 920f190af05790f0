// orkactl status: the 39 fields of the status record by name.
#include <cstdio>
#include <cstring>

#include "camera_session.h"
#include "fotolien.h"
#include "orkactl.h"

namespace orkactl {

namespace {

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
constexpr size_t kFieldCount = sizeof kStatusFields / sizeof kStatusFields[0];
static_assert(kFieldCount == sizeof(CameraStatusData) / sizeof(int32_t));

}  // namespace

int runStatus(const std::vector<std::string>& args) {
    if (!args.empty()) {
        fail("status takes no arguments");
        return kUsage;
    }
    CameraSession session;
    if (const int rc = session.open(); rc != kDone) {
        return rc;
    }
    CameraStatusData status;
    if (GetCameraStatusData(&status) != 0) {
        fail("could not read the camera's status");
        return kOperationFailed;
    }
    int32_t values[kFieldCount];
    std::memcpy(values, &status, sizeof values);
    for (size_t i = 0; i < kFieldCount; ++i) {
        std::printf("%s %d\n", kStatusFields[i], values[i]);
    }
    return kDone;
}

}  // namespace orkactl
