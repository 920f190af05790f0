#include "setting_table.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "fotolien.h"

namespace orkactl {

const std::vector<Setting>& settings() {
    static const std::vector<Setting> table = {
        {"exposure-program",
         SetExposureProgram,
         0,
         3,
         {{0, "program"}, {1, "aperture-priority"}, {2, "shutter-priority"}, {3, "manual"}},
         ""},
        {"flash-mode",
         SetFlashMode,
         0,
         3,
         {{0, "normal"}, {1, "red-eye"}, {2, "rear-curtain"}, {3, "remote"}},
         ""},
        {"white-balance",
         SetWhiteBalanceMode,
         0,
         13,
         {{0, "auto"},
          {1, "daylight"},
          {2, "cloudy"},
          {3, "tungsten"},
          {4, "flash"},
          {5, "custom"},
          {6, "shade"},
          {7, "fluo-white"},
          {8, "fluo-cool-white"},
          {9, "fluo-cool-white-3band"},
          {10, "fluo-daylight-3band"},
          {11, "fluo-daylight"},
          {12, "fluo-warm-white-3band"},
          {13, "fluo-cool-3band"}},
         ""},
        {"image-size",
         SetImageSize,
         0,
         8,
         {{0, "3264x2448"},
          {8, "3264x2176"},
          {7, "2560x1920"},
          {6, "2080x1560"},
          {1, "1600x1200"},
          {3, "640x480"}},
         ""},
        {"image-quality",
         SetImageQuality,
         0,
         6,
         {{0, "raw"},
          {6, "raw+jpeg"},
          {1, "tiff"},
          {5, "extra-fine"},
          {2, "fine"},
          {3, "standard"}},
         ""},
        {"drive-mode", SetDriveMode, 0, 3, {{0, "single"}, {3, "bracketing"}}, ""},
        {"metering",
         SetMeteringMode,
         0,
         2,
         {{0, "multi-segment"}, {1, "center-weighted"}, {2, "spot"}},
         ""},
        {"sensitivity",
         SetCameraSensitivity,
         0,
         5,
         {{5, "iso64"}, {0, "iso100"}, {1, "iso200"}, {2, "iso400"}, {3, "iso800"}, {4, "auto"}},
         ""},
        {"shutter-speed",
         SetShutterSpeedValue,
         0,
         49,
         {},
         "index: 1 = 30 s ... 19 = 0.4 s, 20 = 1/3 ... 48 = 1/2000"},
        {"aperture",
         SetApertureValue,
         0,
         12,
         {},
         "index: 0 = F/2.8, 3 = F/4, 6 = F/5.6, 9 = F/8, 12 = F/11"},
        {"focus-mode", SetFocusMode, 0, 1, {{0, "af"}, {1, "mf"}}, ""},
        {"exposure-compensation",
         SetExposureCompensation,
         0,
         12,
         {},
         "thirds of a stop: 0 = -2 EV, 6 = 0 EV, 12 = +2 EV"},
        {"flash-compensation",
         SetFlashCompensation,
         0,
         12,
         {},
         "thirds of a stop: 0 = -2 EV, 6 = 0 EV, 12 = +2 EV"},
        {"bracket-step", SetExposureBracketStep, 0, 1, {{0, "0.3ev"}, {1, "0.5ev"}}, ""},
        {"after-view", SetDisplayAfterView, 0, 1, {{0, "off"}, {1, "on"}}, ""},
        {"scene", SetSceneSelectMode, INT32_MIN, INT32_MAX, {}, "the camera's scene code"},
        {"color-mode",
         SetColorMode,
         0,
         5,
         {{0, "natural-srgb"},
          {1, "black-and-white"},
          {2, "vivid-srgb"},
          {3, "solarization"},
          {4, "adobe-rgb"},
          {5, "adobe-rgb-profile"}},
         ""},
        {"saturation", SetImageSaturation, 0, 10, {}, "0 to 10, 5 = neutral"},
        {"contrast", SetImageContrast, 0, 10, {}, "0 to 10, 5 = neutral"},
        {"sharpness", SetImageSharpness, 0, 2, {{0, "hard"}, {1, "normal"}, {2, "soft"}}, ""},
        {"color-filter", SetColorFilter, 0, 10, {}, "0 to 10, 5 = neutral"},
        {"bw-filter", SetBWFilter, 0, 10, {}, "0 to 10, 5 = neutral"},
        {"flash-control",
         SetFlashCompensationType,
         0,
         6,
         {{0, "distance"},
          {1, "ttl"},
          {2, "manual-full"},
          {3, "manual-1/2"},
          {4, "manual-1/4"},
          {5, "manual-1/8"},
          {6, "manual-1/16"}},
         ""},
        {"shutter-sound", SetShutterSound, 0, 2, {{0, "none"}, {1, "sound1"}, {2, "sound2"}}, ""},
        {"infocus-sound", SetInfocusSound, 0, 2, {{0, "none"}, {1, "sound1"}, {2, "sound2"}}, ""},
    };
    return table;
}

const Setting* findSetting(const std::string& name) {
    for (const Setting& s : settings()) {
        if (name == s.name) {
            return &s;
        }
    }
    return nullptr;
}

std::optional<int32_t> parseSettingValue(const Setting& setting, const std::string& text) {
    for (const SettingValue& v : setting.values) {
        if (text == v.word) {
            return v.value;
        }
    }
    if (text.empty()) {
        return std::nullopt;
    }
    errno = 0;
    char* end = nullptr;
    const long long number = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || number < setting.low || number > setting.high) {
        return std::nullopt;
    }
    return static_cast<int32_t>(number);
}

void printSettingList() {
    for (const Setting& s : settings()) {
        std::printf("%-22s", s.name);
        if (s.values.empty()) {
            if (s.low == INT32_MIN) {
                std::printf(" number");
            } else {
                std::printf(" %d..%d", s.low, s.high);
            }
        }
        for (const SettingValue& v : s.values) {
            std::printf(" %d=%s", v.value, v.word);
        }
        if (s.note[0] != '\0') {
            std::printf(" (%s)", s.note);
        }
        std::printf("\n");
    }
}

}  // namespace orkactl
