// The setting exports: one SetCamStat each, with the value translations.
#include "settings.h"

#include "commands.h"
#include "connection.h"
#include "fotolien.h"
#include "packets.h"
#include "session.h"
#include "translations.h"

namespace fotolien {

int setCameraParameter(int index, int32_t value) {
    const int32_t code = translateSetting(index, value);
    if (sendCommand(op::kSetCamStat, encodeSetCamStat(static_cast<uint32_t>(index), code)) != 0) {
        return -1;
    }
    Connection& c = connection();
    std::lock_guard lock(c.mutex);
    c.parameters[index].value = code;
    return 0;
}

namespace {

int32_t setGuarded(int index, int32_t value) {
    if (!inControlMode()) {
        return kFailed;
    }
    return exportResult(setCameraParameter(index, value));
}

}  // namespace

}  // namespace fotolien

using namespace fotolien;

int32_t SetExposureProgram(int32_t value) {
    return guarded(kFailed,
                   [&]() -> int32_t { return setGuarded(param::kExposureProgram, value); });
}
int32_t SetFlashMode(int32_t value) {
    return guarded(kFailed, [&]() -> int32_t { return setGuarded(param::kFlashMode, value); });
}
int32_t SetWhiteBalanceMode(int32_t value) {
    return guarded(kFailed, [&]() -> int32_t { return setGuarded(param::kWhiteBalance, value); });
}
int32_t SetImageSize(int32_t value) {
    return guarded(kFailed, [&]() -> int32_t { return setGuarded(param::kImageSize, value); });
}
int32_t SetImageQuality(int32_t value) {
    return guarded(kFailed, [&]() -> int32_t { return setGuarded(param::kImageQuality, value); });
}
int32_t SetDriveMode(int32_t value) {
    return guarded(kFailed, [&]() -> int32_t { return setGuarded(param::kDriveMode, value); });
}
int32_t SetMeteringMode(int32_t value) {
    return guarded(kFailed, [&]() -> int32_t { return setGuarded(param::kMeteringMode, value); });
}
int32_t SetCameraSensitivity(int32_t value) {
    return guarded(kFailed, [&]() -> int32_t { return setGuarded(param::kSensitivity, value); });
}
int32_t SetShutterSpeedValue(int32_t value) {
    return guarded(kFailed, [&]() -> int32_t { return setGuarded(param::kShutterSpeed, value); });
}
int32_t SetApertureValue(int32_t value) {
    return guarded(kFailed, [&]() -> int32_t { return setGuarded(param::kAperture, value); });
}
int32_t SetFocusMode(int32_t value) {
    return guarded(kFailed, [&]() -> int32_t { return setGuarded(param::kFocusMode, value); });
}
int32_t SetExposureCompensation(int32_t value) {
    return guarded(kFailed,
                   [&]() -> int32_t { return setGuarded(param::kExposureCompensation, value); });
}
int32_t SetExposureBracketStep(int32_t value) {
    return guarded(kFailed, [&]() -> int32_t { return setGuarded(param::kBracketStep, value); });
}
int32_t SetSceneSelectMode(int32_t value) {
    return guarded(kFailed, [&]() -> int32_t { return setGuarded(param::kSceneSelect, value); });
}
int32_t SetColorMode(int32_t value) {
    return guarded(kFailed, [&]() -> int32_t { return setGuarded(param::kColorMode, value); });
}
int32_t SetFlashCompensation(int32_t value) {
    return guarded(kFailed,
                   [&]() -> int32_t { return setGuarded(param::kFlashCompensation, value); });
}
int32_t SetImageSaturation(int32_t value) {
    return guarded(kFailed, [&]() -> int32_t { return setGuarded(param::kSaturation, value); });
}
int32_t SetImageContrast(int32_t value) {
    return guarded(kFailed, [&]() -> int32_t { return setGuarded(param::kContrast, value); });
}
int32_t SetImageSharpness(int32_t value) {
    return guarded(kFailed, [&]() -> int32_t { return setGuarded(param::kSharpness, value); });
}
int32_t SetColorFilter(int32_t value) {
    return guarded(kFailed, [&]() -> int32_t { return setGuarded(param::kColorFilter, value); });
}
int32_t SetBWFilter(int32_t value) {
    return guarded(kFailed, [&]() -> int32_t { return setGuarded(param::kBWFilter, value); });
}
int32_t SetShutterSound(int32_t value) {
    return guarded(kFailed, [&]() -> int32_t { return setGuarded(param::kShutterSound, value); });
}
int32_t SetInfocusSound(int32_t value) {
    return guarded(kFailed, [&]() -> int32_t { return setGuarded(param::kInfocusSound, value); });
}

// 1: pre-flash TTL; 2..6: manual power (parameter 86 = argument - 2, then
// parameter 55 = 2 if that was accepted); anything else: distance (55 = 0).
int32_t SetFlashCompensationType(int32_t value) {
    return guarded(kFailed, [&]() -> int32_t {
        if (!inControlMode()) {
            return kFailed;
        }
        const auto type = static_cast<uint32_t>(value);
        if (type == 1) {
            return exportResult(setCameraParameter(param::kFlashControl, 1));
        }
        if (type >= 2 && type <= 6) {
            if (setCameraParameter(param::kManualFlashPower, static_cast<int32_t>(type - 2)) != 0) {
                return kFailed;
            }
            return exportResult(setCameraParameter(param::kFlashControl, 2));
        }
        return exportResult(setCameraParameter(param::kFlashControl, 0));
    });
}
