// The " Image ", " Exposition " and " Flash " boxes: each handler sends the
// value its list shows to the camera.
#include <QComboBox>

#include <algorithm>

#include "OrkaCapture.h"
#include "TempValueTables.h"
#include "ui_OrkaCapture.h"

namespace {

// The selected entry, 0 when none is selected.
int EntryOrZero(const QComboBox* box) {
    return std::max(0, box->currentIndex());
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
    CheckResult(SetImageQuality(tmpvt::kQuality.value(ui_->QualImg->currentIndex())));
}

void TBase::DefImgChange() {
    CheckResult(SetImageSize(tmpvt::kSize.value(ui_->DefImg->currentIndex())));
}

void TBase::ISOImgChange() {
    CheckResult(SetCameraSensitivity(tmpvt::kIso.value(ui_->ISOImg->currentIndex())));
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
    CheckResult(SetMeteringMode(EntryOrZero(ui_->MesAPN)));
}

void TBase::VitAPNChange() {
    const int entry = ui_->VitAPN->currentIndex();
    CheckResult(SetShutterSpeedValue(entry < 0 ? 0 : entry + 1));
}

void TBase::OuvAPNChange() {
    CheckResult(SetApertureValue(EntryOrZero(ui_->OuvAPN)));
}
void TBase::CompExpChange() {
    CheckResult(SetExposureCompensation(EntryOrZero(ui_->CompExp)));
}
void TBase::CompFlashChange() {
    CheckResult(SetFlashCompensation(EntryOrZero(ui_->CompFlash)));
}
void TBase::MFlashAPNChange() {
    CheckResult(SetFlashMode(EntryOrZero(ui_->MFlashAPN)));
}

void TBase::CFlashAPNChange() {
    CheckResult(SetFlashCompensationType(EntryOrZero(ui_->CFlashAPN)));
}
