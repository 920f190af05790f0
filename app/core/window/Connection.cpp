#include "Connection.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include <optional>

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
#include "StatusPanel.h"
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
      glyphOn_(glyphOn),
      searchTimer_(new QTimer(this)) {
    connect(ui_.ConnectAPN, &QToolButton::clicked, this, &TConnection::ConnectAPNClick);
    searchTimer_->setInterval(kSearchPeriodMs);
    connect(searchTimer_, &QTimer::timeout, this, &TConnection::SearchTick);
    SetInfoConnect(QCoreApplication::translate("Connection", "APN non connecté"), Qt::black);
}

void TConnection::SetInfoConnect(const QString& text, const QColor& colour) {
    QLabel* panel = ui_.InfoConnect;
    panel->setText(text);
    panel->setStyleSheet(QStringLiteral("color: %1;").arg(colour.name()));
    panel->repaint();
}

void TConnection::ConnectAPNClick() {
    if (pump_.Activities()->SkipsConnectClick()) {  // only code can click while it connects
        ui_.ConnectAPN->setChecked(link_.Connected() || searching_);
        return;
    }
    if (searching_) {  // the button was down: the photographer no longer waits
        StopSearchByUser();
        return;
    }
    if (link_.Connected()) {
        const QPointer<QWidget> window = window_;
        {
            WaitCursor hourglass;
            const orka::ActivityScope connecting(pump_.Activities(), orka::Activity::Connecting);
            DisconnectCamera();
        }
        if (window)
            ui_.ConnectAPN->setChecked(link_.Connected());
        return;
    }
    Connect(false);
}

void TConnection::Connect(bool quiet) {
    Outcome outcome = Outcome::Failed;
    const QPointer<QWidget> window = window_;
    {
        std::optional<WaitCursor> hourglass;
        if (!quiet)
            hourglass.emplace();
        {
            const orka::ActivityScope connecting(pump_.Activities(), orka::Activity::Connecting);
            outcome = ConnectCamera(quiet);
            link_.SetConnected(outcome == Outcome::Connected);
        }
        if (!window)
            return;
        if (outcome == Outcome::NotFound)
            StartSearch(lastFailure_);
        else
            StopSearch();
        ui_.ConnectAPN->setChecked(link_.Connected() || searching_);
        // The settings were pushed before the window counted itself as
        // connected: show now whether one of them was refused.
        link_.ShowLatchedError();
        if (outcome != Outcome::Connected)
            return;
    }
    if (reconnecting_)
        pump_.Status().Say(
            orka::status::Camera,
            QCoreApplication::translate("Connection",
                                        "L'APN a été rebranché : il est de nouveau connecté."));
    reconnecting_ = false;
    // The live view runs inside this handler until something stops it.
    parts_.live.PreVisuActifClick();
}

bool TConnection::PauseBetweenAttempts() {
    return pump_.WaitCancellable(
               std::chrono::steady_clock::now() + std::chrono::milliseconds(kAttemptPauseMs),
               QString(), ui_.ConnectAPN) == TEventPump::WaitEnd::Reached;
}

