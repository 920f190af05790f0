// Focus point, FDM point and mode, focus steps, spot-metering link and
// aperture preview: one command each.
#include "commands.h"
#include "connection.h"
#include "fotolien.h"
#include "packets.h"
#include "session.h"

namespace fotolien {

namespace {

int32_t sendGuarded(uint16_t code, const std::vector<uint8_t>& payload,
                    Await await = Await::Status) {
    if (!inControlMode()) {
        return kFailed;
    }
    CommandOptions options;
    options.await = await;
    return exportResult(sendCommand(code, payload, options));
}

// SetFFPPos / SetFDMPos: sends the point and hands back the one the camera
// uses; the caller's point is left alone on failure.
int32_t sendPosition(uint16_t code, int32_t point[2]) {
    if (!inControlMode() || point == nullptr) {
        return kFailed;
    }
    if (sendCommand(code, encodePosition(point[0], point[1])) != 0) {
        return kFailed;
    }
    Connection& c = connection();
    std::lock_guard lock(c.mutex);
    const int32_t* answer = code == op::kSetFFPPos ? c.ffpPoint : c.fdmPoint;
    point[0] = answer[0];
    point[1] = answer[1];
    return kOk;
}

// Focus actions: 0 stop, 1 farther, 2 nearer.
constexpr int32_t kLastFocusAction = 2;

}  // namespace

}  // namespace fotolien

using namespace fotolien;

int32_t SetFFPModeOn(void) {
    return guarded(kFailed,
                   [&]() -> int32_t { return sendGuarded(op::kChangeFFP, encodeChangeFFP(true)); });
}

int32_t SetFFPModeOff(void) {
    return guarded(
        kFailed, [&]() -> int32_t { return sendGuarded(op::kChangeFFP, encodeChangeFFP(false)); });
}

int32_t SetFFPPosition(int32_t point[2]) {
    return guarded(kFailed, [&]() -> int32_t { return sendPosition(op::kSetFFPPos, point); });
}

int32_t SetFDMPosition(int32_t point[2]) {
    return guarded(kFailed, [&]() -> int32_t { return sendPosition(op::kSetFDMPos, point); });
}

int32_t ChangeFDMMode(void) {
    return guarded(kFailed, [&]() -> int32_t { return sendGuarded(op::kChangeFDMMode, {}); });
}

int32_t FocusAdjust(int32_t action) {
    return guarded(kFailed, [&]() -> int32_t {
        if (action < 0 || action > kLastFocusAction) {
            return kFailed;  // no such motor action
        }
        return sendGuarded(op::kAdjFocusAction,
                           encodeAdjFocusAction(static_cast<uint16_t>(action)));
    });
}

int32_t SetSpotAEwithFFP(int32_t link) {
    return guarded(kFailed, [&]() -> int32_t {
        return sendGuarded(op::kSetSpotAEMode, encodeSetSpotAEMode(link != 0));
    });
}

int32_t SetAperturePreview(int32_t on) {
    return guarded(kFailed, [&]() -> int32_t {
        return sendGuarded(op::kSetPreviewMode, encodeSetPreviewMode(on != 0), Await::Arrival);
    });
}
