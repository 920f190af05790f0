#include "Shutter.h"

#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QToolButton>

#include <algorithm>
#include <chrono>
#include <thread>

#include "CameraLink.h"
#include "EventPump.h"
#include "FormControls.h"
#include "Histogram.h"
#include "LiveView.h"
#include "MouseFilter.h"
#include "NumericEdit.h"
#include "StatusPanel.h"
#include "ui_OrkaCapture.h"

namespace {

using Clock = std::chrono::steady_clock;

// The camera clears its aperture-preview state at once; a camera that stops
// answering must not hold the window longer than this.
constexpr auto kAperturePreviewLimit = std::chrono::seconds(2);
// How long the after-view picture shows before the question.
constexpr auto kAfterViewPause = std::chrono::milliseconds(2000);

}  // namespace

TShutter::TShutter(QWidget* window, Ui::TBase& ui, TCameraLink& link, TEventPump& pump,
                   TLiveView& live, const orka::LiveViewState& liveState, const GlyphSet& glyphs,
                   orka::ShutterState& state)
    : window_(window),
      ui_(ui),
      link_(link),
      pump_(pump),
      live_(live),
      liveState_(liveState),
      glyphs_(glyphs),
      state_(state) {
    // A press of any mouse button takes the picture.
    auto* press =
        new TMouseFilter(this, [this](QWidget*, TMouseFilter::Kind kind, const QMouseEvent&) {
            if (kind != TMouseFilter::Kind::Press)
                return false;
            PriseVueMouseDown();
            return true;
        });
    press->Watch(ui_.PriseVue);
    ui_.PriseVue->setFocusPolicy(Qt::StrongFocus);
    ui_.PriseVue->installEventFilter(this);
    // The mouse and the keys never click the button (the filters take their
    // presses): a click comes from assistive technology's "press" action, one
    // press of the shutter key.
    connect(ui_.PriseVue, &QToolButton::clicked, this, [this] { ShutterKeyPress(false); });
    connect(ui_.PostVisuActif, &QCheckBox::toggled, this, &TShutter::PostVisuActifClick);
    connect(ui_.MemoFocus, &QCheckBox::toggled, this, &TShutter::MemoFocusClick);
}

// Espace and Entrée on the focused button are the shutter key; the button's
// own click on the release of Espace is not a shot.
bool TShutter::eventFilter(QObject* watched, QEvent* event) {
    if (watched != ui_.PriseVue ||
        (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease))
        return QObject::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
        case Qt::Key_Space:
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (key->modifiers() & ~Qt::KeypadModifier)
                return false;
            if (event->type() == QEvent::KeyPress)
                ShutterKeyPress(key->isAutoRepeat());
            return true;
        case Qt::Key_Escape:
            if (event->type() == QEvent::KeyPress && state_.Key.HalfPressed()) {
                ShutterKeyCancel();
                return true;
            }
            return false;
        default:
            return false;
    }
}

void TShutter::ShutterKeyPress(bool autoRepeat) {
    if (!link_.Connected() || link_.State().CameraLost) {
        (void)state_.Key.Cancel();
        if (!autoRepeat)
            PriseVueMouseDown();  // says why no picture can be taken
        return;
    }
    switch (state_.Key.Press(orka::ShutterKey::Clock::now(), autoRepeat)) {
        case orka::ShutterKey::Step::HalfPress:
            pump_.Status().Say(orka::status::Notice,
                               tr("Demi-pression : appuyez à nouveau pour déclencher, "
                                  "Échap pour relâcher."));
            HalfPressRefresh();
            break;
        case orka::ShutterKey::Step::Shoot:
            PriseVueMouseDown();
            break;
        case orka::ShutterKey::Step::Release:
        case orka::ShutterKey::Step::None:
            break;
    }
}

void TShutter::ShutterKeyCancel() {
    if (state_.Key.Cancel() == orka::ShutterKey::Step::Release) {
        pump_.Status().Say(orka::status::Notice,
                           tr("Demi-pression relâchée : aucune photo prise."));
        HalfPressRefresh();
    }
}

bool TShutter::KeyHeld() {
    if (!link_.Connected() || link_.State().CameraLost)
        (void)state_.Key.Cancel();  // the camera went away: nothing is held
    if (state_.Key.Tick(orka::ShutterKey::Clock::now()) == orka::ShutterKey::Step::Release)
        pump_.Status().Say(orka::status::Notice,
                           tr("Demi-pression relâchée : aucune photo prise."));
    return state_.Key.HalfPressed();
}

std::array<int32_t, 2> TShutter::FocusPoint() const {
    return liveState_.FocusPoint;
}

void TShutter::RetDeclKeyUp(int seconds) {
    state_.SelfTimerDelay = seconds;
}

void TShutter::EnterSelfTimerMode() {
    state_.SelfTimerDelay =
        orka::TNumericEdit::ValueOr(ui_.RetDecl, orka::RetDeclRange, state_.SelfTimerDelay);
}

void TShutter::AllowAfterView(bool allowed) {
    ui_.PostVisuActif->setEnabled(allowed);
    state_.AfterViewOn = allowed && ui_.PostVisuActif->isChecked();
}

