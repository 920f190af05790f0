// The tick counter the automation times itself with (intervalometer, video,
// frame rate), in milliseconds. It never reads 0: 0 marks "no sequence" in
// the automation's start times. The source is replaceable so that tests can
// drive the clock.
#pragma once

#include <cstdint>
#include <functional>

namespace orka {

class TickClock {
  public:
    using TickSource = std::function<uint32_t()>;

    // Milliseconds since the program first asked, plus one second: never 0,
    // and the 32-bit counter wraps only after 49 days of running.
    static uint32_t SteadyTicks();

    TickClock() = default;
    // An empty source restores SteadyTicks.
    void SetSource(TickSource source) { source_ = source ? std::move(source) : SteadyTicks; }
    uint32_t TickCount() const { return source_(); }

  private:
    TickSource source_ = SteadyTicks;
};

}  // namespace orka
