// The idle refresh: what runs whenever the window has nothing else to do
// (a 50 ms timer) and once per live-view frame. It notices a camera that went
// away, half-presses while the mouse rests on the shutter, takes the files
// the library saved, fires the intervalometer's shot when due, and draws the
// read-outs of the camera status: widest aperture, flash, macro, battery,
// manual focus distance and depth of field, the lists that follow the
// camera (its sounds, the shutter speed and aperture the exposure program
// greys), the grey sample and the schedule lamp; each read-out that flickers
// or costs is redrawn only when its value changed. Writes
// orka::ReadoutState.
#pragma once

#include <QObject>

#include "Glyphs.h"
#include "TBaseState.h"

class TCameraLink;
class TColourControls;
class TConnection;
class TEventPump;
class TIntervalSequence;
class TSavedPictures;
class TShutter;
class TTriggerSchedule;

namespace Ui {
class TBase;
}

class TIdleRefresh : public QObject {
  public:
    // The parts the refresh runs, and the state it reads.
    struct Parts {
        TConnection& connection;
        TShutter& shutter;
        TSavedPictures& pictures;
        TIntervalSequence& interval;
        TColourControls& colour;
        TTriggerSchedule& schedule;
    };
    TIdleRefresh(Ui::TBase& ui, TCameraLink& link, TEventPump& pump, Parts parts,
                 const GlyphSet& glyphs, const orka::IntervalState& interval,
                 const orka::FocusState& focus, orka::ReadoutState& state);

    void IdleRefresh();
    // A new connection: every read-out is drawn at the next refresh.
    void ResetReadouts() { state_.ShownBattery = -1; }

    // The read-outs of a status record: those shown in any case, and those
    // shown while a camera is connected (with the grey sample and the
    // schedule lamp).
    void ShowStatusReadouts(const CameraStatusData& status);
    void ShowConnectedReadouts(const CameraStatusData& status);

  private:
    void ShowFollowedLists(const CameraStatusData& status);
    void ShowManualFocusDistance(const CameraStatusData& status);
    void ShowDepthOfField(uint32_t distanceMm, int apertureIndex);

    Ui::TBase& ui_;
    TCameraLink& link_;
    TEventPump& pump_;
    Parts parts_;
    const GlyphSet& glyphs_;
    const orka::IntervalState& interval_;
    const orka::FocusState& focus_;
    orka::ReadoutState& state_;
};