void TShutter::PostVisuActifClick() {
    state_.AfterViewOn = ui_.PostVisuActif->isChecked();
    link_.CheckResult(SetDisplayAfterView(state_.AfterViewOn ? 1 : 0));
}

void TShutter::Refocus() {
    state_.RefocusPending = true;
    state_.HalfPressed = false;
}

void TShutter::ForgetFocus() {
    ui_.MemoFocus->setChecked(false);
    state_.FocusMemorised = false;
}

void TShutter::SetShutterGlyph(int glyph) {
    if (glyph == state_.ShownGlyph)
        return;
    state_.ShownGlyph = glyph;
    ui_.PriseVue->setIcon(glyphs_[size_t(glyph)]);
    Q_EMIT shutterGlyphChanged(glyph);
}

// Strictly inside the button, in the window's coordinates.
bool TShutter::MouseOverShutter() const {
    const QPoint at = window_->mapFromGlobal(QCursor::pos());
    const QRect button = ui_.PriseVue->geometry();
    return at.x() > button.left() && at.x() < button.left() + button.width() &&
           at.y() > button.top() && at.y() < button.top() + button.height();
}

// The half press: first step of every IdleRefresh.
void TShutter::HalfPressRefresh() {
    if (pump_.Activities()->SkipsHalfPress())
        return;  // re-entered from the pump of a press sequence under way
    const bool depthTest = ui_.TestProfChamp->isChecked() && liveState_.LiveViewOn;
    if (!MouseOverShutter() && !KeyHeld() && !state_.RefocusPending) {
        SetShutterGlyph(gClic0);
        // The read-outs of a half press go when the mouse leaves; what the
        // status area says otherwise (a picture saved, the camera gone) stays.
        const bool wasPressed = state_.HalfPressed;
        state_.HalfPressed = false;
        ShowWarnings(false);
        if (wasPressed && !ui_.PreVisuActif->isChecked())
            ui_.CamInfos->clear();
        if (depthTest)
            link_.CheckResult(SetAperturePreview(0));
        return;
    }

    state_.RefocusPending = false;
    if (!state_.HalfPressed) {
        const orka::ActivityScope press(pump_.Activities(), orka::Activity::HalfPress);
        // The result of S1On decides: a half press the camera refused keeps
        // the glyph and is tried again on the next pass.
        int32_t pressed = 0;
        if (!state_.FocusMemorised) {
            if (depthTest)
                link_.CheckResult(SetAperturePreview(0));  // open up to focus
            pressed = link_.CheckResult(S1On(FocusPoint().data()));
            // Only a focus the camera found is held.
            if (pressed == 0 && ui_.MemoFocus->isChecked()) {
                state_.FocusMemorised = true;
                ui_.MemoFocus->setText(QCoreApplication::translate("Shutter", "Foc mémorisée"));
                ui_.MemoFocus->setStyleSheet(QStringLiteral("color: #008c00;"));
            }
        }
        if (pressed == 0)
            SetShutterGlyph(gClic1);
        ShowWarnings(true);

        if (!pump_.PumpOnce())
            return;
        int32_t released = pressed;
        if (!state_.FocusMemorised)
            released = link_.CheckResult(S1Off());
        if (pressed == 0 && released == 0) {
            SetShutterGlyph(gClic2);
            state_.HalfPressed = true;
        }
    }
    // Stopped down while the mouse rests here: the preview shows the depth of field.
    if (ui_.TestProfChamp->isChecked() && liveState_.LiveViewOn)
        link_.CheckResult(SetAperturePreview(1));
    // The warnings follow the camera's metering while the mouse rests here.
    ShowWarnings(state_.HalfPressed || state_.FocusMemorised);
}

void TShutter::ShowWarnings(bool halfPressed) {
    TStatusPanel& status = pump_.Status();
    const QString text =
        halfPressed && link_.Connected() ? orka::WarningText(link_.Status().warnings) : QString();
    if (status.Area().Text(orka::status::Warning) != text)
        status.Say(orka::status::Warning, text);
}

bool TShutter::CameraGoneNow() {
    if (!link_.Connected() || link_.State().CameraLost)
        return true;
    if (CheckExistUSBCamera() != 0) {  // the library's flag: no transfer
        link_.MarkCameraLost();
        return true;
    }
    return false;
}

void TShutter::PriseVueMouseDown() {
    (void)TakePictures();
}

