// What the window is doing, for the one rule of re-entrancy.
//
// The window runs on one thread, and some of its work pumps the event loop
// while it goes on: the live-view loop once per frame, the half press and
// the release between two camera calls, and every modal dialog (the
// after-view question, the pending-files question, the schedule dialog, the
// about box, the template file dialogs, the directory chooser, the message
// boxes), whose own event loop runs until it closes. Every handler and
// timer may therefore run nested inside one of these. The rule:
//
//  1. Work that pumps marks its activity for its whole duration with an
//     `ActivityScope` (activities nest: a picture taken from a handler
//     nested in the live view runs under both).
//  2. Code that must not run nested inside some activity checks
//     `Running()` first and returns; the table of who skips what is the
//     `Skips…` functions below, so that it is written once.
//  3. The window pumps only through TEventPump: PumpOnce, and Exec for a
//     modal dialog (which marks ModalDialog). Both tell whether the window
//     still exists afterwards; the caller returns at once when it does not,
//     and so do its callers (TakePictures, ShowAfterView). Waits that must
//     not let anything run in between (the after-view pause) go through
//     TEventPump::BlockUntil and do not pump. Waits the photographer may
//     cancel (the self-timer, the connection attempts, the pending files)
//     go through TEventPump::WaitCancellable: it handles the window's
//     messages but holds back the user's input except the cancel gestures,
//     so only timers run inside it, as inside a modal dialog.
//
// A modal dialog takes the input of the window's controls, so only timers
// (the idle refresh, the intervalometer's second) run inside it; what they
// start is checked as everywhere else.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <utility>

namespace orka {

enum class Activity : uint8_t {
    LiveView,       // the live-view loop (nests: one loop per start)
    HalfPress,      // S1On ... S1Off of the half press
    Release,        // the full press: one to three pictures
    IntervalShot,   // a shot of the intervalometer
    MotionCapture,  // a capture triggered by motion
    Connecting,     // the connection button connecting or disconnecting
    Closing,        // the window closing, for good
    ModalDialog,    // a modal dialog's own event loop (nests)
    Count
};

class Activities {
  public:
    bool Running(Activity a) const { return depth_[index(a)] > 0; }
    bool Idle() const {
        for (int d : depth_)
            if (d > 0)
                return false;
        return true;
    }
    // Returns the depth after entering: 1 for the outermost.
    int Enter(Activity a) { return ++depth_[index(a)]; }
    // Returns the depth after leaving: 0 once the outermost has left.
    int Leave(Activity a) { return depth_[index(a)] > 0 ? --depth_[index(a)] : 0; }

    // The table of rule 2.
    // The half press of the idle refresh: not while a press is under way,
    // nor while the window connects or disconnects.
    bool SkipsHalfPress() const {
        return Running(Activity::HalfPress) || Running(Activity::Release) ||
               Running(Activity::Connecting);
    }
    // A full press: not inside another one.
    bool SkipsRelease() const { return Running(Activity::Release); }
    // The intervalometer's tick: not while a shot (its own or the user's) is
    // under way, nor while the window connects or disconnects.
    bool SkipsIntervalTick() const {
        return Running(Activity::IntervalShot) || Running(Activity::Release) ||
               Running(Activity::Connecting);
    }
    // The motion measure of a frame: not while its capture is under way.
    bool SkipsMotionMeasure() const { return Running(Activity::MotionCapture); }
    // The connection button and closing the window wait for the connection
    // under way.
    bool SkipsConnectClick() const { return Running(Activity::Connecting); }
    // The quiet look for a camera while the window waits for one: only when
    // nothing else is under way.
    bool SkipsCameraSearch() const { return !Idle(); }

  private:
    static int index(Activity a) { return static_cast<int>(a); }
    std::array<int, static_cast<int>(Activity::Count)> depth_{};
};

// Marks an activity for the lifetime of the scope. It shares the
// activities with the window, so that a scope left after a nested handler
// destroyed the window still has them to leave.
class ActivityScope {
  public:
    ActivityScope(std::shared_ptr<Activities> activities, Activity a)
        : activities_(std::move(activities)), activity_(a), depth_(activities_->Enter(a)) {}
    ~ActivityScope() { activities_->Leave(activity_); }
    ActivityScope(const ActivityScope&) = delete;
    ActivityScope& operator=(const ActivityScope&) = delete;

    bool Outermost() const { return depth_ == 1; }

  private:
    std::shared_ptr<Activities> activities_;
    Activity activity_;
    int depth_;
};

}  // namespace orka
