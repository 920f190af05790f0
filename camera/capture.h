// What a capture leads to: how many files the camera will send, and how long
// its after-view image may take. Pure functions.
#pragma once

#include <cstdint>

namespace fotolien {

// Files a capture produces: quality 0 (raw) and 1 (TIFF) give two; quality
// 6 (raw and JPEG) two, and any other quality one, plus one more in colour
// mode code 132.
int32_t filesPerCapture(int32_t quality, int32_t colorModeCode);

// Milliseconds the after-view image may take to come, from the shutter code
// in use at the capture and the capture's duration in seconds.
int64_t afterViewBudgetMs(int32_t shutterCode, int32_t seconds);

}  // namespace fotolien
