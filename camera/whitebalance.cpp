// Custom white balance from a temperature and CC index, or from a grey point.
#include "fotolien.h"
#include "session.h"

using namespace fotolien;

int32_t SetCustomWBParameter(uint32_t) {
    return kFailed;
}

int32_t SetCustomWBGrayPoint(int32_t, int32_t, uint16_t*) {
    return kFailed;
}
