#include "ChoicesMemory.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QSettings>
#include <QSlider>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>

#include "FormControls.h"
#include "LiveView.h"
#include "RadioGroup.h"
#include "StatusPanel.h"
#include "ui_OrkaCapture.h"

namespace {

QSettings Store() {
    return QSettings(QStringLiteral("PCOrka"), QStringLiteral("PCOrka"));
}

}  // namespace

TChoicesMemory::TChoicesMemory(Ui::TBase& ui, TLiveView& live, TStatusPanel& status)
    : ui_(ui), live_(live), status_(status), saveSoon_(new QTimer(this)) {
    saveSoon_->setSingleShot(true);
    saveSoon_->setInterval(500);
    connect(saveSoon_, &QTimer::timeout, this, &TChoicesMemory::Save);
    const auto changed = [this] {
        if (!restoring_)
            saveSoon_->start();
    };
    for (QLineEdit* box :
         {ui_.NomRep, ui_.PrefixImg, ui_.PrefixVideo, ui_.DossierSauvegarde, ui_.CommandeImage})
        connect(box, &QLineEdit::textChanged, this, changed);
    connect(ui_.DimPreView, &TRadioGroup::clicked, this, changed);
    for (QToolButton* turn : {ui_.ImgHorz0, ui_.ImgVertG, ui_.ImgVertD, ui_.ImgHorz1})
        connect(turn, &QToolButton::clicked, this, changed);
    for (QCheckBox* box : {ui_.Reticule, ui_.Grille, ui_.VisuInfoBulle, ui_.FocusPeaking,
                           ui_.AlerteHL, ui_.AlerteOmbres, ui_.HistoRVB})
        connect(box, &QCheckBox::toggled, this, changed);
    connect(ui_.PeakSeuil, &QSlider::valueChanged, this, changed);
    for (QSpinBox* box : {ui_.NiveauHL, ui_.NiveauOmbres})
        connect(box, &QSpinBox::valueChanged, this, changed);
    for (QComboBox* list : {ui_.PeakCouleur, ui_.StyleAlerte})
        connect(list, &QComboBox::currentIndexChanged, this, changed);
}

orka::RememberedChoices TChoicesMemory::Shown() const {
    orka::RememberedChoices c;
    c.pictureFolder = ui_.NomRep->text();
    c.imagePrefix = ui_.PrefixImg->text();
    c.videoPrefix = ui_.PrefixVideo->text();
    c.backupFolder = ui_.DossierSauvegarde->text();
    c.pictureCommand = ui_.CommandeImage->text();
    c.previewSize = PreviewSizeItem(ui_);
    c.orientation = ui_.ImgVertG->isChecked()   ? 1
                    : ui_.ImgVertD->isChecked() ? 2
                    : ui_.ImgHorz1->isChecked() ? 3
                                                : 0;
    c.reticle = ui_.Reticule->isChecked();
    c.grid = ui_.Grille->isChecked();
    c.tooltips = ui_.VisuInfoBulle->isChecked();
    orka::AssistSettings& a = c.assist;
    a.peaking = ui_.FocusPeaking->isChecked();
    a.peakingSensitivity = ui_.PeakSeuil->value();
    a.peakingColour =
        static_cast<orka::PeakingColour>(std::max(0, ui_.PeakCouleur->currentIndex()));
    a.highlights = ui_.AlerteHL->isChecked();
    a.highlightLevel = ui_.NiveauHL->value();
    a.shadows = ui_.AlerteOmbres->isChecked();
    a.shadowLevel = ui_.NiveauOmbres->value();
    a.clipStyle =
        ui_.StyleAlerte->currentIndex() == 1 ? orka::ClipStyle::Solid : orka::ClipStyle::Zebra;
    a.rgbHistogram = ui_.HistoRVB->isChecked();
    return c;
}

void TChoicesMemory::Restore(const QString& defaultFolder) {
    restoring_ = true;
    orka::RememberedChoices defaults = Shown();
    defaults.pictureFolder = defaultFolder;
    QSettings store = Store();
    const orka::RememberedChoices c = orka::LoadChoices(store, defaults);

    const orka::StartFolder folder =
        orka::ChooseStartFolder(c.pictureFolder, QFileInfo(c.pictureFolder).isDir(), defaultFolder);
    ui_.NomRep->setText(folder.folder);
    if (!folder.note.isEmpty())
        status_.Say(orka::status::Notice, folder.note);
    ui_.PrefixImg->setText(c.imagePrefix);
    ui_.PrefixVideo->setText(c.videoPrefix);
    // A backup folder that went (a drive not plugged in) stays chosen: the
    // copies wait for it, and the status area says so.
    ui_.DossierSauvegarde->setText(c.backupFolder);
    ui_.CommandeImage->setText(c.pictureCommand);

    // Each as a click of the user would set it, its handler run.
    if (c.previewSize != PreviewSizeItem(ui_)) {
        ui_.DimPreView->setItemIndex(c.previewSize);
        live_.DimPreViewClick();
    }
    QToolButton* const turns[] = {ui_.ImgHorz0, ui_.ImgVertG, ui_.ImgVertD, ui_.ImgHorz1};
    if (!turns[c.orientation]->isChecked()) {
        turns[c.orientation]->setChecked(true);
        if (c.orientation == 1 || c.orientation == 2)
            live_.ImgVertGClick();
        else
            live_.ImgHorz0Click();
    }
    ui_.Reticule->setChecked(c.reticle);
    ui_.Grille->setChecked(c.grid);
    ui_.VisuInfoBulle->setChecked(c.tooltips);
    const orka::AssistSettings& a = c.assist;
    ui_.FocusPeaking->setChecked(a.peaking);
    ui_.PeakSeuil->setValue(a.peakingSensitivity);
    ui_.PeakCouleur->setCurrentIndex(int(a.peakingColour));
    ui_.AlerteHL->setChecked(a.highlights);
    ui_.NiveauHL->setValue(a.highlightLevel);
    ui_.AlerteOmbres->setChecked(a.shadows);
    ui_.NiveauOmbres->setValue(a.shadowLevel);
    ui_.StyleAlerte->setCurrentIndex(a.clipStyle == orka::ClipStyle::Solid ? 1 : 0);
    ui_.HistoRVB->setChecked(a.rgbHistogram);
    restoring_ = false;
}

void TChoicesMemory::Save() {
    saveSoon_->stop();
    QSettings store = Store();
    orka::SaveChoices(store, Shown());
}