TShutter::Release TShutter::TakePictures() {
    if (pump_.Activities()->SkipsRelease())
        return Release::NotTaken;
    if (!link_.Connected() || link_.State().CameraLost) {
        pump_.Status().Say(
            orka::status::Notice,
            QCoreApplication::translate("Shutter",
                                        "Pas de prise de vue : l'APN n'est pas connecté "
                                        "(bouton de connexion en haut à droite)."));
        return Release::NotTaken;
    }
    const orka::ActivityScope release(pump_.Activities(), orka::Activity::Release);
    orka::ShotClock::time_point clicked = orka::ShotClock::now();

    if (link_.Status().aperturePreview == 1) {
        link_.CheckResult(SetAperturePreview(0));
        const auto deadline = Clock::now() + kAperturePreviewLimit;
        link_.ReadStatus();
        while (link_.Status().aperturePreview != 0 && Clock::now() < deadline)
            link_.ReadStatus();
        if (link_.Status().aperturePreview != 0)
            link_.CheckResult(1);  // the camera did not open up: latch it and go on
    }

    // Bracketing takes three pictures; any other drive mode one.
    const bool series = link_.Status().driveMode == orka::kDriveBracketing;
    const int pictures = series ? 3 : 1;

    // No room: no countdown, no release.
    if (BeforeRelease && !BeforeRelease(pictures))
        return Release::NotTaken;

    // The self-timer's countdown: Échap or a click on the button cancels it;
    // a camera that goes away meanwhile ends it.
    if (CurrentShootingMode(ui_).box == orka::ModeBox::SelfTimer) {
        const auto end = pump_.WaitCancellable(
            Clock::now() + std::chrono::milliseconds(int64_t{state_.SelfTimerDelay} * 1000 + 1),
            QCoreApplication::translate(
                "Shutter", "Retardateur : déclenchement dans %1 s (Échap ou clic pour annuler)"),
            ui_.PriseVue, [this] { return CameraGoneNow(); });
        switch (end) {
            case TEventPump::WaitEnd::WindowGone:
                return Release::WindowGone;
            case TEventPump::WaitEnd::Cancelled:
                pump_.Status().Say(orka::status::Notice,
                                   QCoreApplication::translate(
                                       "Shutter", "Retardateur annulé : aucune photo prise."));
                return Release::NotTaken;
            case TEventPump::WaitEnd::Stopped:
                pump_.Status().Say(
                    orka::status::Interrupted,
                    QCoreApplication::translate("Shutter",
                                                "Retardateur interrompu : l'APN a été "
                                                "débranché, aucune photo prise."));
                return Release::NotTaken;
            case TEventPump::WaitEnd::Reached:
                break;
        }
        clicked = orka::ShotClock::now();
    }

    // A held focus ("Mémo focus") keeps the camera half-pressed already.
    const auto pressedAlready = [this] { return state_.HalfPressed || state_.FocusMemorised; };
    for (int i = 1; i <= pictures; ++i) {
        // The first picture counts from the click (or the end of the
        // countdown), the others of a series from their own release.
        const orka::ShotClock::time_point releasedAt = i == 1 ? clicked : orka::ShotClock::now();
        if (!pressedAlready()) {
            link_.CheckResult(S1On(FocusPoint().data()));
            SetShutterGlyph(gClic2);
        }
        if (link_.CheckResult(CaptureImage(0)) == 0)
            Q_EMIT released(
                {link_.Status(), orka::ShotFocusPoint(link_.Status(), FocusPoint()), releasedAt});
        if (state_.AfterViewOn && !ShowAfterView())
            return Release::WindowGone;
        if (link_.CheckResult(TerminateCaptureImage()) == 0)
            SetShutterGlyph(series ? gImg1Ok + i - 1 : gClicOk);
        if (!pump_.PumpOnce())
            return Release::WindowGone;
        if (!link_.Connected())
            break;  // disconnected from a nested handler
        if (!pressedAlready())
            link_.CheckResult(S1Off());
    }
    return Release::Taken;
}

// Shows the picture just taken and asks whether to keep it.
bool TShutter::ShowAfterView() {
    if (live_.ShowAfterViewPicture())
        pump_.BlockUntil(
            Clock::now() + kAfterViewPause,
            QCoreApplication::translate("Shutter", "Image prise : la question suit dans %1 s"));

    // The box is the window's child: if a handler run by its own event loop
    // destroys the window, the box goes with it.
    const QPointer<QMessageBox> box =
        new QMessageBox(QMessageBox::Question, window_->windowTitle(),
                        QCoreApplication::translate("Shutter", "Enregistrer cette image ?"),
                        QMessageBox::NoButton, window_);
    QPushButton* yes =
        box->addButton(QCoreApplication::translate("Shutter", "Oui"), QMessageBox::YesRole);
    box->addButton(QCoreApplication::translate("Shutter", "Non"), QMessageBox::NoRole);
    box->setDefaultButton(yes);
    if (!pump_.Exec(box))
        return false;
    if (!box)
        return true;
    const bool keep = box->clickedButton() == yes;
    delete box;
    link_.CheckResult(AfterViewConfirmation(keep ? 1 : 0));
    return true;
}

void TShutter::MemoFocusClick() {
    if (ui_.MemoFocus->isChecked())
        return;
    // The camera still holds the half press of the memorised focus: let go.
    const bool held = state_.FocusMemorised;
    state_.FocusMemorised = false;
    ui_.MemoFocus->setText(QCoreApplication::translate("Shutter", "Mémo focus"));
    ui_.MemoFocus->setStyleSheet(QString());
    if (held && link_.Connected()) {
        link_.CheckResult(S1Off());
        state_.HalfPressed = false;
    }
}
