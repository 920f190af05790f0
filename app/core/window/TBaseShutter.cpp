// The shutter button PriseVue, a two-stage release: resting the mouse on it
// half-presses (the camera focuses and meters, the warnings show), a press
// of any mouse button takes the picture, three in bracketing, after the
// self-timer when chosen, and shows it for confirmation when asked.
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

#include <algorithm>
#include <chrono>
#include <thread>

#include "Histogram.h"
#include "OrkaCapture.h"
#include "ShootingModes.h"
#include "ui_OrkaCapture.h"

namespace {

using Clock = std::chrono::steady_clock;

// The camera clears its aperture-preview state at once; a camera that stops
// answering must not hold the window longer than this.
constexpr auto kAperturePreviewLimit = std::chrono::seconds(2);
// How long the after-view picture shows before the question.
constexpr auto kAfterViewPause = std::chrono::milliseconds(2000);
constexpr uint32_t kMaxAfterViewBytes = 64u << 20;

}  // namespace

bool TBase::PumpOnce() {
    const QPointer<TBase> self(this);
    QCoreApplication::processEvents();
    return !self.isNull();
}

// The waits of the release sequence block the window on purpose: nothing
// may run between the click and the shutter.
void TBase::BlockUntil(Clock::time_point deadline, const QString& countdown) {
    if (countdown.isEmpty()) {
        std::this_thread::sleep_until(deadline);
        return;
    }
    // The seconds left, rounded to the nearest, 1 for the last one.
    using std::chrono::seconds;
    constexpr auto half = std::chrono::milliseconds(500);
    for (auto now = Clock::now(); now < deadline; now = Clock::now()) {
        const int64_t shown =
            std::max<int64_t>(1, std::chrono::ceil<seconds>(deadline - now - half).count());
        SayNow(countdown.arg(shown));
        std::this_thread::sleep_until(shown > 1 ? deadline - (seconds(shown - 1) + half)
                                                : deadline);
    }
    SayNow(QString());
}

void TBase::SayNow(const QString& text) {
    ui_->InfoStatut->setText(text);
    ui_->InfoStatut->repaint();
}

void TBase::SetShutterGlyph(int glyph) {
    if (glyph == ShownGlyph)
        return;
    ShownGlyph = glyph;
    ui_->PriseVue->setIcon(Glyphs[glyph]);
    Q_EMIT shutterGlyphChanged(glyph);
}

// Strictly inside the button, in the window's coordinates.
bool TBase::MouseOverShutter() const {
    const QPoint at = mapFromGlobal(QCursor::pos());
    const QRect button = ui_->PriseVue->geometry();
    return at.x() > button.left() && at.x() < button.left() + button.width() &&
           at.y() > button.top() && at.y() < button.top() + button.height();
}

// The half press: first step of every IdleRefresh.
void TBase::HalfPressRefresh() {
    if (activities_->SkipsHalfPress())
        return;  // re-entered from the pump of a press sequence under way
    const bool depthTest = ui_->TestProfChamp->isChecked() && LiveViewOn;
    if (!MouseOverShutter() && !RefocusPending) {
        SetShutterGlyph(gClic0);
        // The read-outs of a half press go when the mouse leaves; what the
        // status area says otherwise (a picture saved, the camera gone) stays.
        const bool wasPressed = HalfPressed;
        HalfPressed = false;
        if (wasPressed && !ui_->PreVisuActif->isChecked()) {
            ui_->CamInfos->clear();
            ui_->InfoStatut->clear();
        }
        if (depthTest)
            CheckResult(SetAperturePreview(0));
        return;
    }

    RefocusPending = false;
    if (!HalfPressed) {
        const orka::ActivityScope press(activities_, orka::Activity::HalfPress);
        // The result of S1On decides: a half press the camera refused keeps
        // the glyph and is tried again on the next pass.
        int32_t pressed = 0;
        if (!FocusMemorised) {
            if (depthTest)
                CheckResult(SetAperturePreview(0));  // open up to focus
            CheckResult(S1On(FocusPoint.data()));
            pressed = LastResult;
            // Only a focus the camera found is held.
            if (pressed == 0 && ui_->MemoFocus->isChecked()) {
                FocusMemorised = true;
                ui_->MemoFocus->setText(QStringLiteral("Foc mémorisée"));
                ui_->MemoFocus->setStyleSheet(QStringLiteral("color: #008c00;"));
            }
        }
        if (pressed == 0)
            SetShutterGlyph(gClic1);
        ui_->InfoStatut->setText(orka::WarningText(Status.warnings));

        if (!PumpOnce())
            return;
        if (!FocusMemorised)
            CheckResult(S1Off());
        if (pressed == 0 && LastResult == 0) {
            SetShutterGlyph(gClic2);
            HalfPressed = true;
        }
    }
    // Stopped down while the mouse rests here: the preview shows the depth of field.
    if (ui_->TestProfChamp->isChecked() && LiveViewOn)
        CheckResult(SetAperturePreview(1));
}

