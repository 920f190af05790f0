// The " Modèles de configuration " group: saving the camera's settings to a
// ".cfg" template, applying a template, and going back to the settings the
// camera had right after connecting.
#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>

#include "FchConf.h"
#include "OrkaCapture.h"
#include "ui_OrkaCapture.h"

namespace {

const QString kTemplateFilter = QStringLiteral("Configuration Orka (*.cfg)");
const QString kDefaultTemplateText = QStringLiteral("Configuration par défaut");

// The file dialogs start in the process's current directory and add ".cfg"
// to a name typed without it; the save dialog asks before overwriting.
QString RunTemplateDialog(QWidget* parent, QFileDialog::AcceptMode mode) {
    QFileDialog dialog(parent, QString(), QDir::currentPath(), kTemplateFilter);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile
                                                       : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(QStringLiteral("cfg"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

}  // namespace

void TBase::EnrgModeleClick() {
    const QString fileName = ChooseTemplateToSaveHook
                                 ? ChooseTemplateToSaveHook()
                                 : RunTemplateDialog(this, QFileDialog::AcceptSave);
    if (fileName.isEmpty())
        return;
    QString error;
    if (!orka::WriteTemplate(fileName, Status, &error))
        ShowMessage(MessageKind::Error, error);
}

void TBase::OuvrModeleClick() {
    const QString fileName = ChooseTemplateToOpenHook
                                 ? ChooseTemplateToOpenHook()
                                 : RunTemplateDialog(this, QFileDialog::AcceptOpen);
    if (fileName.isEmpty())
        return;

    // No frame is fetched while the settings are sent.
    const bool wasRunning = LiveViewOn;
    if (wasRunning)
        ToggleLiveView();

    const orka::TemplateRead read = orka::ReadTemplate(fileName);
    switch (read.error) {
        case orka::TemplateError::None:
            break;
        case orka::TemplateError::Missing:
        case orka::TemplateError::Invalid:
            ShowMessage(MessageKind::Warning, read.message);
            if (wasRunning)
                ToggleLiveView();
            return;
        case orka::TemplateError::Io:  // a short file, or the file could not be read
            ShowMessage(MessageKind::Error, read.message);
            return;
    }

    uint8_t restore = 0;
    if (ApplySettingsRecord(read.settings, restore) == 0)
        return;  // a refusal is latched; the template is not in force
    ModDefautMouseUp(nullptr);
    ui_->ModCour->setText(QFileInfo(fileName).fileName());
    if (restore != 0 && !LiveViewOn)
        ToggleLiveView();
}

void TBase::ModDefautMouseUp(QObject* sender) {
    if (sender == nullptr) {
        ui_->ModDefaut->setChecked(false);
        return;
    }
    ui_->ModDefaut->setChecked(true);
    if (!orka::SameTemplateFields(Status, StatusAtConnect)) {
        uint8_t restore = 0;
        ApplySettingsRecord(StatusAtConnect, restore);
        // A zero byte ends a running live view at its next frame; a live view
        // that does not run is never marked as running.
        if (restore == 0)
            LiveViewOn = false;
    }
    ui_->ModCour->setText(kDefaultTemplateText);
}
