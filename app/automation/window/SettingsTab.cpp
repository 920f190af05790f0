#include "SettingsTab.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QSettings>

#include <algorithm>
#include <functional>

#include "CameraClock.h"
#include "CameraLink.h"
#include "EventPump.h"
#include "HelpViewer.h"
#include "InfosPgm.h"
#include "Language.h"
#include "SavedPictures.h"
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

TSettingsTab::TSettingsTab(QWidget* window, Ui::TBase& ui, TCameraLink& link, TEventPump& pump,
                           TSavedPictures& pictures)
    : window_(window), ui_(ui), link_(link), pump_(pump), pictures_(pictures) {
    using T = TSettingsTab;
    connect(ui_.SynchroNow, &QPushButton::clicked, this, &T::SynchroNowClick);
    // The folder is chosen in the dialog that a key or a click opens, never
    // typed.
    ui_.NomRep->setReadOnly(true);
    ui_.NomRep->installEventFilter(new TKeyUpFilter(
        this, [this](int key) { NomRepKeyUp(key); }, [this] { NomRepClick(); }));
    connect(ui_.PrefixImg, &QLineEdit::textChanged, this, &T::PrefixImgChange);
    connect(ui_.PrefixVideo, &QLineEdit::textChanged, this, &T::PrefixImgChange);
    connect(ui_.SonMap, &QComboBox::activated, this, &T::SonMapChange);
    connect(ui_.SonDecl, &QComboBox::activated, this, &T::SonDeclChange);
    connect(ui_.APropos, &QPushButton::clicked, this, &T::AProposClick);
    connect(ui_.Aide, &QPushButton::clicked, this, &T::AideClick);
    // The language, between the about and help buttons: the window is
    // built once in its language, so a change takes effect at the next start.
    language_ = new QComboBox(ui_.APropos->parentWidget());
    language_->setObjectName(QStringLiteral("Langue"));
    language_->addItem(QStringLiteral("Français"), QStringLiteral("fr"));
    language_->addItem(QStringLiteral("English"), QStringLiteral("en"));
    language_->setGeometry(ui_.APropos->geometry().right() + 4, ui_.APropos->y(),
                           ui_.Aide->x() - ui_.APropos->geometry().right() - 8,
                           ui_.APropos->height());
    language_->setCurrentIndex(orka::CurrentLanguage() == orka::Language::English ? 1 : 0);
    const QString languageNote = QCoreApplication::translate(
        "SettingsTab", "Langue de la fenêtre et de l'aide : s'applique au prochain démarrage");
    language_->setToolTip(languageNote);
    language_->setAccessibleDescription(languageNote);
    language_->setAccessibleName(QCoreApplication::translate("SettingsTab", "Langue"));
    connect(language_, &QComboBox::activated, this, &T::LanguageChange);
    // The about box exists from the start, after the window.
    infosPgm_ = new TInfosPgm(window);
}

void TSettingsTab::LanguageChange() {
    const orka::Language chosen = orka::LanguageOfCode(language_->currentData().toString());
    QSettings store(QStringLiteral("PCOrka"), QStringLiteral("PCOrka"));
    orka::SaveLanguage(store, chosen);
    pump_.SayNow(
        chosen == orka::CurrentLanguage()
            ? QCoreApplication::translate("SettingsTab", "Langue : %1.")
                  .arg(language_->currentText())
            : QCoreApplication::translate(
                  "SettingsTab",
                  "Langue choisie : %1. Elle s'appliquera au prochain démarrage de PCOrka.")
                  .arg(language_->currentText()));
}

void TSettingsTab::SynchroNowClick() {
    const QDateTime now = QDateTime::currentDateTime();
    ui_.DateHeure->setText(orka::ClockText(now, QLocale()));
    if (!link_.Connected())
        return;
    const orka::ClockWords words = orka::CameraClockWords(now);
    link_.CheckResult(SyncCameraClock(words.date, words.time));
}

void TSettingsTab::NomRepKeyUp(int key) {
    if (!IsNavigationKey(key))
        NomRepClick();
}

void TSettingsTab::NomRepClick() {
    const QString start = ui_.NomRep->text();
    const QString chosen = pump_.ChooseDirectory(
        QCoreApplication::translate("SettingsTab", "Répertoire des images"), start);
    if (chosen.isEmpty())
        return;
    ui_.NomRep->setText(QDir::toNativeSeparators(chosen));
    pictures_.SendSaveTarget();
}

// Both prefix boxes: the library keeps the image prefix only; the video
// prefix is read when a recording starts.
void TSettingsTab::PrefixImgChange() {
    pictures_.SendSaveTarget();
}

void TSettingsTab::SonMapChange() {
    link_.CheckResult(SetInfocusSound(std::max(0, ui_.SonMap->currentIndex())));
}

void TSettingsTab::SonDeclChange() {
    link_.CheckResult(SetShutterSound(std::max(0, ui_.SonDecl->currentIndex())));
}

void TSettingsTab::AProposClick() {
    infosPgm_->ReadProgramVersion();
    (void)pump_.Exec(infosPgm_);
}

void TSettingsTab::AideClick() {
    THelpViewer::ShowHelpContents(window_);
}