TConnection::Outcome TConnection::ConnectCamera(bool quiet) {
    // The attempts hold back the window's input (up to about 14 s with a
    // camera that does not answer): the status area says which one runs, and
    // Échap or a click on the button cancels them.
    const auto sayAttempt = [this](int n) {
        pump_.SayNow(QCoreApplication::translate(
                         "Connection", "Essai de connexion … (%1/%2) — Échap pour annuler")
                         .arg(n)
                         .arg(kConnectAttempts));
    };
    if (!quiet) {
        SetInfoConnect(QCoreApplication::translate("Connection", "Essai de connexion ..."),
                       Qt::blue);
        sayAttempt(1);
    }
    if (link_.CheckResult(OpenCamera(ORKA_PRODUCT_ID)) != 0) {
        // The transport answers at once when no camera can be opened: say
        // what it found, and keep looking while the camera may yet come.
        lastFailure_ = orka::LastOpenFailure();
        pump_.SayNow(QString());
        using Reason = orka::OpenFailure::Reason;
        switch (lastFailure_.reason) {
            case Reason::NoCamera:
            case Reason::AccessDenied:
            case Reason::Busy:
                return Outcome::NotFound;
            default:
                break;
        }
        SetInfoConnect(QCoreApplication::translate("Connection", "Echec de la connexion"), Qt::red);
        pump_.Status().Say(orka::status::Camera, orka::OpenFailureText(lastFailure_));
        return Outcome::Failed;
    }
    if (quiet) {  // found: from here on the connection is said as any other
        SetInfoConnect(QCoreApplication::translate("Connection", "Essai de connexion ..."),
                       Qt::blue);
        sayAttempt(1);
    }
    int32_t result = link_.CheckResult(StartPCControlMode());
    bool cancelled = false;
    for (int retry = 1; result != 0 && retry < kConnectAttempts; ++retry) {
        if (!PauseBetweenAttempts()) {
            cancelled = true;
            break;
        }
        sayAttempt(retry + 1);
        result = link_.CheckResult(StartPCControlMode());
    }
    pump_.SayNow(QString());
    if (result != 0) {
        // Close the session again: the camera is not left with a session the
        // window no longer uses, and the next attempt starts afresh.
        link_.CheckResult(CloseCamera());
        if (cancelled) {
            SetInfoConnect(QCoreApplication::translate("Connection", "APN non connecté"),
                           Qt::black);
            pump_.Status().Say(orka::status::Notice,
                               QCoreApplication::translate("Connection", "Connexion annulée."));
            return Outcome::Cancelled;
        }
        if (result == TCameraLink::kNoCamera) {  // gone during the attempts: look for it
            lastFailure_ = {orka::OpenFailure::Reason::NoCamera, {}};
            return Outcome::NotFound;
        }
        SetInfoConnect(QCoreApplication::translate("Connection", "Echec de la connexion"), Qt::red);
        pump_.Status().Say(orka::status::Camera, orka::OpenFailureText({}));
        return Outcome::Failed;
    }

    pump_.Status().Clear(orka::status::Interrupted);
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
    SetInfoConnect(QCoreApplication::translate("Connection", "APN connecté"), QColor(0, 140, 0));
    ui_.MonoMultiVue->setEnabled(true);
    ui_.ConnectAPN->setIcon(glyphOn_);
    return Outcome::Connected;
}

void TConnection::StartSearch(const orka::OpenFailure& failure) {
    const QString how =
        QCoreApplication::translate(
            "Connection",
            " La fenêtre le cherche toutes les %1 s et se connectera dès qu'il sera là "
            "(Échap ou clic sur le bouton de connexion pour arrêter).")
            .arg(kSearchPeriodMs / 1000);
    const QString text = (reconnecting_ && failure.reason == orka::OpenFailure::Reason::NoCamera
                              ? QCoreApplication::translate("Connection", "L'APN a été débranché.")
                              : orka::OpenFailureText(failure)) +
                         how;
    if (pump_.Status().Area().Text(orka::status::Search) != text)
        pump_.Status().Say(orka::status::Search, text);
    const QString looking = QCoreApplication::translate("Connection", "Recherche de l'APN");
    if (ui_.InfoConnect->text() != looking)
        SetInfoConnect(looking, QColor(200, 100, 0));
    searching_ = true;
    if (!searchTimer_->isActive())
        searchTimer_->start();
}

void TConnection::StopSearch() {
    searchTimer_->stop();
    searching_ = false;
    pump_.Status().Clear(orka::status::Search);
}

void TConnection::StopSearchByUser() {
    if (!searching_)
        return;
    StopSearch();
    reconnecting_ = false;
    SetInfoConnect(QCoreApplication::translate("Connection", "APN non connecté"), Qt::black);
    ui_.ConnectAPN->setChecked(false);
    pump_.Status().Say(
        orka::status::Notice,
        QCoreApplication::translate("Connection",
                                    "Recherche de l'APN arrêtée : cliquez sur le bouton de "
                                    "connexion pour la reprendre."));
}

