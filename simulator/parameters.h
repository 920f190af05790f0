// The camera's parameter table: 90 entries, each a current value and two
// auxiliary values. The defaults and the meaning of every index are listed
// once, in parameters.cpp.
#pragma once

#include <array>
#include <cstdint>

namespace orkasim {

constexpr int kParameters = 90;

// Indexes the simulated camera itself acts on.
enum Param : int {
    kPExposureProgram = 0,
    kPFlashMode = 1,
    kPWhiteBalance = 2,
    kPImageSize = 3,
    kPImageQuality = 4,
    kPDriveMode = 5,
    kPMetering = 6,
    kPSensitivity = 7,
    kPShutter = 8,
    kPAperture = 9,
    kPFocusMode = 10,
    kPMacro = 11,
    kPFocusView = 13,
    kPExposureCompensation = 15,
    kPAfterView = 16,
    kPFocusDistance = 27,
    kPColorMode = 29,
    kPFrameReading = 36,
    kPBattery = 37,
    kPSaturation = 46,
    kPContrast = 47,
    kPMaxAperture = 48,
    kPFlashActive = 52,
    kPFlashControl = 55,
    kPSharpness = 56,
    kPWarnings = 57,
    kPFlashCharge = 70,
    kPColorFilter = 77,
    kPBWFilter = 78,
    kPFocusPointMode = 85,
    kPFlashPower = 86,
    kPAperturePreview = 87,
    kPShutterSound = 88,
    kPInfocusSound = 89,
};

struct ParameterEntry {
    int32_t value = 0;
    int32_t aux1 = 0;  // lowest code offered (0 where the entry has no range)
    int32_t aux2 = 0;  // highest code offered
};

struct ParameterDefault {
    int index;
    const char* meaning;
    ParameterEntry entry;
};

// The factory settings, one row per index, in index order.
const std::array<ParameterDefault, kParameters>& parameterDefaults();

class ParameterTable {
  public:
    ParameterTable() { reset(); }
    void reset();
    static bool valid(int index) { return index >= 0 && index < kParameters; }
    // Out-of-range indexes read as an empty entry and are not written.
    const ParameterEntry& entry(int index) const;
    int32_t value(int index) const { return entry(index).value; }
    void setValue(int index, int32_t value);
    void setAux1(int index, int32_t value);
    void setAux2(int index, int32_t value);

  private:
    std::array<ParameterEntry, kParameters> entries_;
};

}  // namespace orkasim
