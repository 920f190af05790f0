// The common ground of the window's Qt Test classes: the window under test,
// its controls found by the names the form gives them, observers of its
// state (read-only) and a few named actions, each what a camera, a frame or
// the window's own timer would do. TBase names this class its friend; the
// test classes reach the window through it only.
#pragma once

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QObject>
#include <QSettings>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

#include "CameraLink.h"
#include "Connection.h"
#include "EventPump.h"
#include "IdleRefresh.h"
#include "LiveView.h"
#include "MotionTrigger.h"
#include "OrkaCapture.h"
#include "PictureReview.h"
#include "RadioGroup.h"
#include "SessionSafety.h"
#include "SessionStrip.h"
#include "SettingsControls.h"
#include "SettingsTab.h"
#include "StatusPanel.h"
#include "TriggerSchedule.h"

// The texts a label was painted with, in order (repeats dropped): what the
// user saw while the window handled no message.
class TPaintedTexts : public QObject {
  public:
    explicit TPaintedTexts(QLabel* label) : QObject(label) { label->installEventFilter(this); }
    QStringList texts;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            const QString text = static_cast<QLabel*>(watched)->text();
            if (texts.isEmpty() || texts.last() != text)
                texts << text;
        }
        return QObject::eventFilter(watched, event);
    }
};

// No Q_OBJECT here: it adds nothing to the test classes' meta-objects.
class TWindowTest : public QObject {
  protected:
    TBase* base = nullptr;     // the window under test, made by each test class
    bool keepChoices = false;  // OpenWindow starts from what the last window remembered

    // The control called name, or null (with a warning) when the form has no
    // control of that name and type.
    template <typename T>
    T* get(const char* name) const {
        T* w = base->findChild<T*>(QLatin1String(name));
        if (!w)
            qWarning("no control %s of the expected type", name);
        return w;
    }

    // A new window, shown; true once it is on screen. beforeShow runs
    // between the creation and the first show (clock, hooks, folder).
    bool OpenWindow(const std::function<void()>& beforeShow = {}) {
        if (!keepChoices)  // the choices a window before this one remembered go
            QSettings(QStringLiteral("PCOrka"), QStringLiteral("PCOrka"))
                .remove(QStringLiteral("Choix"));
        base = new TBase;
        if (beforeShow)
            beforeShow();
        base->show();
        return QTest::qWaitForWindowExposed(base);
    }
    // The user's choice of item in a radio group (which may be disabled, as
    // MonoMultiVue before connecting): the item selected, its handler run.
    void ChooseItem(const char* group, int item) {
        auto* radio = get<TRadioGroup>(group);
        radio->setItemIndex(item);
        Q_EMIT radio->clicked(item);
    }
    // A mouse event on the preview at (x, y), sent as it is (QTest would
    // take (0, 0) for the widget's centre).
    void MouseOnPreview(QEvent::Type type, int x, int y, Qt::MouseButtons held) {
        QLabel* live = get<QLabel>("LiveView");
        QMouseEvent event(type, QPointF(x, y), live->mapToGlobal(QPointF(x, y)), Qt::LeftButton,
                          held, Qt::NoModifier);
        QApplication::sendEvent(live, &event);
    }
    // A drag of the left button on the preview (the detection rectangle in
    // the event mode).
    void DragOnPreview(int x1, int y1, int x2, int y2) {
        MouseOnPreview(QEvent::MouseButtonPress, x1, y1, Qt::LeftButton);
        MouseOnPreview(QEvent::MouseMove, x2, y2, Qt::LeftButton);
        MouseOnPreview(QEvent::MouseButtonRelease, x2, y2, Qt::NoButton);
    }
    // Deletes the window (which disconnects when connected).
    void DeleteWindow() {
        delete base;
        base = nullptr;
    }

