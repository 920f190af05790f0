// Connecting to the camera, pushing the window's settings into it,
// disconnecting, and the idle refresh of the read-outs.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>

#include <algorithm>
#include <cstring>

#include "DepthOfField.h"
#include "OrkaCapture.h"
#include "PendingFiles.h"
#include "PictureNotes.h"
#include "ProgDH.h"
#include "SessionStrip.h"
#include "ui_OrkaCapture.h"

namespace {

constexpr int kConnectAttempts = 4;
constexpr unsigned long kAttemptPauseMs = 1000;
constexpr unsigned long kPendingFilesPauseMs = 1000;

// The hourglass for as long as a connection or disconnection runs.
struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

}  // namespace

void TBase::ConnectAPNClick() {
    if (activities_->SkipsConnectClick()) {  // only code can click while it connects
        ui_->ConnectAPN->setChecked(Connected);
        return;
    }
    bool justConnected = false;
    {
        WaitCursor hourglass;
        {
            const orka::ActivityScope connecting(activities_, orka::Activity::Connecting);
            if (!Connected)
                Connected = justConnected = ConnectCamera() != 0;
            else if (DisconnectCamera())
                Connected = false;
        }
        ui_->ConnectAPN->setChecked(Connected);
        // The settings were pushed before the window counted itself as
        // connected: show now whether one of them was refused.
        if (Connected && ErrorLatch == 1)
            SetErrorIndicator(QStringLiteral("X"));
        if (!justConnected)
            return;
    }
    // The live view runs inside this handler until something stops it.
    PreVisuActifClick();
}

uint8_t TBase::ConnectCamera() {
    SetInfoConnect(QStringLiteral("Essai de connexion ..."), Qt::blue);
    // The attempts block the window (up to about 14 s without a camera):
    // the status area says which one runs.
    const auto sayAttempt = [this](int n) {
        SayNow(QStringLiteral("Essai de connexion … (%1/%2)").arg(n).arg(kConnectAttempts));
    };
    sayAttempt(1);
    CheckResult(OpenCamera(ORKA_PRODUCT_ID));
    const bool opened = LastResult == 0;
    CheckResult(StartPCControlMode());
    for (int retry = 1; LastResult != 0 && retry < kConnectAttempts; ++retry) {
        QThread::msleep(kAttemptPauseMs);
        sayAttempt(retry + 1);
        CheckResult(StartPCControlMode());
    }
    SayNow(QString());
    if (LastResult != 0) {
        // Close the session again: the camera is not left with a session the
        // window no longer uses, and the next attempt starts afresh.
        if (opened)
            CheckResult(CloseCamera());
        SetInfoConnect(QStringLiteral("Echec de la connexion"), Qt::red);
        return 0;
    }

    ui_->MemoFocus->setChecked(false);
    FocusMemorised = false;
    SavedSpotLink = false;
    LampState = 0;

    // A refused setting stays latched in ErrorLatch; the session is in
    // PC-control mode all the same, so the window counts itself connected.
    PushAllSettings();

    GetCameraStatusData(&Status);
    StatusAtConnect = Status;
    DimPreViewClick();                 // the camera's preview size, and the preview laid out for it
    ModDefautMouseUp(ui_->ModDefaut);  // the settings at connection are in force
    ShownBattery = -1;
    SetInfoConnect(QStringLiteral("APN connecté"), QColor(0, 140, 0));
    ui_->MonoMultiVue->setEnabled(true);
    ui_->ConnectAPN->setIcon(GlyphBtnOn);
    return 1;
}

uint8_t TBase::PushAllSettings() {
    ErrorLatch = 0;

    // Each handler sends what its control shows; the camera receives the
    // settings in this order.
    using Handler = void (TBase::*)();
    static constexpr Handler kSettingsOrder[] = {
        &TBase::QualImgChange,   &TBase::DefImgChange,    &TBase::ISOImgChange,
        &TBase::ModeAPNChange,   &TBase::VitAPNChange,    &TBase::OuvAPNChange,
        &TBase::MesAPNChange,    &TBase::CompExpChange,   &TBase::CompFlashChange,
        &TBase::MFlashAPNChange, &TBase::CFlashAPNChange, &TBase::BalBlancChange,
        &TBase::ContrChange,     &TBase::SatChange,       &TBase::RNetteteChange,
        &TBase::RCouleurChange,  &TBase::FCoulChange,     &TBase::FFPetSpotAEClick,
    };
    for (Handler handler : kSettingsOrder)
        (this->*handler)();

    // The camera shows the pictures taken exactly when the window asks to.
    CheckResult(SetDisplayAfterView(AfterViewOn ? 1 : 0));
    CheckResult(SetSceneSelectMode(0));
    ModeMFClick();
    MonoMultiVueClick();
    SendSaveTarget();
    CheckResult(LiveViewGetInfo(&LiveInfo));
    FocalLength = 50;
    ui_->eDFoc->setText(QStringLiteral("50"));
    return ErrorLatch == 0 ? 1 : 0;
}

