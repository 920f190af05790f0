// The value codings that differ between the application and the camera, in
// both directions: what a setter sends for the caller's value, and how the
// status record reports the camera's code back. Each pair is written side by
// side so that one stays the inverse of the other. Pure functions.
#pragma once

#include <array>
#include <cstdint>

#include "fotolien.h"

namespace fotolien {

constexpr int kParameterCount = 90;

// Parameter indexes with a coding or a special role.
namespace param {
constexpr int kExposureProgram = 0;
constexpr int kFlashMode = 1;
constexpr int kWhiteBalance = 2;
constexpr int kImageSize = 3;
constexpr int kImageQuality = 4;
constexpr int kDriveMode = 5;
constexpr int kMeteringMode = 6;
constexpr int kSensitivity = 7;
constexpr int kShutterSpeed = 8;
constexpr int kAperture = 9;
constexpr int kFocusMode = 10;
constexpr int kExposureCompensation = 15;
constexpr int kAfterViewDisplay = 16;
constexpr int kBracketStep = 17;
constexpr int kSceneSelect = 25;
constexpr int kColorMode = 29;
constexpr int kFlashCompensation = 31;
constexpr int kBattery = 37;
constexpr int kParam36 = 36;
constexpr int kSaturation = 46;
constexpr int kContrast = 47;
constexpr int kParam53 = 53;
constexpr int kFlashControl = 55;
constexpr int kSharpness = 56;
constexpr int kColorFilter = 77;
constexpr int kBWFilter = 78;
constexpr int kManualFlashPower = 86;
constexpr int kShutterSound = 88;
constexpr int kInfocusSound = 89;
}  // namespace param

// Colour mode 5 (Adobe RGB profile) is code 132 on the camera.
constexpr int32_t kColorModeProfileCode = 132;

// ---- Caller's value to camera code ----------------------------------------

// Aperture index 0..12; any other index gives 48.
int32_t apertureCodeFromIndex(int32_t index);
// Shutter index 0..49 (0 gives 0, i gives round(8 + 8 (i - 1) / 3)); any
// other index gives 112.
int32_t shutterCodeFromIndex(int32_t index);
// White-balance preset index 0..13; any other index gives 0x00800000.
int32_t whiteBalanceCodeFromIndex(int32_t index);
// The code a SetCamStat of `index` sends for the caller's `value`.
int32_t translateSetting(int index, int32_t value);

// ---- Camera code to the application's numbering ---------------------------

int32_t shutterIndexFromCode(int32_t code);
int32_t apertureIndexFromCode(int32_t code);
int32_t whiteBalanceIndexFromCode(int32_t code);

// Current values of the parameter table, indexed 0..89.
using ParameterValues = std::array<int32_t, kParameterCount>;

// Fills all 39 fields of the status record from the parameter values.
void fillStatus(const ParameterValues& values, CameraStatusData* status);

}  // namespace fotolien
