#include "Connection.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QThread>

#include "CameraLink.h"
#include "EventPump.h"
#include "FocusControls.h"
#include "LiveView.h"
#include "ModeChoice.h"
#include "MotionTrigger.h"
#include "PendingFiles.h"
#include "SavedPictures.h"
#include "SettingsControls.h"
#include "Shutter.h"
#include "Templates.h"
#include "TriggerSchedule.h"
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

TConnection::TConnection(QWidget* window, Ui::TBase& ui, TCameraLink& link, TEventPump& pump,
                         Parts parts, const orka::ShutterState& shutterState,
                         const QPixmap& glyphOff, const QPixmap& glyphOn)
    : window_(window),
      ui_(ui),
      link_(link),
      pump_(pump),
      parts_(parts),
      shutterState_(shutterState),
      glyphOff_(glyphOff),
      glyphOn_(glyphOn) {
    connect(ui_.ConnectAPN, &QToolButton::clicked, this, &TConnection::ConnectAPNClick);
    SetInfoConnect(QStringLiteral("APN non connecté"), Qt::black);
}

void TConnection::SetInfoConnect(const QString& text, const QColor& colour) {
    QLabel* panel = ui_.InfoConnect;
    panel->setText(text);
    panel->setStyleSheet(QStringLiteral("color: %1;").arg(colour.name()));
    panel->repaint();
}

void TConnection::ConnectAPNClick() {
    if (pump_.Activities()->SkipsConnectClick()) {  // only code can click while it connects
        ui_.ConnectAPN->setChecked(link_.Connected());
        return;
    }
    bool justConnected = false;
    const QPointer<QWidget> window = window_;
    {
        WaitCursor hourglass;
        {
            const orka::ActivityScope connecting(pump_.Activities(), orka::Activity::Connecting);
            if (!link_.Connected()) {
                justConnected = ConnectCamera() != 0;
                link_.SetConnected(justConnected);
            } else {
                DisconnectCamera();
            }
        }
        if (!window)
            return;
        ui_.ConnectAPN->setChecked(link_.Connected());
        // The settings were pushed before the window counted itself as
        // connected: show now whether one of them was refused.
        link_.ShowLatchedError();
        if (!justConnected)
            return;
    }
    // The live view runs inside this handler until something stops it.
    parts_.live.PreVisuActifClick();
}

uint8_t TConnection::ConnectCamera() {
    SetInfoConnect(QStringLiteral("Essai de connexion ..."), Qt::blue);
    // The attempts block the window (up to about 14 s without a camera):
    // the status area says which one runs.
    const auto sayAttempt = [this](int n) {
        pump_.SayNow(QStringLiteral("Essai de connexion … (%1/%2)").arg(n).arg(kConnectAttempts));
    };
    sayAttempt(1);
    const bool opened = link_.CheckResult(OpenCamera(ORKA_PRODUCT_ID)) == 0;
    int32_t result = link_.CheckResult(StartPCControlMode());
    for (int retry = 1; result != 0 && retry < kConnectAttempts; ++retry) {
        QThread::msleep(kAttemptPauseMs);
        sayAttempt(retry + 1);
        result = link_.CheckResult(StartPCControlMode());
    }
    pump_.SayNow(QString());
    if (result != 0) {
        // Close the session again: the camera is not left with a session the
        // window no longer uses, and the next attempt starts afresh.
        if (opened)
            link_.CheckResult(CloseCamera());
        SetInfoConnect(QStringLiteral("Echec de la connexion"), Qt::red);
        return 0;
    }

    parts_.shutter.ForgetFocus();
    parts_.focus.ForgetSpotLink();
    parts_.schedule.ResetLamp();

    // A refused setting stays latched in ErrorLatch; the session is in
    // PC-control mode all the same, so the window counts itself connected.
    PushAllSettings();

    link_.ReadStatus();
    link_.KeepStatusAtConnect();
    parts_.live.DimPreViewClick();  // the camera's preview size, and the preview laid out for it
    parts_.templates.ModDefautMouseUp(ui_.ModDefaut);  // the settings at connection are in force
    Q_EMIT connectedNow();
    SetInfoConnect(QStringLiteral("APN connecté"), QColor(0, 140, 0));
    ui_.MonoMultiVue->setEnabled(true);
    ui_.ConnectAPN->setIcon(glyphOn_);
    return 1;
}

