// The shutter on the keyboard: a two-stage release like the mouse's.
//
// A first press of the shutter key half-presses (the window shows it as it
// shows the mouse resting on the button: the camera focuses and meters, the
// warnings show); a second, separate press while the half press holds takes
// the picture. Échap, the camera going away or the hold running out
// releases the half press without a shot. A key held down repeats: those
// repeats never count as a second press, so no picture is taken by holding
// or bouncing on the key.
#pragma once

#include <chrono>

namespace orka {

class ShutterKey {
  public:
    using Clock = std::chrono::steady_clock;
    // How long a half press by key holds without a second press.
    static constexpr Clock::duration kHold = std::chrono::seconds(8);

    enum class Step {
        None,       // nothing to do
        HalfPress,  // show and hold the half press
        Shoot,      // take the picture(s); the half press ends with it
        Release,    // the half press ends without a picture
    };

    explicit ShutterKey(Clock::duration hold = kHold) : hold_(hold) {}

    // The shutter key went down; autoRepeat: the toolkit's repeat of a key
    // held down.
    Step Press(Clock::time_point now, bool autoRepeat);
    // Échap, the camera gone, the window busy elsewhere.
    Step Cancel();
    // The clock: the half press ends when its hold has run out.
    Step Tick(Clock::time_point now);

    bool HalfPressed() const { return halfPressed_; }
    // When the half press ends by itself (meaningful while HalfPressed()).
    Clock::time_point Deadline() const { return deadline_; }

  private:
    Clock::duration hold_;
    bool halfPressed_ = false;
    Clock::time_point deadline_{};
};

}  // namespace orka