bool TBase::DisconnectCamera() {
    if (!Connected)
        return false;
    WaitForPendingFiles();
    CheckResult(TerminatePCControlMode());
    CheckResult(CloseCamera());
    LeaveConnection();
    return true;
}

void TBase::LeaveConnection() {
    Connected = false;
    CameraLost = false;
    ResetDetection();
    ClearRoiThumbnail();
    if (LiveViewOn)
        ToggleLiveView();  // ends a live-view loop under way

    SetInfoConnect(QStringLiteral("APN non connecté"), Qt::black);
    ui_->MonoMultiVue->setItemIndex(0);
    MonoMultiVueClick();
    ui_->FFPetSpotAE->setEnabled(false);
    ui_->FFPetSpotAE->setChecked(false);
    ui_->MonoMultiVue->setEnabled(false);
    ui_->ImgBatt->clear();
    ui_->InfoStatut->clear();
    ui_->ConnectAPN->setIcon(GlyphBtnOff);
    ui_->ConnectAPN->setChecked(false);
}

void TBase::CameraGone() {
    // The library ends its side of the link; a file cut off is kept under
    // its ".partiel" name and is the last one it reports.
    CheckExistUSBCamera();
    NoteSavedPicture();
    LeaveConnection();
    const auto& files = sessionPictures_.Files();
    const QString text =
        orka::CameraGoneNote(files.empty() ? nullptr : &files.back(), ShownPartial);
    ui_->InfoStatut->setText(text);
    ui_->InfoStatut->setToolTip(text);
}

// Waits while the camera still has files to send. The pauses block the
// window; when the count has stopped falling for a while the user decides
// whether to wait on or to leave PC-control mode without those files.
void TBase::WaitForPendingFiles() {
    orka::PendingFilesWait wait;
    wait.count = [this] {
        int32_t count = 0;
        GetWaitingFileNumber(&count);
        if (count > 0)
            SayNow(count == 1 ? QStringLiteral("Réception du dernier fichier …")
                              : QStringLiteral("Réception de %1 fichiers …").arg(count));
        return count;
    };
    wait.pause = [] { QThread::msleep(kPendingFilesPauseMs); };
    wait.keepWaiting = [this](int32_t count) {
        const QString files =
            count == 1 ? QStringLiteral("1 fichier") : QStringLiteral("%1 fichiers").arg(count);
        QMessageBox box(QMessageBox::Warning, windowTitle(),
                        QStringLiteral("L'appareil doit encore transmettre %1, et aucun n'est "
                                       "arrivé depuis 30 secondes.")
                            .arg(files),
                        QMessageBox::NoButton, this);
        box.setInformativeText(
            QStringLiteral("Continuer d'attendre, ou déconnecter quand même ? Les fichiers "
                           "qui n'auront pas été transmis seront perdus."));
        QPushButton* keep =
            box.addButton(QStringLiteral("Continuer d'attendre"), QMessageBox::AcceptRole);
        box.addButton(QStringLiteral("Déconnecter quand même"), QMessageBox::DestructiveRole);
        box.setDefaultButton(keep);
        box.exec();
        return box.clickedButton() == keep;
    };
    wait.run();
    SayNow(QString());
}

