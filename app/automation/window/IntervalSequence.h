// The intervalometer of the window: a fixed number of shots at a fixed
// interval after an optional delay, each fired through the shutter's full
// press. The schedule is absolute (Intervalometer.h); it is evaluated by the
// idle refresh, by every live-view frame and, so that it keeps its
// one-second resolution when nothing else happens, by a one-second timer.
// The live view stops for the run and comes back as it was once the run is
// over; the counter keeps showing what the run took until the next start.
// Writes orka::IntervalState.
#pragma once

#include <QObject>

#include <cstdint>
#include <functional>

#include "TBaseState.h"

class QTimer;
class TCameraLink;
class TEventPump;
class TLiveView;
class TShutter;

namespace orka {
class TickClock;
}

namespace Ui {
class TBase;
}

class TIntervalSequence : public QObject {
  public:
    TIntervalSequence(Ui::TBase& ui, const TCameraLink& link, TEventPump& pump,
                      const orka::TickClock& clock, TShutter& shutter, TLiveView& live,
                      orka::IntervalState& state);

    // Called with fromUser false (no sender) it always stops.
    void SeqInterVClick(bool fromUser = false);
    // The values eNbImgT, eDepImg and eInterImg accepted.
    void eNbImgTKeyUp(int shots);
    void eDepImgKeyUp(int minutes);
    void eInterImgKeyUp(int seconds);
    // The intervalometer mode chosen: no delay, the boxes read.
    void EnterMode();
    // Fires the shot that is due, if any.
    void IntervalTick();

    // Asked when a run of `shots` shots starts: false does not start it (the
    // hook said why). Empty: always.
    std::function<bool(int64_t shots)> BeforeRun;

  private:
    void StopIntervalSequence();

    Ui::TBase& ui_;
    const TCameraLink& link_;
    TEventPump& pump_;
    const orka::TickClock& clock_;
    TShutter& shutter_;
    TLiveView& live_;
    orka::IntervalState& state_;
    QTimer* timer_;                // evaluates IntervalTick once a second
    uint32_t run_ = 0;             // counts the starts of the intervalometer
    bool liveViewBefore_ = false;  // "Prévisualisation active" when the run started
};
