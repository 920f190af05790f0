// The "Compensations" tab: colour mode and sharpness, the colour or
// monochrome filter, saturation and contrast, and the white balance with its
// custom temperature and CC index and the measurement of a grey point.
#include <QComboBox>
#include <QSlider>

#include <algorithm>

#include "FormControls.h"
#include "InterfaceOrka.h"
#include "OrkaCapture.h"
#include "ui_OrkaCapture.h"

namespace {

namespace vt = orka::InterfaceOrka;

// Height of BoxBalCoul with the custom controls, and with the preset list only.
constexpr int kWBBoxTall = 151;
constexpr int kWBBoxShort = 51;
// Entries of the lists with a behaviour of their own.
constexpr int kWBCustomEntry = 5;  // "Personnalisé"
constexpr int kColorModeSolarise = 3;

}  // namespace

void TBase::SetUpColour() {
    connect(ui_->RCouleur, &QComboBox::activated, this, &TBase::RCouleurChange);
    connect(ui_->RNettete, &QComboBox::activated, this, &TBase::RNetteteChange);
    connect(ui_->BalBlanc, &QComboBox::activated, this, &TBase::BalBlancChange);
    connect(ui_->FCoul, &QSlider::valueChanged, this, &TBase::FCoulChange);
    connect(ui_->Sat, &QSlider::valueChanged, this, &TBase::SatChange);
    connect(ui_->Contr, &QSlider::valueChanged, this, &TBase::ContrChange);
    connect(ui_->TCoul, &QSlider::valueChanged, this, &TBase::TCoulChange);
    connect(ui_->ICC, &QSlider::valueChanged, this, &TBase::ICCChange);
    connect(ui_->DefWB, &QPushButton::clicked, this, &TBase::DefWBClick);
    connect(ui_->Appliquer, &QPushButton::clicked, this, &TBase::AppliquerClick);

    // The read-outs show the design positions, and CustomWB mirrors them.
    FCoulChange();
    SatChange();
    ContrChange();
    TCoulChange();
    ICCChange();
    // Without a camera those sends fail; there is nothing to report yet.
    ErrorLatch = 0;
    LastResult = 0;
}

void TBase::RCouleurChange() {
    const int value = Selected(this, orka::Control::RCouleur);
    CheckResult(SetColorMode(value));
    const bool filter = value != kColorModeSolarise;
    ui_->lbFCoul->setEnabled(filter);
    ui_->FCoul->setEnabled(filter);
    ui_->eFCoul->setEnabled(filter);
    if (filter)
        ui_->lbFCoul->setText(value == vt::ColorModeBlackWhite
                                  ? QStringLiteral("Filtre monochrome")
                                  : QStringLiteral("Filtre de couleur"));
}

void TBase::RNetteteChange() {
    CheckResult(SetImageSharpness(Selected(this, orka::Control::RNettete)));
}

void TBase::FCoulChange() {
    SendColourFilter(Status.colorMode);
}

void TBase::SendColourFilter(int32_t colourMode) {
    const int position = ui_->FCoul->value();
    ui_->eFCoul->setText(QString::number(position));
    const int value = vt::FCoul.value(position);
    CheckResult(colourMode == vt::ColorModeBlackWhite ? SetBWFilter(value) : SetColorFilter(value));
}

void TBase::SatChange() {
    const int position = ui_->Sat->value();
    ui_->eSat->setText(QString::number(position));
    CheckResult(SetImageSaturation(vt::Sat.value(position)));
}

void TBase::ContrChange() {
    const int position = ui_->Contr->value();
    ui_->eContr->setText(QString::number(position));
    CheckResult(SetImageContrast(vt::Contr.value(position)));
}

void TBase::BalBlancChange() {
    const int entry = std::max(0, ui_->BalBlanc->currentIndex());
    if (entry == kWBCustomEntry) {
        ClearGreySample();
        ui_->Appliquer->setEnabled(false);
        ui_->BoxBalCoul->resize(ui_->BoxBalCoul->width(), kWBBoxTall);
        SendCustomWB();  // the gains first, then the preset that uses them
    } else {
        ui_->BoxBalCoul->resize(ui_->BoxBalCoul->width(), kWBBoxShort);
    }
    CheckResult(SetWhiteBalanceMode(Selected(this, orka::Control::BalBlanc)));
}

void TBase::SendCustomWB() {
    CheckResult(SetCustomWBParameter(CustomWB.Word()));
}

void TBase::TCoulChange() {
    const int kelvin = ui_->TCoul->value();
    ui_->eTCoul->setText(QString::number(kelvin) + QStringLiteral(" °K"));
    CustomWB.kelvin = static_cast<uint16_t>(kelvin);
    SendCustomWB();
}

void TBase::ICCChange() {
    const int cc = ui_->ICC->value();
    ui_->eICC->setText(QString::number(cc));
    CustomWB.ccIndex = static_cast<int16_t>(cc);
    SendCustomWB();
}

void TBase::DefWBClick() {
    if (!ui_->DefWB->isChecked()) {
        ui_->LiveView->unsetCursor();
        return;
    }
    ui_->LiveView->setCursor(Qt::PointingHandCursor);
    ui_->Appliquer->setEnabled(false);
    // Each track bar that moves sends the custom balance through its handler.
    ui_->TCoul->setValue(vt::TCoul.start);
    ui_->ICC->setValue(vt::ICC.start);
}

// Measures the point picked with "Prélever".
void TBase::AppliquerClick() {
    uint16_t measured[2] = {CustomWB.kelvin, static_cast<uint16_t>(CustomWB.ccIndex)};
    CheckResult(SetCustomWBGrayPoint(GreyPoint[0], GreyPoint[1], measured));
    if (LastResult == 0) {
        CustomWB = orka::CustomWB::FromWord(measured[0] | uint32_t{measured[1]} << 16);
        // The track bars follow; each that moves sends the gains it stands for.
        ui_->TCoul->setValue(CustomWB.kelvin);
        ui_->ICC->setValue(CustomWB.ccIndex);
    }
    ClearGreySample();
}

void TBase::ClearGreySample() {
    ui_->BalPersRVB->clear();
    QPixmap face(ui_->BalPersImg->size());
    face.fill(palette().color(QPalette::Button));
    ui_->BalPersImg->setPixmap(face);
}
