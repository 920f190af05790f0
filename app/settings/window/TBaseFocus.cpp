// The " Focalisation " box: autofocus or manual focus, central area or
// flexible focus point, the spot-metering link, the focus motor buttons and
// the depth-of-field read-out.
#include <QSignalBlocker>

#include "DepthOfField.h"
#include "InterfaceOrka.h"
#include "OrkaCapture.h"
#include "ui_OrkaCapture.h"

namespace {

// FocusAdjust actions.
constexpr int32_t kFocusStop = 0;
constexpr int32_t kFocusFarther = 1;
constexpr int32_t kFocusNearer = 2;

}  // namespace

void TBase::SetUpFocus() {
    // One handler run per switch: the radio button that becomes checked or
    // unchecked in each pair carries it.
    connect(ui_->ModeMF, &QRadioButton::toggled, this, &TBase::ModeMFClick);
    connect(ui_->ModeFFP, &QRadioButton::toggled, this, &TBase::ModeFFPClick);
    connect(ui_->FFPetSpotAE, &QCheckBox::toggled, this, &TBase::SendSpotLink);
}

void TBase::ModeMFClick() {
    using orka::InterfaceOrka::FocusModeAF;
    using orka::InterfaceOrka::FocusModeMF;
    const bool manual = ui_->ModeMF->isChecked();
    if (!manual) {
        // Back to autofocus: the link comes back as it was (its handler
        // sends it when the box changes).
        ui_->FFPetSpotAE->setChecked(SavedSpotLink);
        CheckResult(SetFocusMode(FocusModeAF));
    } else {
        SavedSpotLink = ui_->FFPetSpotAE->isChecked();
        if (SavedSpotLink)
            ui_->FFPetSpotAE->setChecked(false);  // sends the link off
        CheckResult(SetFocusMode(FocusModeMF));
    }
    ui_->ModeFocus->setVisible(!manual);
    ui_->MemoFocus->setVisible(!manual);
    ui_->FocM->setEnabled(manual);
    ui_->FocP->setEnabled(manual);
    ui_->DistFoc->setVisible(manual);
    ui_->UnitDistFoc->setVisible(manual);
    ModeFFPClick();
}

void TBase::ModeFFPClick() {
    if (ui_->ModeFFP->isChecked()) {
        CheckResult(SetFFPModeOn());
        ui_->FFPetSpotAE->setEnabled(true);
    } else {
        CheckResult(SetFFPModeOff());
        ui_->FFPetSpotAE->setChecked(false);  // sends the link off when it was on
        ui_->FFPetSpotAE->setEnabled(false);
    }
}

// The box changed (the user, or code setting it): send its state.
void TBase::SendSpotLink() {
    CheckResult(SetSpotAEwithFFP(ui_->FFPetSpotAE->isChecked() ? 1 : 0));
}

void TBase::FFPetSpotAEClick() {
    // A new connection always starts with the link off, sent once.
    {
        const QSignalBlocker quiet(ui_->FFPetSpotAE);
        ui_->FFPetSpotAE->setChecked(false);
    }
    SendSpotLink();
}

void TBase::FocMMouseDown() {
    CheckResult(FocusAdjust(kFocusNearer));
}

void TBase::FocPMouseDown() {
    CheckResult(FocusAdjust(kFocusFarther));
}

void TBase::FocPMouseUp() {
    CheckResult(FocusAdjust(kFocusStop));
}

void TBase::ShowDepthOfField(uint32_t distanceMm, int apertureIndex) {
    const auto dof = orka::ShowDepthOfField(distanceMm, apertureIndex, FocalLength);
    if (!dof)
        return;  // no F-number for this aperture index
    if (ui_->eDProc->text() != dof->nearText)
        ui_->eDProc->setText(dof->nearText);
    if (ui_->eDLoin->text() != dof->farText)
        ui_->eDLoin->setText(dof->farText);
}
