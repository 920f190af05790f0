// The " Image ", " Exposition " and " Flash " boxes: each handler sends the
// value its list shows to the camera.
#include <QComboBox>

#include "FormControls.h"
#include "OrkaCapture.h"
#include "ui_OrkaCapture.h"

void TBase::ConnectExposureHandlers() {
    const std::pair<QComboBox*, void (TBase::*)()> handlers[] = {
        {ui_->QualImg, &TBase::QualImgChange},     {ui_->DefImg, &TBase::DefImgChange},
        {ui_->ISOImg, &TBase::ISOImgChange},       {ui_->ModeAPN, &TBase::ModeAPNChange},
        {ui_->MesAPN, &TBase::MesAPNChange},       {ui_->VitAPN, &TBase::VitAPNChange},
        {ui_->OuvAPN, &TBase::OuvAPNChange},       {ui_->CompExp, &TBase::CompExpChange},
        {ui_->CompFlash, &TBase::CompFlashChange}, {ui_->MFlashAPN, &TBase::MFlashAPNChange},
        {ui_->CFlashAPN, &TBase::CFlashAPNChange},
    };
    for (const auto& [box, handler] : handlers)
        connect(box, &QComboBox::activated, this, handler);
}

void TBase::QualImgChange() {
    CheckResult(SetImageQuality(Selected(this, orka::Control::QualImg)));
}

void TBase::DefImgChange() {
    CheckResult(SetImageSize(Selected(this, orka::Control::DefImg)));
}

void TBase::ISOImgChange() {
    CheckResult(SetCameraSensitivity(Selected(this, orka::Control::ISOImg)));
}

void TBase::ModeAPNChange() {
    const int entry = ui_->ModeAPN->currentIndex();
    CheckResult(SetExposureProgram(entry >= 0 && entry <= 2 ? entry : 3));
    switch (ui_->ModeAPN->currentIndex()) {
        case 0:  // programme
            ui_->VitAPN->setEnabled(false);
            ui_->OuvAPN->setEnabled(false);
            break;
        case 1:  // aperture priority
            ui_->VitAPN->setEnabled(false);
            ui_->OuvAPN->setEnabled(true);
            OuvAPNChange();
            break;
        case 2:  // shutter priority
            ui_->VitAPN->setEnabled(true);
            VitAPNChange();
            ui_->OuvAPN->setEnabled(false);
            break;
        case 3:  // manual
            ui_->VitAPN->setEnabled(true);
            ui_->OuvAPN->setEnabled(true);
            VitAPNChange();
            OuvAPNChange();
            break;
        default:  // nothing selected
            break;
    }
}

void TBase::MesAPNChange() {
    CheckResult(SetMeteringMode(Selected(this, orka::Control::MesAPN)));
}

void TBase::VitAPNChange() {
    CheckResult(SetShutterSpeedValue(Selected(this, orka::Control::VitAPN)));
}

void TBase::OuvAPNChange() {
    CheckResult(SetApertureValue(Selected(this, orka::Control::OuvAPN)));
}
void TBase::CompExpChange() {
    CheckResult(SetExposureCompensation(Selected(this, orka::Control::CompExp)));
}
void TBase::CompFlashChange() {
    CheckResult(SetFlashCompensation(Selected(this, orka::Control::CompFlash)));
}
void TBase::MFlashAPNChange() {
    CheckResult(SetFlashMode(Selected(this, orka::Control::MFlashAPN)));
}

void TBase::CFlashAPNChange() {
    CheckResult(SetFlashCompensationType(Selected(this, orka::Control::CFlashAPN)));
}
