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
    if (LiveViewOn)
        ToggleLiveView();

    const orka::TemplateRead read = orka::ReadTemplate(fileName);
    if (read.error == orka::TemplateError::None) {
        uint8_t restore = 0;
        // A refusal is latched; the template is then not in force.
        if (ApplySettingsRecord(read.settings, restore) != 0) {
            ModDefautMouseUp(nullptr);
            ui_->ModCour->setText(QFileInfo(fileName).fileName());
        }
    } else {
        // A short file, or one that could not be read, is an error; a missing
        // or foreign one a warning.
        ShowMessage(
            read.error == orka::TemplateError::Io ? MessageKind::Error : MessageKind::Warning,
            read.message);
    }
    // The live view follows "Prévisualisation active" again, whatever the
    // file held.
    FollowPreviewBox();
}

void TBase::ModDefautMouseUp(QObject* sender) {
    if (sender == nullptr) {
        ui_->ModDefaut->setChecked(false);
        return;
    }
    ui_->ModDefaut->setChecked(true);
    if (!orka::SameTemplateFields(Status, StatusAtConnect)) {
        uint8_t restore = 0;
        // The live view keeps following "Prévisualisation active": the
        // restore byte is not a reliable sign of it.
        ApplySettingsRecord(StatusAtConnect, restore);
    }
    ui_->ModCour->setText(kDefaultTemplateText);
}
