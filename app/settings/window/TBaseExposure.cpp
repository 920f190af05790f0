// The " Image ", " Exposition " and " Flash " boxes: each handler sends the
// value its list shows to the camera.
#include <QComboBox>

#include <algorithm>

#include "InterfaceOrka.h"
#include "OrkaCapture.h"
#include "ui_OrkaCapture.h"

namespace {

// The value of the selected entry, 0 when none is selected.
int32_t Selected(const QComboBox* box, const orka::ValueList& list) {
    return std::max(0, list.value(box->currentIndex()));
}

}  // namespace

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
    CheckResult(SetImageQuality(Selected(ui_->QualImg, orka::InterfaceOrka::QualImg)));
}

void TBase::DefImgChange() {
    CheckResult(SetImageSize(Selected(ui_->DefImg, orka::InterfaceOrka::DefImg)));
}

void TBase::ISOImgChange() {
    CheckResult(SetCameraSensitivity(Selected(ui_->ISOImg, orka::InterfaceOrka::ISOImg)));
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
    CheckResult(SetMeteringMode(Selected(ui_->MesAPN, orka::InterfaceOrka::MesAPN)));
}

void TBase::VitAPNChange() {
    CheckResult(SetShutterSpeedValue(Selected(ui_->VitAPN, orka::InterfaceOrka::VitAPN)));
}

void TBase::OuvAPNChange() {
    CheckResult(SetApertureValue(Selected(ui_->OuvAPN, orka::InterfaceOrka::OuvAPN)));
}
void TBase::CompExpChange() {
    CheckResult(SetExposureCompensation(Selected(ui_->CompExp, orka::InterfaceOrka::CompExp)));
}
void TBase::CompFlashChange() {
    CheckResult(SetFlashCompensation(Selected(ui_->CompFlash, orka::InterfaceOrka::CompFlash)));
}
void TBase::MFlashAPNChange() {
    CheckResult(SetFlashMode(Selected(ui_->MFlashAPN, orka::InterfaceOrka::MFlashAPN)));
}

void TBase::CFlashAPNChange() {
    CheckResult(SetFlashCompensationType(Selected(ui_->CFlashAPN, orka::InterfaceOrka::CFlashAPN)));
}
