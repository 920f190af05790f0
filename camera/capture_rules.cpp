#include "capture_rules.h"

#include <algorithm>
#include <array>
#include <utility>

#include "translations.h"

namespace fotolien {

namespace {

// After-view budget by shutter code: {lowest code of the band, milliseconds}.
constexpr std::array<std::pair<int32_t, int64_t>, 14> kAfterViewBudgets = {{
    {8, 65000},
    {10, 55000},
    {13, 45000},
    {15, 35000},
    {18, 31000},
    {20, 25000},
    {23, 21000},
    {26, 17000},
    {29, 15000},
    {31, 13000},
    {34, 11000},
    {39, 9000},
    {47, 7000},
    {50, 5000},
}};

// Quality codes with a file count of their own.
constexpr int32_t kQualityRaw = 0;
constexpr int32_t kQualityTiff = 1;
constexpr int32_t kQualityRawAndJpeg = 6;

}  // namespace

int32_t filesPerCapture(int32_t quality, int32_t colorModeCode) {
    if (quality == kQualityRaw || quality == kQualityTiff) {
        return 2;
    }
    const int32_t extra = colorModeCode == kColorModeProfileCode ? 1 : 0;
    return (quality == kQualityRawAndJpeg ? 2 : 1) + extra;
}

int64_t afterViewBudgetMs(int32_t shutterCode, int32_t seconds) {
    if (shutterCode < kAfterViewBudgets.front().first) {
        // Long exposures: the duration itself, twice, and five seconds.
        return std::max<int64_t>(0, int64_t{seconds} * 2000 + 5000);
    }
    int64_t budget = 0;
    for (const auto& [lowest, ms] : kAfterViewBudgets) {
        if (shutterCode >= lowest) {
            budget = ms;
        }
    }
    return budget;
}

}  // namespace fotolien
