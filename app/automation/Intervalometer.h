// The intervalometer's timing rule. Times are whole seconds of the tick
// counter; the sum is taken in 64 bits so that a start near the counter's top
// does not wrap.
#ifndef PCORKA_INTERVALOMETER_H
#define PCORKA_INTERVALOMETER_H

#include <cstdint>

namespace orka {

// Instant at which shot number `shotsTaken` (counting from 0) is due:
// start + delay + shotsTaken x interval. The schedule is absolute: a late tick
// does not move later shots.
int64_t IntervalShotDueAt(uint32_t startSeconds, int32_t delaySeconds, int32_t shotsTaken,
                          int32_t intervalSeconds);

// True when the next shot is due at nowSeconds. Overdue shots stay due, so
// after a long busy spell they are taken one per tick until the sequence is on
// time again; none is skipped.
bool IntervalShotDue(uint32_t startSeconds, int32_t delaySeconds, int32_t shotsTaken,
                     int32_t intervalSeconds, uint32_t nowSeconds);

}  // namespace orka

#endif
