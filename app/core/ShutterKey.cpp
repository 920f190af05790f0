#include "ShutterKey.h"

namespace orka {

ShutterKey::Step ShutterKey::Press(Clock::time_point now, bool autoRepeat) {
    (void)Tick(now);  // a half press whose hold ran out is over: this press starts anew
    if (autoRepeat)
        return Step::None;
    if (!halfPressed_) {
        halfPressed_ = true;
        deadline_ = now + hold_;
        return Step::HalfPress;
    }
    halfPressed_ = false;
    return Step::Shoot;
}

ShutterKey::Step ShutterKey::Cancel() {
    if (!halfPressed_)
        return Step::None;
    halfPressed_ = false;
    return Step::Release;
}

ShutterKey::Step ShutterKey::Tick(Clock::time_point now) {
    if (!halfPressed_ || now < deadline_)
        return Step::None;
    halfPressed_ = false;
    return Step::Release;
}

}  // namespace orka
