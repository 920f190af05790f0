#include "translations.h"

#include <algorithm>
#include <iterator>

namespace fotolien {

namespace {

// Aperture index to code, and the lower bounds of the code bands that read
// back as indexes 1..12.
constexpr std::array<int32_t, 13> kApertureCodes = {33, 35, 38, 40, 43, 45, 48,
                                                    50, 53, 56, 59, 61, 64};
constexpr int32_t kApertureDefaultCode = 48;
constexpr std::array<int32_t, 12> kApertureBands = {34, 36, 39, 42, 44, 47, 50, 52, 55, 58, 60, 63};

// Lower bounds of the shutter code bands that read back as indexes 1..49.
constexpr std::array<int32_t, 49> kShutterBands = {
    8,  10,  13,  15,  18,  20,  23,  26,  29,  31,  34,  36,  39,  42,  44, 47, 50,
    53, 55,  58,  60,  63,  66,  68,  71,  74,  77,  79,  82,  84,  87,  90, 92, 95,
    98, 100, 103, 106, 108, 111, 114, 116, 119, 122, 124, 127, 130, 132, 135};
constexpr int32_t kShutterDefaultCode = 112;
constexpr int32_t kShutterIndexMax = 49;

// White-balance preset index to code: the high byte is the light-source
// kind, the next one a fluorescent sub-type biased by 0x80.
constexpr std::array<int32_t, 14> kWhiteBalanceCodes = {
    0x00800000, 0x01800000, 0x02800000, 0x03800000, 0x04800000, 0x07800000, 0x06800000,
    0x05800000, 0x05810000, 0x05820000, 0x05830000, 0x05840000, 0x057E0000, 0x057F0000};

// Index of the band whose lower bound is the last one <= code (0 below the
// first bound).
template <size_t N>
int32_t bandIndex(const std::array<int32_t, N>& bounds, int32_t code) {
    return static_cast<int32_t>(std::upper_bound(bounds.begin(), bounds.end(), code) -
                                bounds.begin());
}

}  // namespace

int32_t apertureCodeFromIndex(int32_t index) {
    if (index < 0 || index >= static_cast<int32_t>(kApertureCodes.size())) {
        return kApertureDefaultCode;
    }
    return kApertureCodes[index];
}

int32_t shutterCodeFromIndex(int32_t index) {
    if (index == 0) {
        return 0;
    }
    if (index < 1 || index > kShutterIndexMax) {
        return kShutterDefaultCode;
    }
    // 8 + 8 (i - 1) / 3 rounded to nearest; the fraction is never one half.
    return 8 + (8 * (index - 1) + 1) / 3;
}

int32_t whiteBalanceCodeFromIndex(int32_t index) {
    if (index < 0 || index >= static_cast<int32_t>(kWhiteBalanceCodes.size())) {
        return kWhiteBalanceCodes[0];
    }
    return kWhiteBalanceCodes[index];
}

int32_t translateSetting(int index, int32_t value) {
    switch (index) {
        case param::kAperture:
            return apertureCodeFromIndex(value);
        case param::kShutterSpeed:
            return shutterCodeFromIndex(value);
        case param::kWhiteBalance:
            return whiteBalanceCodeFromIndex(value);
        case param::kColorMode:
            return value == 5 ? kColorModeProfileCode : value;
        case param::kAfterViewDisplay:
            return value != 0 ? 3 : 0;
        default:
            return value;
    }
}

int32_t shutterIndexFromCode(int32_t code) {
    return std::min(bandIndex(kShutterBands, code), kShutterIndexMax);
}

int32_t apertureIndexFromCode(int32_t code) {
    return bandIndex(kApertureBands, code);
}

int32_t whiteBalanceIndexFromCode(int32_t code) {
    // Index 0's code (0x00800000) reads back as 0 like every unknown code.
    const auto* found = std::find(kWhiteBalanceCodes.begin() + 1, kWhiteBalanceCodes.end(), code);
    if (found == kWhiteBalanceCodes.end()) {
        return 0;
    }
    return static_cast<int32_t>(found - kWhiteBalanceCodes.begin());
}

void fillStatus(const ParameterValues& v, CameraStatusData* s) {
    s->imageSize = v[param::kImageSize];
    s->imageQuality = v[param::kImageQuality];
    s->shutterSpeed = shutterIndexFromCode(v[param::kShutterSpeed]);
    s->aperture = apertureIndexFromCode(v[param::kAperture]);
    s->maxAperture = apertureIndexFromCode(v[48]);
    s->battery = v[param::kBattery];
    s->param36 = v[param::kParam36];
    s->macro = v[11];
    s->flashActive = v[52];
    s->exposureProgram = v[param::kExposureProgram];
    s->flashMode = v[param::kFlashMode];
    s->whiteBalance = whiteBalanceIndexFromCode(v[param::kWhiteBalance]);
    s->driveMode = v[param::kDriveMode];
    s->meteringMode = v[param::kMeteringMode];
    s->sensitivity = v[param::kSensitivity];
    s->focusMode = v[param::kFocusMode];
    s->exposureCompensation = v[param::kExposureCompensation];
    s->bracketStep = v[param::kBracketStep];
    s->param18 = v[18];
    s->colorMode = v[param::kColorMode] == kColorModeProfileCode ? 5 : v[param::kColorMode];
    s->sceneSelect = v[param::kSceneSelect];
    s->param28 = v[28];
    s->flashCompensation = v[param::kFlashCompensation];
    s->saturation = v[param::kSaturation];
    s->contrast = v[param::kContrast];
    s->sharpness = v[param::kSharpness];
    s->colorFilter = v[param::kColorFilter];
    s->bwFilter = v[param::kBWFilter];
    s->warnings = v[57];
    s->flashCharge = v[70];
    s->focusDistance = v[27];
    s->param65 = v[65];
    s->param53 = v[param::kParam53];
    s->flashControl =
        v[param::kFlashControl] == 2 ? v[param::kManualFlashPower] + 2 : v[param::kFlashControl];
    s->focusPointMode = v[85];
    s->param13 = v[13];
    s->aperturePreview = v[87];
    s->shutterSound = v[param::kShutterSound];
    s->infocusSound = v[param::kInfocusSound];
}

}  // namespace fotolien
