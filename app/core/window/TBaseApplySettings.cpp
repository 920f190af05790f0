// Applying a stored status record (a template, or the settings at connection)
// to the window and, through the controls' own handlers, to the camera: the
// camera receives what a user would send by choosing the same entries by hand.
#include <QComboBox>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>

#include "FchConf.h"
#include "InterfaceOrka.h"
#include "OrkaCapture.h"
#include "RadioGroup.h"
#include "ui_OrkaCapture.h"

namespace {

namespace io = orka::InterfaceOrka;

// Shows the entry whose value is code; a code no entry sends leaves the list
// as it is.
void SelectValue(QComboBox* box, const orka::ValueList& list, int32_t code) {
    const int entry = list.entry(code);
    if (entry >= 0)
        box->setCurrentIndex(entry);
}

// Shows entry `entry` when the list has it. Entries are computed wide from
// the record's untrusted values, so that none wraps into range.
void SelectEntry(QComboBox* box, int64_t entry) {
    if (entry >= 0 && entry < box->count())
        box->setCurrentIndex(int(entry));
}

// Moves a track bar without running its handler: the caller runs it once.
void SetPosition(QSlider* slider, int64_t position) {
    if (position < slider->minimum() || position > slider->maximum())
        return;
    const QSignalBlocker blocker(slider);
    slider->setValue(int(position));
}

// Checks one button of a pair without running the handlers: the caller runs
// the handler once.
void CheckOneOf(QRadioButton* on, QRadioButton* off) {
    const QSignalBlocker blockOn(on);
    const QSignalBlocker blockOff(off);
    on->setChecked(true);
}

}  // namespace

uint8_t TBase::ApplySettingsRecord(const CameraStatusData& record, uint8_t& restore) {
    Status = record;
    Ui::TBase& ui = *ui_;

    SelectValue(ui.DefImg, io::DefImg, record.imageSize);
    DefImgChange();
    SelectValue(ui.QualImg, io::QualImg, record.imageQuality);
    QualImgChange();
    SelectEntry(ui.VitAPN, int64_t{record.shutterSpeed} - 1);
    VitAPNChange();
    SelectEntry(ui.OuvAPN, record.aperture);
    OuvAPNChange();
    SelectEntry(ui.ModeAPN, record.exposureProgram);
    ModeAPNChange();
    SelectEntry(ui.MFlashAPN, record.flashMode);
    MFlashAPNChange();
    SelectEntry(ui.BalBlanc, record.whiteBalance);
    BalBlancChange();

    // Single shot, or three shots bracketed by 0.3 or 0.5 EV.
    if (record.driveMode == 0)
        ui.MonoMultiVue->setItemIndex(0);
    else if (record.driveMode == 3 && record.bracketStep == 0)
        ui.MonoMultiVue->setItemIndex(1);
    else if (record.driveMode == 3 && record.bracketStep == 1)
        ui.MonoMultiVue->setItemIndex(4);
    MonoMultiVueClick();

    SelectEntry(ui.MesAPN, record.meteringMode);
    MesAPNChange();
    SelectValue(ui.ISOImg, io::ISOImg, record.sensitivity);
    ISOImgChange();
    if (record.focusMode != 0)
        CheckOneOf(ui.ModeMF, ui.ModeAF);
    else
        CheckOneOf(ui.ModeAF, ui.ModeMF);
    ModeMFClick();
    SelectEntry(ui.CompExp, record.exposureCompensation);
    CompExpChange();

    // The filter track bar sends to the colour filter or to the black and
    // white filter by a colour mode. The camera may still be in the other
    // mode, so each of the record's two filters is sent with the mode it
    // belongs to; the black and white one is shown last.
    const auto sendFilter = [&](int32_t colourMode, int32_t filter) {
        SetPosition(ui.FCoul, io::FCoul.position(filter));
        SendColourFilter(colourMode);
    };
    const bool blackAndWhite = record.colorMode == io::ColorModeBlackWhite;
    sendFilter(blackAndWhite ? 0 : record.colorMode, record.colorFilter);
    SelectValue(ui.RCouleur, io::RCouleur, record.colorMode);
    if (blackAndWhite)
        sendFilter(io::ColorModeBlackWhite, record.bwFilter);
    RCouleurChange();

    SelectEntry(ui.CompFlash, record.flashCompensation);
    CompFlashChange();
    SetPosition(ui.Sat, io::Sat.position(record.saturation));
    SatChange();
    SetPosition(ui.Contr, io::Contr.position(record.contrast));
    ContrChange();
    SelectEntry(ui.RNettete, record.sharpness);
    RNetteteChange();
    SelectEntry(ui.CFlashAPN, record.flashControl);
    CFlashAPNChange();
    if (record.focusPointMode == 0)
        CheckOneOf(ui.ModeFFP, ui.FocusCentr);
    else if (record.focusPointMode == 1)
        CheckOneOf(ui.FocusCentr, ui.ModeFFP);
    ModeFFPClick();
    SelectEntry(ui.SonMap, record.infocusSound);
    SonMapChange();
    SelectEntry(ui.SonDecl, record.shutterSound);
    SonDeclChange();

    restore = orka::TemplateRestoreByte(record);
    return ErrorLatch == 0 ? 1 : 0;
}
