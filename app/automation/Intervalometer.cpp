#include "Intervalometer.h"

namespace orka {

int64_t IntervalShotDueAt(uint32_t startSeconds, int32_t delaySeconds, int32_t shotsTaken,
                          int32_t intervalSeconds) {
    return int64_t(startSeconds) + int64_t(delaySeconds) +
           int64_t(shotsTaken) * int64_t(intervalSeconds);
}

bool IntervalShotDue(uint32_t startSeconds, int32_t delaySeconds, int32_t shotsTaken,
                     int32_t intervalSeconds, uint32_t nowSeconds) {
    return IntervalShotDueAt(startSeconds, delaySeconds, shotsTaken, intervalSeconds) <=
           int64_t(nowSeconds);
}

}  // namespace orka
