// Half press and the focus motor.
#include <algorithm>
#include <cmath>

#include "camera_impl.h"

namespace orkasim {

using namespace wire;

namespace {

// The focus motor moves the focus by this many dioptres per step, between
// infinity (0) and the closest focusing distance.
constexpr double kDioptresPerStep = 0.05;
constexpr double kClosestMm = 300;

}  // namespace

Response Camera::Impl::halfPressLocked(uint16_t press) {
    if (press > 1)
        return refuseLocked(kS1, kStatusBadValue);
    Response response;
    if (press == 1) {
        // Metering: the exposure warnings go into parameter 57, and the host
        // hears of them before the answer. Bits above the exposure ones
        // (flash advice, stabiliser) stay as they are.
        const uint32_t warnings = exposureWarnings(sceneSettingsLocked());
        params.setValue(kPWarnings,
                        static_cast<int32_t>((params.value(kPWarnings) & ~0xF) | warnings));
        announceParametersLocked({kPWarnings});
        if (!controls.focusSucceeds)
            response.status = kStatusNotInFocus;
    }
    session.pressed = press == 1;
    // The point the camera focused on: the flexible focus point when it is in
    // use, else the centre of the frame.
    const bool flexible = params.value(kPFocusPointMode) == 0;
    put32(response.body, static_cast<uint32_t>(flexible ? controls.ffpX : kCameraFrameWidth / 2));
    put32(response.body, static_cast<uint32_t>(flexible ? controls.ffpY : kCameraFrameHeight / 2));
    return response;
}

Response Camera::Impl::focusActionLocked(uint16_t action) {
    if (action > 2)
        return refuseLocked(kAdjFocusAction, kStatusBadValue);
    controls.focusAction = action;
    ++controls.focusRun;
    if (action != 0)
        focusStepLocked();  // a short press still moves the focus
    return {};
}

void Camera::Impl::focusStepLocked() {
    const int32_t mm = params.value(kPFocusDistance);
    double dioptres = mm <= 0 ? 0 : 1000.0 / mm;
    dioptres += controls.focusAction == 2 ? kDioptresPerStep : -kDioptresPerStep;
    dioptres = std::clamp(dioptres, 0.0, 1000.0 / kClosestMm);
    const int32_t next =
        dioptres < kDioptresPerStep / 2 ? 0 : static_cast<int32_t>(std::lround(1000.0 / dioptres));
    if (next != mm) {
        params.setValue(kPFocusDistance, next);
        announceParametersLocked({kPFocusDistance});
    }
    laterLocked(controls.focusStep, [this, run = controls.focusRun] {
        if (run == controls.focusRun && controls.focusAction != 0)
            focusStepLocked();
    });
}

void Camera::setFocusSucceeds(bool inFocus) {
    std::lock_guard lock(impl_->m);
    impl_->controls.focusSucceeds = inFocus;
}

}  // namespace orkasim
