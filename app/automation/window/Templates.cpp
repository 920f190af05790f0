#include "Templates.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLineEdit>

#include "CameraLink.h"
#include "EventPump.h"
#include "FchConf.h"
#include "LiveView.h"
#include "SettingsControls.h"
#include "ui_OrkaCapture.h"

namespace {

QString DefaultTemplateText() {
    return QCoreApplication::translate("Templates", "Configuration par défaut");
}

}  // namespace

TTemplates::TTemplates(Ui::TBase& ui, TCameraLink& link, TEventPump& pump,
                       TSettingsControls& settings, TLiveView& live)
    : ui_(ui), link_(link), pump_(pump), settings_(settings), live_(live) {
    connect(ui_.ModDefaut, &QCheckBox::clicked, this, [this] { ModDefautMouseUp(ui_.ModDefaut); });
    connect(ui_.EnrgModele, &QPushButton::clicked, this, &TTemplates::EnrgModeleClick);
    connect(ui_.OuvrModele, &QPushButton::clicked, this, &TTemplates::OuvrModeleClick);
}

void TTemplates::EnrgModeleClick() {
    const QString fileName = pump_.ChooseTemplate(true);
    if (fileName.isEmpty())
        return;
    QString error;
    if (!orka::WriteTemplate(fileName, link_.Status(), &error))
        pump_.ShowMessage(TEventPump::MessageKind::Error, error);
}

void TTemplates::OuvrModeleClick() {
    const QString fileName = pump_.ChooseTemplate(false);
    if (fileName.isEmpty())
        return;

    // No frame is fetched while the settings are sent.
    if (live_.Running())
        live_.ToggleLiveView();

    const orka::TemplateRead read = orka::ReadTemplate(fileName);
    if (read.error == orka::TemplateError::None) {
        uint8_t restore = 0;
        // A refusal is latched; the template is then not in force.
        if (settings_.ApplySettingsRecord(read.settings, restore) != 0) {
            ModDefautMouseUp(nullptr);
            ui_.ModCour->setText(QFileInfo(fileName).fileName());
        }
    } else {
        // A short file, or one that could not be read, is an error; a missing
        // or foreign one a warning.
        pump_.ShowMessage(read.error == orka::TemplateError::Io ? TEventPump::MessageKind::Error
                                                                : TEventPump::MessageKind::Warning,
                          read.message);
    }
    // The live view follows "Prévisualisation active" again, whatever the
    // file held.
    live_.FollowPreviewBox();
}

void TTemplates::ModDefautMouseUp(QObject* sender) {
    if (sender == nullptr) {
        ui_.ModDefaut->setChecked(false);
        return;
    }
    ui_.ModDefaut->setChecked(true);
    if (!orka::SameTemplateFields(link_.Status(), link_.State().StatusAtConnect)) {
        uint8_t restore = 0;
        // The live view keeps following "Prévisualisation active": the
        // restore byte is not a reliable sign of it.
        settings_.ApplySettingsRecord(link_.State().StatusAtConnect, restore);
    }
    ui_.ModCour->setText(DefaultTemplateText());
}