void TConnection::SearchTick() {
    if (!searching_ || link_.Connected() || pump_.Activities()->SkipsCameraSearch())
        return;
    Connect(true);
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
    // A picture that arrived during the wait reaches the strip.
    parts_.pictures.LastLook();
    LeaveConnection();
    return true;
}

void TConnection::LeaveConnection() {
    link_.SetConnected(false);
    parts_.motion.ResetDetection();
    parts_.motion.ClearRoiThumbnail();
    if (parts_.live.Running())
        parts_.live.ToggleLiveView();  // ends a live-view loop under way

    SetInfoConnect(QCoreApplication::translate("Connection", "APN non connecté"), Qt::black);
    ui_.MonoMultiVue->setItemIndex(0);
    parts_.modes.MonoMultiVueClick();
    ui_.FFPetSpotAE->setEnabled(false);
    ui_.FFPetSpotAE->setChecked(false);
    ui_.MonoMultiVue->setEnabled(false);
    ui_.ImgBatt->clear();
    ui_.ConnectAPN->setIcon(glyphOff_);
    ui_.ConnectAPN->setChecked(false);
}

void TConnection::CameraGone() {
    // The library ends its side of the link; a file cut off is kept under
    // its ".partiel" name and is the last one it reports.
    CheckExistUSBCamera();
    parts_.pictures.LastLook();
    LeaveConnection();
    parts_.pictures.NoteCameraGone();
    // The photographer asked for the camera: it is reconnected when it
    // comes back.
    reconnecting_ = true;
    StartSearch({orka::OpenFailure::Reason::NoCamera, {}});
    ui_.ConnectAPN->setChecked(true);
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
            pump_.SayNow(
                (count == 1
                     ? QCoreApplication::translate("Connection", "Réception du dernier fichier …")
                     : QCoreApplication::translate("Connection", "Réception de %1 fichiers …")
                           .arg(count)) +
                QCoreApplication::translate("Connection",
                                            " — Échap pour déconnecter sans attendre"));
        return count;
    };
    // Échap or a click on the button stops the wait, as "Déconnecter quand
    // même" does; the files the camera is still sending are lost.
    bool cancelled = false;
    wait.pause = [this, &cancelled, &windowGone] {
        switch (pump_.WaitCancellable(
            std::chrono::steady_clock::now() + std::chrono::milliseconds(kPendingFilesPauseMs),
            QString(), ui_.ConnectAPN)) {
            case TEventPump::WaitEnd::Cancelled:
                cancelled = true;
                break;
            case TEventPump::WaitEnd::WindowGone:
                windowGone = true;
                break;
            default:
                break;
        }
    };
    wait.cancelled = [&cancelled, &windowGone] { return cancelled || windowGone; };
    wait.keepWaiting = [this, &windowGone](int32_t count) {
        const QString files =
            count == 1 ? QCoreApplication::translate("Connection", "1 fichier")
                       : QCoreApplication::translate("Connection", "%1 fichiers").arg(count);
        // The box is the window's child, made on the heap: a handler run
        // from its loop may destroy the window, and the box with it.
        const QPointer<QMessageBox> box = new QMessageBox(
            QMessageBox::Warning, window_->windowTitle(),
            QCoreApplication::translate("Connection",
                                        "L'appareil doit encore transmettre %1, et aucun n'est "
                                        "arrivé depuis 30 secondes.")
                .arg(files),
            QMessageBox::NoButton, window_);
        box->setInformativeText(QCoreApplication::translate(
            "Connection",
            "Continuer d'attendre, ou déconnecter quand même ? Les fichiers "
            "qui n'auront pas été transmis seront perdus."));
        QPushButton* keep =
            box->addButton(QCoreApplication::translate("Connection", "Continuer d'attendre"),
                           QMessageBox::AcceptRole);
        box->addButton(QCoreApplication::translate("Connection", "Déconnecter quand même"),
                       QMessageBox::DestructiveRole);
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
    if (cancelled) {
        int32_t left = 0;
        GetWaitingFileNumber(&left);
        pump_.Status().Say(
            orka::status::Notice,
            QCoreApplication::translate("Connection",
                                        "Attente des fichiers annulée : %1 fichier(s) non "
                                        "reçu(s).")
                .arg(left));
    }
    return true;
}
