#include "TickClock.h"

#include <chrono>

namespace orka {

uint32_t TickClock::SteadyTicks() {
    using namespace std::chrono;
    static const steady_clock::time_point origin = steady_clock::now();
    const auto elapsed = duration_cast<milliseconds>(steady_clock::now() - origin).count();
    return uint32_t(elapsed + 1000);
}

}  // namespace orka