void TBase::IdleRefresh() {
    // A camera that went away is noticed here, outside any press or
    // connection under way: the library's flag costs no transfer.
    if (Connected && !CameraLost && CheckExistUSBCamera() != 0)
        CameraLost = true;
    if (Connected && CameraLost && !activities_->Running(orka::Activity::Connecting) &&
        !activities_->Running(orka::Activity::Release) &&
        !activities_->Running(orka::Activity::HalfPress)) {
        CameraGone();
        return;
    }
    HalfPressRefresh();
    if (Connected)
        NoteSavedPicture();

    // Widest aperture the camera offers now.
    const QString widest = ui_->OuvAPN->itemText(Status.maxAperture);
    if (ui_->OuvMax->text() != widest)
        ui_->OuvMax->setText(widest);

    if (Status.flashActive != ShownFlash) {
        if (Status.flashActive == 0) {
            ui_->lbFLASH->setText(QStringLiteral("FLASH INACTIF"));
            ui_->lbFLASH->setStyleSheet(QStringLiteral("color: #c00000; font-weight: bold;"));
            ui_->lbCharge->hide();
            ui_->NivFlash->hide();
        } else if (Status.flashActive == 1) {
            ui_->lbFLASH->setText(QStringLiteral("FLASH ACTIF"));
            ui_->lbFLASH->setStyleSheet(QStringLiteral("color: #008c00; font-weight: bold;"));
            ui_->lbCharge->show();
            ui_->NivFlash->show();
        }
        ShownFlash = Status.flashActive;
    }
    if (ShownFlash == 1)
        ui_->NivFlash->setValue(std::clamp<int64_t>(int64_t{Status.flashCharge} * 50, 0, 100));

    if (Status.macro != ShownMacro) {
        if (Status.macro == 0)
            ui_->lbMACRO->clear();
        else if (Status.macro == 1)
            ui_->lbMACRO->setText(QStringLiteral("MODE MACRO"));
        ShownMacro = Status.macro;
    }

    if (IntervalStart != 0)
        IntervalTick();

    if (!Connected)
        return;

    if (ShownBattery < 0 || ShownBattery != Status.battery) {
        if (Status.battery >= 0 && Status.battery <= 2)
            ui_->ImgBatt->setPixmap(Glyphs[gBattPlein + Status.battery]);
        else if (!ui_->ImgBatt->pixmap().isNull())
            ui_->ImgBatt->clear();  // a level the camera should not report
        ShownBattery = Status.battery;
    }

    if (Status.focusMode == 1) {
        ShowManualFocusDistance();
        ShowDepthOfField(static_cast<uint32_t>(Status.focusDistance), Status.aperture);
    }
    ShowGreySample();
    ShowScheduleIndicator();
}

void TBase::ShowManualFocusDistance() {
    const auto millimetres = static_cast<uint32_t>(Status.focusDistance);
    const QString text =
        millimetres == 0 ? QStringLiteral("Infini") : orka::FormatGeneral(millimetres / 1000.0L, 2);
    if (ui_->DistFoc->text() != text)
        ui_->DistFoc->setText(text);
}

// Whether a trigger schedule is in force, and the lamp telling whether the
// present moment lies in one of its slots.
void TBase::ShowScheduleIndicator() {
    if (ParamPgm == nullptr)
        return;
    if (!ParamPgm->ScheduleInForce()) {
        ui_->InfoPgmEv->setText(QStringLiteral("sans"));
        ui_->LampProg->hide();
        return;
    }
    ui_->InfoPgmEv->setText(QStringLiteral("avec"));
    ui_->LampProg->show();
    const uint8_t inSlot = ParamPgm->InScheduledSlot() ? 1 : 0;
    if (inSlot != LampState) {
        ui_->LampProg->setPixmap(Glyphs[inSlot ? gLampOn : gLampOff]);
        LampState = inSlot;
    }
}

void TBase::SendSaveTarget() {
    const QByteArray directory = QFile::encodeName(ui_->NomRep->text());
    const QByteArray prefix = QFile::encodeName(ui_->PrefixImg->text());
    sessionPictures_.SetTarget(directory.toStdString(), prefix.toStdString());
    CheckResult(SetSaveFileInformation(directory.constData(), prefix.constData()));
}

void TBase::NoteSavedPicture() {
    // A query of the library's own record: no camera traffic, and not a
    // camera call whose result CheckResult would latch. This runs on every
    // idle pass and every frame: SessionPictures compares the record as
    // bytes and looks at the folder only when it changed.
    SavedFileInfo info{};
    if (GetSavedFileInfo(&info) != 0)
        return;
    const orka::SavedFile* shown = nullptr;
    for (const orka::SavedFile& file : sessionPictures_.Note(info)) {
        const QString path = QFile::decodeName(file.path.c_str());
        if (!file.IsPicture()) {
            strip_->CompanionArrived(path);
            continue;
        }
        strip_->AddPicture(path, !file.complete);
        shown = sessionPictures_.Find(file.path);
    }
    if (shown == nullptr)
        return;
    const QString text = orka::SavedPictureNote(*shown);
    ui_->InfoStatut->setText(text);
    ui_->InfoStatut->setToolTip(text);
}
