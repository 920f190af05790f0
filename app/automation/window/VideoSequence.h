// Video sequence of the window: every live-view frame shown during the
// recording, turned as displayed and before the overlays, goes into an AVI
// file (Motion-JPEG) named after the video prefix in the image directory.
// The recording continues in the next numbered file before a file reaches
// the size plain AVI readers handle, and each file's frame rate is rewritten
// at its close so that it plays for as long as it recorded; the files
// recorded are named in the status area and the strip. Writes
// orka::VideoState.
#pragma once

#include <QObject>

#include "TBaseState.h"

class QLineEdit;
class TSavedPictures;
class TStatusPanel;

namespace orka {
class TickClock;
}

namespace Ui {
class TBase;
}

class TVideoSequence : public QObject {
  public:
    TVideoSequence(Ui::TBase& ui, const orka::TickClock& clock, TSavedPictures& pictures,
                   TStatusPanel& status, orka::VideoState& state, const orka::LiveViewState& live);

    // Called with fromUser false (no sender) it always stops.
    void SeqVideoClick(bool fromUser = false);
    // The values eDureeVideo and eDepVideo accepted.
    void eDureeVideoKeyUp(int seconds);
    void eDepVideoKeyUp(int minutes);
    // The video mode chosen: no delay, no limit.
    void EnterMode();
    // A frame shown (live-view loop): recorded while the recording runs.
    void VideoTick();
    // A recording runs: the frames shown are recorded without the aids' marks.
    bool Recording() const { return state_.VideoStart != 0 && state_.VideoCompressor; }

  private:
    void StartVideo();
    void StopVideo();
    void ShowError(const QString& text);

    Ui::TBase& ui_;
    const orka::TickClock& clock_;
    TSavedPictures& pictures_;
    TStatusPanel& status_;
    orka::VideoState& state_;
    const orka::LiveViewState& live_;
};