void TBase::PriseVueMouseDown() {
    (void)TakePictures();
}

bool TBase::TakePictures() {
    if (!Connected || activities_->SkipsRelease())
        return true;
    const orka::ActivityScope release(activities_, orka::Activity::Release);

    if (Status.aperturePreview == 1) {
        CheckResult(SetAperturePreview(0));
        const auto deadline = Clock::now() + kAperturePreviewLimit;
        GetCameraStatusData(&Status);
        while (Status.aperturePreview != 0 && Clock::now() < deadline)
            GetCameraStatusData(&Status);
        if (Status.aperturePreview != 0)
            CheckResult(1);  // the camera did not open up: latch it and go on
    }

    // Bracketing takes three pictures; any other drive mode one.
    const int pictures = Status.driveMode == orka::kDriveBracketing ? 3 : 1;
    const bool series = Status.driveMode == orka::kDriveBracketing;

    if (orka::ShootingModeOf(ui_->MonoMultiVue->itemIndex()).box == orka::ModeBox::SelfTimer)
        BlockUntil(Clock::now() + std::chrono::milliseconds(int64_t{SelfTimerDelay} * 1000 + 1),
                   QStringLiteral("Retardateur : déclenchement dans %1 s"));

    // A held focus ("Mémo focus") keeps the camera half-pressed already.
    const auto pressedAlready = [this] { return HalfPressed || FocusMemorised; };
    for (int i = 1; i <= pictures; ++i) {
        if (!pressedAlready()) {
            CheckResult(S1On(FocusPoint.data()));
            SetShutterGlyph(gClic2);
        }
        CheckResult(CaptureImage(0));
        if (AfterViewOn && !ShowAfterView())
            return false;
        CheckResult(TerminateCaptureImage());
        if (LastResult == 0)
            SetShutterGlyph(series ? gImg1Ok + i - 1 : gClicOk);
        if (!PumpOnce())
            return false;
        if (!Connected)
            break;  // disconnected from a nested handler
        if (!pressedAlready())
            CheckResult(S1Off());
    }
    return true;
}

// Shows the picture just taken and asks whether to keep it.
bool TBase::ShowAfterView() {
    CheckResult(AfterViewGetInfo(&LiveInfo));
    bool shown = false;
    if (LastResult == 0 && LiveInfo.size > 0 && LiveInfo.size <= kMaxAfterViewBytes) {
        FrameBuffer.resize(LiveInfo.size);
        CheckResult(AfterViewGetFrame(FrameBuffer.data(), LiveInfo.size));
        if (LastResult == 0 && DecodeFrame(false)) {
            ShowLiveImage();
            ui_->LiveView->repaint();
            ui_->ImgHisto->repaint();
            shown = true;
        }
    }
    if (shown)
        BlockUntil(Clock::now() + kAfterViewPause,
                   QStringLiteral("Image prise : la question suit dans %1 s"));

    // The box is the window's child: if a handler run by its own event loop
    // destroys the window, the box goes with it.
    const QPointer<TBase> self(this);
    const QPointer<QMessageBox> box =
        new QMessageBox(QMessageBox::Question, windowTitle(),
                        QStringLiteral("Enregistrer cette image ?"), QMessageBox::NoButton, this);
    QPushButton* yes = box->addButton(QStringLiteral("Oui"), QMessageBox::YesRole);
    box->addButton(QStringLiteral("Non"), QMessageBox::NoRole);
    box->setDefaultButton(yes);
    box->exec();
    if (!self)
        return false;
    if (!box)
        return true;
    const bool keep = box->clickedButton() == yes;
    delete box;
    CheckResult(AfterViewConfirmation(keep ? 1 : 0));
    return true;
}

void TBase::MemoFocusClick() {
    if (ui_->MemoFocus->isChecked())
        return;
    // The camera still holds the half press of the memorised focus: let go.
    const bool held = FocusMemorised;
    FocusMemorised = false;
    ui_->MemoFocus->setText(QStringLiteral("Mémo focus"));
    ui_->MemoFocus->setStyleSheet(QString());
    if (held && Connected) {
        CheckResult(S1Off());
        HalfPressed = false;
    }
}
