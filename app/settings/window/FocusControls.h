// The " Focalisation " box: autofocus or manual focus, central area or
// flexible focus point, the spot-metering link, the focus motor buttons and
// the focal length of the depth of field. Writes orka::FocusState.
#pragma once

#include <QObject>

#include "TBaseState.h"

class TCameraLink;

namespace Ui {
class TBase;
}

class TFocusControls : public QObject {
  public:
    TFocusControls(Ui::TBase& ui, TCameraLink& link, orka::FocusState& state);

    void ModeMFClick();
    void ModeFFPClick();
    // Without a sender (the settings push): the link starts off, sent once.
    void FFPetSpotAEClick();
    void FocMMouseDown();
    void FocPMouseDown();
    void FocPMouseUp();
    // The focal length eDFoc accepted.
    void eDFocKeyUp(int millimetres);

    // A new connection: no spot link saved for manual focus; the focal
    // length back to 50 mm once the settings are pushed.
    void ForgetSpotLink();
    void ResetFocalLength();

  private:
    // The box changed (the user, or code setting it): send its state.
    void SendSpotLink();

    Ui::TBase& ui_;
    TCameraLink& link_;
    orka::FocusState& state_;
};
