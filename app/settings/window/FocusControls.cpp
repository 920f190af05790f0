#include "FocusControls.h"

#include <QSignalBlocker>

#include "CameraLink.h"
#include "InterfaceOrka.h"
#include "MouseFilter.h"
#include "ui_OrkaCapture.h"

namespace {

// FocusAdjust actions.
constexpr int32_t kFocusStop = 0;
constexpr int32_t kFocusFarther = 1;
constexpr int32_t kFocusNearer = 2;

}  // namespace

TFocusControls::TFocusControls(Ui::TBase& ui, TCameraLink& link, orka::FocusState& state)
    : ui_(ui), link_(link), state_(state) {
    // One handler run per switch: the radio button that becomes checked or
    // unchecked in each pair carries it.
    connect(ui_.ModeMF, &QRadioButton::toggled, this, &TFocusControls::ModeMFClick);
    connect(ui_.ModeFFP, &QRadioButton::toggled, this, &TFocusControls::ModeFFPClick);
    connect(ui_.FFPetSpotAE, &QCheckBox::toggled, this, &TFocusControls::SendSpotLink);
    // The motor runs while a button is held, whichever mouse button.
    auto* motor = new TMouseFilter(
        this, [this](QWidget* button, TMouseFilter::Kind kind, const QMouseEvent&) {
            if (!button->isEnabled())
                return false;
            if (kind == TMouseFilter::Kind::Press)
                button == ui_.FocM ? FocMMouseDown() : FocPMouseDown();
            else if (kind == TMouseFilter::Kind::Release)
                FocPMouseUp();
            return false;
        });
    motor->Watch(ui_.FocM);
    motor->Watch(ui_.FocP);
}

void TFocusControls::eDFocKeyUp(int millimetres) {
    state_.FocalLength = millimetres;
}

void TFocusControls::ForgetSpotLink() {
    state_.SavedSpotLink = false;
}

void TFocusControls::ResetFocalLength() {
    state_.FocalLength = 50;
    ui_.eDFoc->setText(QStringLiteral("50"));
}

void TFocusControls::ModeMFClick() {
    using orka::InterfaceOrka::FocusModeAF;
    using orka::InterfaceOrka::FocusModeMF;
    const bool manual = ui_.ModeMF->isChecked();
    if (!manual) {
        // Back to autofocus: the link comes back as it was (its handler
        // sends it when the box changes).
        ui_.FFPetSpotAE->setChecked(state_.SavedSpotLink);
        link_.CheckResult(SetFocusMode(FocusModeAF));
    } else {
        state_.SavedSpotLink = ui_.FFPetSpotAE->isChecked();
        if (state_.SavedSpotLink)
            ui_.FFPetSpotAE->setChecked(false);  // sends the link off
        link_.CheckResult(SetFocusMode(FocusModeMF));
    }
    ui_.ModeFocus->setVisible(!manual);
    ui_.MemoFocus->setVisible(!manual);
    ui_.FocM->setEnabled(manual);
    ui_.FocP->setEnabled(manual);
    ui_.DistFoc->setVisible(manual);
    ui_.UnitDistFoc->setVisible(manual);
    ModeFFPClick();
}

void TFocusControls::ModeFFPClick() {
    if (ui_.ModeFFP->isChecked()) {
        link_.CheckResult(SetFFPModeOn());
        ui_.FFPetSpotAE->setEnabled(true);
    } else {
        link_.CheckResult(SetFFPModeOff());
        ui_.FFPetSpotAE->setChecked(false);  // sends the link off when it was on
        ui_.FFPetSpotAE->setEnabled(false);
    }
}

// The box changed (the user, or code setting it): send its state.
void TFocusControls::SendSpotLink() {
    link_.CheckResult(SetSpotAEwithFFP(ui_.FFPetSpotAE->isChecked() ? 1 : 0));
}

void TFocusControls::FFPetSpotAEClick() {
    // A new connection always starts with the link off, sent once.
    {
        const QSignalBlocker quiet(ui_.FFPetSpotAE);
        ui_.FFPetSpotAE->setChecked(false);
    }
    SendSpotLink();
}

void TFocusControls::FocMMouseDown() {
    link_.CheckResult(FocusAdjust(kFocusNearer));
}

void TFocusControls::FocPMouseDown() {
    link_.CheckResult(FocusAdjust(kFocusFarther));
}

void TFocusControls::FocPMouseUp() {
    link_.CheckResult(FocusAdjust(kFocusStop));
}
