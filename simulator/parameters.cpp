#include "parameters.h"

namespace orkasim {

namespace {

// The factory settings of the simulated camera, in the camera's own codes.
// Columns: index, meaning, {current value, lowest code, highest code}.
// Shutter codes are 8 + 8 (i - 1) / 3 rounded for the speeds i = 1..49
// (104 = 1/160 s); aperture codes run from 33 (F/2,8) to 64 (F/11), 48 being
// F/5,6. Reserved entries are 0 and only travel in GetAllCamStat.
constexpr std::array<ParameterDefault, kParameters> kDefaults = {{
    {0,
     "exposure program: 0 program, 1 aperture priority, 2 shutter priority, 3 manual",
     {0, 0, 3}},
    {1, "flash mode: 0 normal, 1 red-eye, 2 rear curtain, 3 remote", {0, 0, 3}},
    {2,
     "white balance: light source << 24 | (0x80 + fluorescent sub-type) << 16; auto",
     {0x00800000, 0x00800000, 0x07800000}},
    {3,
     "image size: 0 3264x2448, 8 3264x2176, 7 2560x1920, 6 2080x1560, 1 1600x1200, 3 640x480",
     {0, 0, 8}},
    {4, "image quality: 0 raw, 6 raw+JPEG, 1 TIFF, 5 extra fine, 2 fine, 3 standard", {5, 0, 6}},
    {5, "drive mode: 0 single frame, 3 bracketing", {0, 0, 3}},
    {6, "metering: 0 multi-segment, 1 centre-weighted, 2 spot", {0, 0, 2}},
    {7, "sensitivity: 0 ISO 100, 1 ISO 200, 2 ISO 400, 3 ISO 800, 4 auto, 5 ISO 64", {4, 0, 5}},
    {8, "shutter speed code (104 = 1/160 s; 0 = longest)", {104, 0, 136}},
    {9, "aperture code (48 = F/5,6)", {48, 33, 64}},
    {10, "focus mode: 0 autofocus, 1 manual", {0, 0, 1}},
    {11, "macro mode: 1 on", {0, 0, 1}},
    {12, "reserved", {0, 0, 0}},
    {13, "focus view: 0 normal, 3 magnified manual-focus (FDM) view", {0, 0, 3}},
    {14, "reserved", {0, 0, 0}},
    {15, "exposure compensation in thirds of a stop, 6 = 0 EV", {6, 0, 12}},
    {16, "after-view display: 0 off, 3 on", {0, 0, 3}},
    {17, "bracketing step: 0 0.3 EV, 1 0.5 EV", {0, 0, 1}},
    {18, "camera reading, carried as a number", {0, 0, 0}},
    {19, "reserved", {0, 0, 0}},
    {20, "reserved", {0, 0, 0}},
    {21, "reserved", {0, 0, 0}},
    {22, "reserved", {0, 0, 0}},
    {23, "reserved", {0, 0, 0}},
    {24, "reserved", {0, 0, 0}},
    {25, "scene selection code", {0, 0, 0}},
    {26, "reserved", {0, 0, 0}},
    {27, "focus distance in millimetres, 0 = infinity", {2000, 0, 0}},
    {28, "camera reading, carried as a number", {0, 0, 0}},
    {29,
     "colour mode: 0 natural sRGB, 1 B&W, 2 saturated, 3 solarisation, 4 Adobe RGB, 132 profile",
     {0, 0, 132}},
    {30, "reserved", {0, 0, 0}},
    {31, "flash compensation in thirds of a stop, 6 = 0 EV", {6, 0, 12}},
    {32, "reserved", {0, 0, 0}},
    {33, "reserved", {0, 0, 0}},
    {34, "reserved", {0, 0, 0}},
    {35, "reserved", {0, 0, 0}},
    {36, "reading sent with every live-view frame", {0, 0, 0}},
    {37, "battery: 0 full, 1 half, 2 empty", {0, 0, 2}},
    {38, "reserved", {0, 0, 0}},
    {39, "reserved", {0, 0, 0}},
    {40, "reserved", {0, 0, 0}},
    {41, "reserved", {0, 0, 0}},
    {42, "reserved", {0, 0, 0}},
    {43, "reserved", {0, 0, 0}},
    {44, "reserved", {0, 0, 0}},
    {45, "reserved", {0, 0, 0}},
    {46, "saturation 0..10, 5 neutral", {5, 0, 10}},
    {47, "contrast 0..10, 5 neutral", {5, 0, 10}},
    {48, "widest aperture available now (aperture code)", {33, 33, 64}},
    {49, "reserved", {0, 0, 0}},
    {50, "reserved", {0, 0, 0}},
    {51, "reserved", {0, 0, 0}},
    {52, "flash active: 1 yes", {0, 0, 1}},
    {53, "remote-control state, set to 3 by the host", {0, 0, 3}},
    {54, "reserved", {0, 0, 0}},
    {55, "flash control: 0 distance, 1 pre-flash TTL, 2 manual (power in 86)", {1, 0, 2}},
    {56, "sharpness: 0 accentuated, 1 normal, 2 softened", {1, 0, 2}},
    {57,
     "warning bits: 0 over, 1 under, 2-3 AE range, 4 anti-shake, 5-7 flash, 8 AE lock",
     {0, 0, 0x1FF}},
    {58, "reserved", {0, 0, 0}},
    {59, "reserved", {0, 0, 0}},
    {60, "reserved", {0, 0, 0}},
    {61, "reserved", {0, 0, 0}},
    {62, "reserved", {0, 0, 0}},
    {63, "reserved", {0, 0, 0}},
    {64, "reserved", {0, 0, 0}},
    {65, "camera reading, carried as a number", {0, 0, 0}},
    {66, "reserved", {0, 0, 0}},
    {67, "reserved", {0, 0, 0}},
    {68, "reserved", {0, 0, 0}},
    {69, "reserved", {0, 0, 0}},
    {70, "flash charge 0..2 (x 50 %)", {2, 0, 2}},
    {71, "reserved", {0, 0, 0}},
    {72, "reserved", {0, 0, 0}},
    {73, "reserved", {0, 0, 0}},
    {74, "reserved", {0, 0, 0}},
    {75, "reserved", {0, 0, 0}},
    {76, "reserved", {0, 0, 0}},
    {77, "colour filter 0..10, 5 neutral", {5, 0, 10}},
    {78, "black-and-white filter 0..10, 5 neutral", {5, 0, 10}},
    {79, "reserved", {0, 0, 0}},
    {80, "reserved", {0, 0, 0}},
    {81, "reserved", {0, 0, 0}},
    {82, "reserved", {0, 0, 0}},
    {83, "reserved", {0, 0, 0}},
    {84, "reserved", {0, 0, 0}},
    {85, "focus point mode: 0 flexible focus point, 1 central area", {1, 0, 1}},
    {86, "manual flash power 0..4 (full to 1/16)", {0, 0, 4}},
    {87, "aperture preview: 1 lens stopped down", {0, 0, 1}},
    {88, "shutter sound: 0 none, 1, 2", {1, 0, 2}},
    {89, "in-focus sound: 0 none, 1, 2", {1, 0, 2}},
}};

constexpr bool indexesInOrder() {
    for (int i = 0; i < kParameters; ++i) {
        if (kDefaults[i].index != i)
            return false;
    }
    return true;
}
static_assert(indexesInOrder(), "one row per parameter index, in order");

const ParameterEntry kEmpty{};

}  // namespace

const std::array<ParameterDefault, kParameters>& parameterDefaults() {
    return kDefaults;
}

void ParameterTable::reset() {
    for (int i = 0; i < kParameters; ++i)
        entries_[i] = kDefaults[i].entry;
}

const ParameterEntry& ParameterTable::entry(int index) const {
    return valid(index) ? entries_[index] : kEmpty;
}

void ParameterTable::setValue(int index, int32_t value) {
    if (valid(index))
        entries_[index].value = value;
}

void ParameterTable::setAux1(int index, int32_t value) {
    if (valid(index))
        entries_[index].aux1 = value;
}

void ParameterTable::setAux2(int index, int32_t value) {
    if (valid(index))
        entries_[index].aux2 = value;
}

}  // namespace orkasim