uint8_t TConnection::PushAllSettings() {
    link_.ForgetErrors();
    parts_.settings.SendControlSettings();
    // The camera shows the pictures taken exactly when the window asks to.
    link_.CheckResult(SetDisplayAfterView(shutterState_.AfterViewOn ? 1 : 0));
    link_.CheckResult(SetSceneSelectMode(0));
    parts_.focus.ModeMFClick();
    parts_.modes.MonoMultiVueClick();
    parts_.pictures.SendSaveTarget();
    parts_.live.ReadFrameInfo();
    parts_.focus.ResetFocalLength();
    return link_.State().ErrorLatch == 0 ? 1 : 0;
}

bool TConnection::DisconnectCamera() {
    if (!link_.Connected())
        return false;
    if (!WaitForPendingFiles())
        return true;  // the window went meanwhile: nothing of it may be touched
    link_.CheckResult(TerminatePCControlMode());
    link_.CheckResult(CloseCamera());
    LeaveConnection();
    return true;
}

void TConnection::LeaveConnection() {
    link_.SetConnected(false);
    parts_.motion.ResetDetection();
    parts_.motion.ClearRoiThumbnail();
    if (parts_.live.Running())
        parts_.live.ToggleLiveView();  // ends a live-view loop under way

    SetInfoConnect(QStringLiteral("APN non connecté"), Qt::black);
    ui_.MonoMultiVue->setItemIndex(0);
    parts_.modes.MonoMultiVueClick();
    ui_.FFPetSpotAE->setEnabled(false);
    ui_.FFPetSpotAE->setChecked(false);
    ui_.MonoMultiVue->setEnabled(false);
    ui_.ImgBatt->clear();
    ui_.InfoStatut->clear();
    ui_.ConnectAPN->setIcon(glyphOff_);
    ui_.ConnectAPN->setChecked(false);
}

void TConnection::CameraGone() {
    // The library ends its side of the link; a file cut off is kept under
    // its ".partiel" name and is the last one it reports.
    CheckExistUSBCamera();
    parts_.pictures.NoteSavedPicture();
    LeaveConnection();
    parts_.pictures.NoteCameraGone();
}

// Waits while the camera still has files to send. The pauses block the
// window; when the count has stopped falling for a while the user decides
// whether to wait on or to leave PC-control mode without those files.
bool TConnection::WaitForPendingFiles() {
    bool windowGone = false;
    orka::PendingFilesWait wait;
    wait.count = [this] {
        int32_t count = 0;
        GetWaitingFileNumber(&count);
        if (count > 0)
            pump_.SayNow(count == 1 ? QStringLiteral("Réception du dernier fichier …")
                                    : QStringLiteral("Réception de %1 fichiers …").arg(count));
        return count;
    };
    wait.pause = [] { QThread::msleep(kPendingFilesPauseMs); };
    wait.keepWaiting = [this, &windowGone](int32_t count) {
        const QString files =
            count == 1 ? QStringLiteral("1 fichier") : QStringLiteral("%1 fichiers").arg(count);
        // The box is the window's child, made on the heap: a handler run
        // from its loop may destroy the window, and the box with it.
        const QPointer<QMessageBox> box =
            new QMessageBox(QMessageBox::Warning, window_->windowTitle(),
                            QStringLiteral("L'appareil doit encore transmettre %1, et aucun n'est "
                                           "arrivé depuis 30 secondes.")
                                .arg(files),
                            QMessageBox::NoButton, window_);
        box->setInformativeText(
            QStringLiteral("Continuer d'attendre, ou déconnecter quand même ? Les fichiers "
                           "qui n'auront pas été transmis seront perdus."));
        QPushButton* keep =
            box->addButton(QStringLiteral("Continuer d'attendre"), QMessageBox::AcceptRole);
        box->addButton(QStringLiteral("Déconnecter quand même"), QMessageBox::DestructiveRole);
        box->setDefaultButton(keep);
        if (!pump_.Exec(box)) {
            windowGone = true;
            return false;
        }
        if (!box)
            return false;
        const bool wait = box->clickedButton() == keep;
        delete box;
        return wait;
    };
    wait.run();
    if (windowGone)
        return false;
    pump_.SayNow(QString());
    return true;
}
