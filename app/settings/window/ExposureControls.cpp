#include "ExposureControls.h"

#include <QComboBox>

#include "CameraLink.h"
#include "FormControls.h"
#include "ui_OrkaCapture.h"

TExposureControls::TExposureControls(QWidget* form, Ui::TBase& ui, TCameraLink& link)
    : form_(form), ui_(ui), link_(link) {
    using T = TExposureControls;
    const std::pair<QComboBox*, void (T::*)()> handlers[] = {
        {ui_.QualImg, &T::QualImgChange},     {ui_.DefImg, &T::DefImgChange},
        {ui_.ISOImg, &T::ISOImgChange},       {ui_.ModeAPN, &T::ModeAPNChange},
        {ui_.MesAPN, &T::MesAPNChange},       {ui_.VitAPN, &T::VitAPNChange},
        {ui_.OuvAPN, &T::OuvAPNChange},       {ui_.CompExp, &T::CompExpChange},
        {ui_.CompFlash, &T::CompFlashChange}, {ui_.MFlashAPN, &T::MFlashAPNChange},
        {ui_.CFlashAPN, &T::CFlashAPNChange},
    };
    for (const auto& [box, handler] : handlers)
        connect(box, &QComboBox::activated, this, handler);
}

void TExposureControls::QualImgChange() {
    link_.CheckResult(SetImageQuality(Selected(form_, orka::Control::QualImg)));
}

void TExposureControls::DefImgChange() {
    link_.CheckResult(SetImageSize(Selected(form_, orka::Control::DefImg)));
}

void TExposureControls::ISOImgChange() {
    link_.CheckResult(SetCameraSensitivity(Selected(form_, orka::Control::ISOImg)));
}

void TExposureControls::ModeAPNChange() {
    const int entry = ui_.ModeAPN->currentIndex();
    link_.CheckResult(SetExposureProgram(entry >= 0 && entry <= 2 ? entry : 3));
    switch (ui_.ModeAPN->currentIndex()) {
        case 0:  // programme
            ui_.VitAPN->setEnabled(false);
            ui_.OuvAPN->setEnabled(false);
            break;
        case 1:  // aperture priority
            ui_.VitAPN->setEnabled(false);
            ui_.OuvAPN->setEnabled(true);
            OuvAPNChange();
            break;
        case 2:  // shutter priority
            ui_.VitAPN->setEnabled(true);
            VitAPNChange();
            ui_.OuvAPN->setEnabled(false);
            break;
        case 3:  // manual
            ui_.VitAPN->setEnabled(true);
            ui_.OuvAPN->setEnabled(true);
            VitAPNChange();
            OuvAPNChange();
            break;
        default:  // nothing selected
            break;
    }
}

void TExposureControls::MesAPNChange() {
    link_.CheckResult(SetMeteringMode(Selected(form_, orka::Control::MesAPN)));
}

void TExposureControls::VitAPNChange() {
    link_.CheckResult(SetShutterSpeedValue(Selected(form_, orka::Control::VitAPN)));
}

void TExposureControls::OuvAPNChange() {
    link_.CheckResult(SetApertureValue(Selected(form_, orka::Control::OuvAPN)));
}
void TExposureControls::CompExpChange() {
    link_.CheckResult(SetExposureCompensation(Selected(form_, orka::Control::CompExp)));
}
void TExposureControls::CompFlashChange() {
    link_.CheckResult(SetFlashCompensation(Selected(form_, orka::Control::CompFlash)));
}
void TExposureControls::MFlashAPNChange() {
    link_.CheckResult(SetFlashMode(Selected(form_, orka::Control::MFlashAPN)));
}

void TExposureControls::CFlashAPNChange() {
    link_.CheckResult(SetFlashCompensationType(Selected(form_, orka::Control::CFlashAPN)));
}