    // ---- observers ----
    const orka::CameraState& Camera() const { return base->camera_; }
    const orka::LiveViewState& Live() const { return base->live_; }
    const orka::ShutterState& Shutter() const { return base->shutter_; }
    const orka::FocusState& Focus() const { return base->focus_; }
    const orka::ColourState& Colour() const { return base->colour_; }
    const orka::DetectionState& Motion() const { return base->detection_; }
    const orka::IntervalState& Interval() const { return base->interval_; }
    const orka::VideoState& Video() const { return base->video_; }
    const orka::ReadoutState& Readout() const { return base->readout_; }
    const orka::ScheduleState& Schedule() const { return base->schedule_; }
    const GlyphSet& Glyphs() const { return base->Glyphs; }
    std::pair<QPixmap, QPixmap> ConnectionGlyphs() const {
        return {base->GlyphBtnOff, base->GlyphBtnOn};
    }
    TSessionStrip* Strip() const { return base->strip_; }
    TPictureReview* Review() const { return base->pictureReview_.get(); }
    TSessionSafety& Safety() const { return *base->sessionSafety_; }
    TParamPgm* ParamPgm() const { return base->triggerSchedule_->ParamPgm(); }
    TInfosPgm* InfosPgm() const { return base->settingsTab_->InfosPgm(); }
    bool ScheduleAllowsTrigger() const { return base->triggerSchedule_->ScheduleAllowsTrigger(); }

    // ---- named actions ----
    // What the idle timer runs.
    void IdleRefresh() { base->idleRefresh_->IdleRefresh(); }
    // What a part says in the status area.
    void Say(const orka::StatusKind& kind, const QString& text) {
        base->statusPanel_->Say(kind, text);
    }
    // What the timer of the look for a camera runs.
    void SearchTick() { base->connection_->SearchTick(); }
    bool Searching() const { return base->connection_->Searching(); }
    // A library call that returned result.
    int32_t CheckResult(int32_t result) { return base->cameraLink_->CheckResult(result); }
    // The clock of the automation.
    void SetTickSource(orka::TickClock::TickSource source) {
        base->clock_.SetSource(std::move(source));
    }
    // The window's modal dialogs, replaced.
    TEventPump::DialogHooks& DialogHooks() { return base->eventPump_->Hooks(); }
    // A live-view frame of w x h as the camera delivers it; false when it is
    // corrupt.
    bool ShowFrame(uint32_t w, uint32_t h, std::vector<uint8_t> jpeg) {
        return base->liveView_->ShowCameraFrame(w, h, std::move(jpeg));
    }
    // The read-outs of a status record, as the idle refresh shows them
    // (connected: the battery, focus distance, depth of field, grey sample
    // and schedule lamp too).
    void ShowReadouts(const CameraStatusData& status, bool connected) {
        base->idleRefresh_->ShowStatusReadouts(status);
        if (connected)
            base->idleRefresh_->ShowConnectedReadouts(status);
    }
    // A new connection's read-outs: drawn whatever they showed.
    void ResetReadouts() { base->idleRefresh_->ResetReadouts(); }
    // The live view stopped, as a disconnect or a template's load stops it.
    void StopLiveView() {
        if (base->liveView_->Running())
            base->liveView_->ToggleLiveView();
    }
    // Runs f inside a live-view loop of the window (connected: the loop runs
    // until something stops it), then stops the loop.
    void InsideLiveView(const std::function<void()>& f) {
        QTimer::singleShot(0, base, [this, f] {
            f();
            StopLiveView();
        });
        base->liveView_->ToggleLiveView();
    }
    // A settings record applied (a template, or the settings at connection).
    uint8_t ApplySettingsRecord(const CameraStatusData& record, uint8_t& restore) {
        return base->settingsControls_->ApplySettingsRecord(record, restore);
    }
    // The analysis of a frame in the event mode, as the live view hands it
    // over: the rectangle's brightness, then the window's detection step.
    void MotionFrame(const std::vector<int32_t>& luma) {
        orka::MotionDetector* detector = base->motionTrigger_->DetectorForFrame();
        QCOMPARE(luma.size(), detector->RoiLumaValues().size());
        detector->ExchangeBlockArrays();
        std::copy(luma.begin(), luma.end(), detector->RoiLuma());
        base->motionTrigger_->DetectionAfterAnalyse();
    }
};
