// The " Paramétrages " tab: the camera clock, where images are saved, the
// camera's sounds, the about box and the help.
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>

#include <algorithm>
#include <functional>

#include "CameraClock.h"
#include "HelpViewer.h"
#include "InfosPgm.h"
#include "OrkaCapture.h"
#include "ui_OrkaCapture.h"

namespace {

// Runs a function on every key release, and another on every click of the
// left button, in the widget it watches.
class TKeyUpFilter : public QObject {
  public:
    TKeyUpFilter(QObject* parent, std::function<void(int)> onKeyUp, std::function<void()> onClick)
        : QObject(parent), onKeyUp_(std::move(onKeyUp)), onClick_(std::move(onClick)) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyRelease) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (!key->isAutoRepeat())
                onKeyUp_(key->key());
        } else if (event->type() == QEvent::MouseButtonRelease &&
                   static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            onClick_();
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    std::function<void(int)> onKeyUp_;
    std::function<void()> onClick_;
};

// Keys that move around the window rather than type: they do not open the
// directory dialog (Tab into the box, F1 for the help, a lone modifier).
bool IsNavigationKey(int key) {
    switch (key) {
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_Escape:
        case Qt::Key_Shift:
        case Qt::Key_Control:
        case Qt::Key_Alt:
        case Qt::Key_AltGr:
        case Qt::Key_Meta:
        case Qt::Key_Super_L:
        case Qt::Key_Super_R:
            return true;
        default:
            return key >= Qt::Key_F1 && key <= Qt::Key_F35;
    }
}

}  // namespace

void TBase::ConnectSettingsTabHandlers() {
    connect(ui_->SynchroNow, &QPushButton::clicked, this, &TBase::SynchroNowClick);
    // The folder is chosen in the dialog that a key or a click opens, never
    // typed.
    ui_->NomRep->setReadOnly(true);
    ui_->NomRep->installEventFilter(new TKeyUpFilter(
        this, [this](int key) { NomRepKeyUp(key); }, [this] { NomRepClick(); }));
    connect(ui_->PrefixImg, &QLineEdit::textChanged, this, &TBase::PrefixImgChange);
    connect(ui_->PrefixVideo, &QLineEdit::textChanged, this, &TBase::PrefixImgChange);
    connect(ui_->SonMap, &QComboBox::activated, this, &TBase::SonMapChange);
    connect(ui_->SonDecl, &QComboBox::activated, this, &TBase::SonDeclChange);
    connect(ui_->ModDefaut, &QCheckBox::clicked, this,
            [this] { ModDefautMouseUp(ui_->ModDefaut); });
    connect(ui_->EnrgModele, &QPushButton::clicked, this, &TBase::EnrgModeleClick);
    connect(ui_->OuvrModele, &QPushButton::clicked, this, &TBase::OuvrModeleClick);
    connect(ui_->APropos, &QPushButton::clicked, this, &TBase::AProposClick);
    connect(ui_->Aide, &QPushButton::clicked, this, &TBase::AideClick);
    // The about box exists from the start, after the window.
    infosPgm_ = new TInfosPgm(this);
}

void TBase::SynchroNowClick() {
    const QDateTime now = QDateTime::currentDateTime();
    ui_->DateHeure->setText(orka::ClockText(now, QLocale()));
    if (!Connected)
        return;
    const orka::ClockWords words = orka::CameraClockWords(now);
    CheckResult(SyncCameraClock(words.date, words.time));
}

void TBase::NomRepKeyUp(int key) {
    if (!IsNavigationKey(key))
        NomRepClick();
}

void TBase::NomRepClick() {
    const QString start = ui_->NomRep->text();
    const QString chosen = ChooseDirectoryHook
                               ? ChooseDirectoryHook(start)
                               : QFileDialog::getExistingDirectory(
                                     this, QStringLiteral("Répertoire des images"), start);
    if (chosen.isEmpty())
        return;
    ui_->NomRep->setText(QDir::toNativeSeparators(chosen));
    SendSaveTarget();
}

// Both prefix boxes: the library keeps the image prefix only; the video
// prefix is read when a recording starts.
void TBase::PrefixImgChange() {
    SendSaveTarget();
}

void TBase::SonMapChange() {
    CheckResult(SetInfocusSound(std::max(0, ui_->SonMap->currentIndex())));
}

void TBase::SonDeclChange() {
    CheckResult(SetShutterSound(std::max(0, ui_->SonDecl->currentIndex())));
}

void TBase::AProposClick() {
    infosPgm_->ReadProgramVersion();
    infosPgm_->exec();
}

void TBase::AideClick() {
    THelpViewer::ShowHelpContents(this);
}

void TBase::ShowMessage(MessageKind kind, const QString& text) {
    if (ShowMessageHook) {
        ShowMessageHook(kind, text);
        return;
    }
    if (kind == MessageKind::Warning)
        QMessageBox::warning(this, windowTitle(), text);
    else
        QMessageBox::critical(this, windowTitle(), text);
}
