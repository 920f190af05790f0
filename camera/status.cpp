// PC-control mode and the status record.
#include "commands.h"
#include "connection.h"
#include "fotolien.h"
#include "packets.h"
#include "session.h"
#include "settings.h"
#include "transfer.h"
#include "translations.h"

namespace fotolien {

namespace {

// The value StartPCControlMode gives parameter 53.
constexpr int32_t kControlModeParam53 = 3;

// StartLV, unless live view was already started (a failed attempt may
// have got this far). The camera must have reported state 1.
int startLiveView(Connection& c) {
    {
        std::lock_guard lock(c.mutex);
        if (c.cameraState != 1) {
            return -1;
        }
    }
    if (c.liveViewStarted) {
        return 0;
    }
    if (sendCommand(op::kStartLV, {}) != 0) {
        return -1;
    }
    c.liveViewStarted = true;
    return 0;
}

void forgetPictures(Connection& c) {
    std::lock_guard lock(c.mutex);
    c.forgetPicturesLocked();
}

}  // namespace

}  // namespace fotolien

using namespace fotolien;

int32_t StartPCControlMode(void) {
    return guarded(kFailed, [&]() -> int32_t {
        Connection& c = connection();
        if (startLiveView(c) != 0 || sendCommand(op::kGetAllCamStat, {}) != 0 ||
            sendCommand(op::kGetPresetWBGain, {}) != 0 ||
            setCameraParameter(param::kParam53, kControlModeParam53) != 0) {
            return kFailed;
        }
        transfer::clearSavedFileInfo(c);
        forgetPictures(c);
        c.controlMode = true;
        return kOk;
    });
}

int32_t TerminatePCControlMode(void) {
    return guarded(kFailed, [&]() -> int32_t {
        Connection& c = connection();
        if (!c.liveViewStarted || sendCommand(op::kEndLV, {}) != 0) {
            return kFailed;
        }
        c.liveViewStarted = false;
        forgetPictures(c);
        c.controlMode = false;
        return kOk;
    });
}

int32_t GetCameraStatusData(CameraStatusData* status) {
    return guarded(kFailed, [&]() -> int32_t {
        if (!inControlMode() || status == nullptr) {
            return kFailed;
        }
        Connection& c = connection();
        std::lock_guard lock(c.mutex);
        fillStatus(c.parameterValuesLocked(), status);
        return kOk;
    });
}
