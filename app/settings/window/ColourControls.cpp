#include "ColourControls.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QSlider>

#include <algorithm>

#include "CameraLink.h"
#include "FormControls.h"
#include "InterfaceOrka.h"
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

TColourControls::TColourControls(QWidget* form, Ui::TBase& ui, TCameraLink& link,
                                 orka::ColourState& state, const orka::LiveViewState& live)
    : form_(form), ui_(ui), link_(link), state_(state), live_(live) {
    using T = TColourControls;
    connect(ui_.RCouleur, &QComboBox::activated, this, &T::RCouleurChange);
    connect(ui_.RNettete, &QComboBox::activated, this, &T::RNetteteChange);
    connect(ui_.BalBlanc, &QComboBox::activated, this, &T::BalBlancChange);
    connect(ui_.FCoul, &QSlider::valueChanged, this, &T::FCoulChange);
    connect(ui_.Sat, &QSlider::valueChanged, this, &T::SatChange);
    connect(ui_.Contr, &QSlider::valueChanged, this, &T::ContrChange);
    connect(ui_.TCoul, &QSlider::valueChanged, this, &T::TCoulChange);
    connect(ui_.ICC, &QSlider::valueChanged, this, &T::ICCChange);
    connect(ui_.DefWB, &QPushButton::clicked, this, &T::DefWBClick);
    connect(ui_.Appliquer, &QPushButton::clicked, this, &T::AppliquerClick);

    // The read-outs show the design positions, and CustomWB mirrors them.
    FCoulChange();
    SatChange();
    ContrChange();
    TCoulChange();
    ICCChange();
    // Without a camera those sends fail; there is nothing to report yet.
    link_.ForgetErrors();
}

void TColourControls::RCouleurChange() {
    const int value = Selected(form_, orka::Control::RCouleur);
    link_.CheckResult(SetColorMode(value));
    const bool filter = value != kColorModeSolarise;
    ui_.lbFCoul->setEnabled(filter);
    ui_.FCoul->setEnabled(filter);
    ui_.eFCoul->setEnabled(filter);
    if (filter)
        ui_.lbFCoul->setText(
            value == vt::ColorModeBlackWhite
                ? QCoreApplication::translate("ColourControls", "Filtre monochrome")
                : QCoreApplication::translate("ColourControls", "Filtre de couleur"));
}

void TColourControls::RNetteteChange() {
    link_.CheckResult(SetImageSharpness(Selected(form_, orka::Control::RNettete)));
}

void TColourControls::FCoulChange() {
    SendColourFilter(link_.Status().colorMode);
}

void TColourControls::SendColourFilter(int32_t colourMode) {
    const int position = ui_.FCoul->value();
    ui_.eFCoul->setText(QString::number(position));
    const int value = vt::FCoul.value(position);
    link_.CheckResult(colourMode == vt::ColorModeBlackWhite ? SetBWFilter(value)
                                                            : SetColorFilter(value));
}

void TColourControls::SatChange() {
    const int position = ui_.Sat->value();
    ui_.eSat->setText(QString::number(position));
    link_.CheckResult(SetImageSaturation(vt::Sat.value(position)));
}

void TColourControls::ContrChange() {
    const int position = ui_.Contr->value();
    ui_.eContr->setText(QString::number(position));
    link_.CheckResult(SetImageContrast(vt::Contr.value(position)));
}

void TColourControls::BalBlancChange() {
    const int entry = std::max(0, ui_.BalBlanc->currentIndex());
    if (entry == kWBCustomEntry) {
        ClearGreySample();
        ui_.Appliquer->setEnabled(false);
        ui_.BoxBalCoul->resize(ui_.BoxBalCoul->width(), kWBBoxTall);
        SendCustomWB();  // the gains first, then the preset that uses them
    } else {
        ui_.BoxBalCoul->resize(ui_.BoxBalCoul->width(), kWBBoxShort);
    }
    link_.CheckResult(SetWhiteBalanceMode(Selected(form_, orka::Control::BalBlanc)));
}

void TColourControls::SendCustomWB() {
    link_.CheckResult(SetCustomWBParameter(state_.CustomWB.Word()));
}

void TColourControls::TCoulChange() {
    const int kelvin = ui_.TCoul->value();
    ui_.eTCoul->setText(QString::number(kelvin) + QStringLiteral(" °K"));
    state_.CustomWB.kelvin = static_cast<uint16_t>(kelvin);
    SendCustomWB();
}

void TColourControls::ICCChange() {
    const int cc = ui_.ICC->value();
    ui_.eICC->setText(QString::number(cc));
    state_.CustomWB.ccIndex = static_cast<int16_t>(cc);
    SendCustomWB();
}

void TColourControls::DefWBClick() {
    if (!ui_.DefWB->isChecked()) {
        ui_.LiveView->unsetCursor();
        return;
    }
    ui_.LiveView->setCursor(Qt::PointingHandCursor);
    ui_.Appliquer->setEnabled(false);
    // Each track bar that moves sends the custom balance through its handler.
    ui_.TCoul->setValue(vt::TCoul.start);
    ui_.ICC->setValue(vt::ICC.start);
}

// Measures the point picked with "Prélever".
void TColourControls::AppliquerClick() {
    uint16_t measured[2] = {state_.CustomWB.kelvin, static_cast<uint16_t>(state_.CustomWB.ccIndex)};
    const int32_t result =
        link_.CheckResult(SetCustomWBGrayPoint(live_.GreyPoint[0], live_.GreyPoint[1], measured));
    if (result == 0) {
        state_.CustomWB = orka::CustomWB::FromWord(measured[0] | uint32_t{measured[1]} << 16);
        // The track bars follow; each that moves sends the gains it stands for.
        ui_.TCoul->setValue(state_.CustomWB.kelvin);
        ui_.ICC->setValue(state_.CustomWB.ccIndex);
    }
    ClearGreySample();
}

void TColourControls::ClearGreySample() {
    ui_.BalPersRVB->clear();
    QPixmap face(ui_.BalPersImg->size());
    face.fill(form_->palette().color(QPalette::Button));
    ui_.BalPersImg->setPixmap(face);
}

void TColourControls::ShowGreySample() {
    if (!ui_.DefWB->isChecked())
        return;
    const QPoint at = ui_.LiveView->mapFromGlobal(QCursor::pos());
    const int w = ui_.LiveView->width();
    const int h = ui_.LiveView->height();
    if (at.x() <= 0 || at.x() >= w || at.y() <= 0 || at.y() >= h)
        return;
    // The live picture as shown; with live view off, the blank preview.
    const QImage shown = live_.LiveViewOn && live_.LiveImage.size() == ui_.LiveView->size()
                             ? live_.LiveImage
                             : ui_.LiveView->pixmap().toImage();
    if (!shown.valid(at))
        return;
    const QColor colour = shown.pixelColor(at);
    const QString text = QCoreApplication::translate("ColourControls", "RVB = %1 ,%2 ,%3")
                             .arg(colour.red())
                             .arg(colour.green())
                             .arg(colour.blue());
    if (ui_.BalPersRVB->text() != text) {
        ui_.BalPersRVB->setText(text);
        QPixmap swatch(ui_.BalPersImg->size());
        swatch.fill(colour);
        ui_.BalPersImg->setPixmap(swatch);
    }
}
