// The one routine behind every camera setting: SetCamStat of one parameter.
#pragma once

#include <cstdint>

namespace fotolien {

// Sends parameter `index` with the caller's `value` translated to the
// camera's code; on acceptance the code becomes the parameter's current
// value in the library's table. 0 or -1. Does not check control mode.
int setCameraParameter(int index, int32_t value);

}  // namespace fotolien
