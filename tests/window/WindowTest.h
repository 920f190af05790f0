// The common ground of the window's Qt Test classes: the window under test,
// its controls found by the names the form gives them, and the one way into
// the window's private state and handlers (TBase names this class its
// friend; the test classes reach the internals through the accessors below).
#pragma once

#include <QEvent>
#include <QLabel>
#include <QObject>
#include <QTest>

#include <functional>
#include <utility>

#include "OrkaCapture.h"
#include "SessionStrip.h"

// A member function of the window under test, called with any arguments.
#define ORKA_TBASE_CALL(name)                           \
    template <typename... Args>                         \
    decltype(auto) name(Args&&... args) const {         \
        return base->name(std::forward<Args>(args)...); \
    }
// A field of the window's state, by reference.
#define ORKA_TBASE_FIELD(name) \
    auto& name() const {       \
        return base->name;     \
    }

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
    TBase* base = nullptr;  // the window under test, made by each test class

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
        base = new TBase;
        if (beforeShow)
            beforeShow();
        base->show();
        return QTest::qWaitForWindowExposed(base);
    }
    // Deletes the window (which disconnects when connected).
    void DeleteWindow() {
        delete base;
        base = nullptr;
    }

    TSessionStrip* Strip() const { return base->strip_; }

    // Handlers and internals.
    ORKA_TBASE_CALL(ApplyFrameSize)
    ORKA_TBASE_CALL(ApplySettingsRecord)
    ORKA_TBASE_CALL(CheckResult)
    ORKA_TBASE_CALL(ConnectAPNClick)
    ORKA_TBASE_CALL(DecodeFrame)
    ORKA_TBASE_CALL(DetectionAfterAnalyse)
    ORKA_TBASE_CALL(DrawGrid)
    ORKA_TBASE_CALL(DrawReticle)
    ORKA_TBASE_CALL(DrawRoiThumbnailIfDirty)
    ORKA_TBASE_CALL(EnrgModeleClick)
    ORKA_TBASE_CALL(IdleRefresh)
    ORKA_TBASE_CALL(InfoErreurClick)
    ORKA_TBASE_CALL(InfosPgm)
    ORKA_TBASE_CALL(IntervalTick)
    ORKA_TBASE_CALL(LayoutForPreviewSize)
    ORKA_TBASE_CALL(LoadDetectionRectangle)
    ORKA_TBASE_CALL(ModeAPNChange)
    ORKA_TBASE_CALL(MonoMultiVueClick)
    ORKA_TBASE_CALL(OuvrModeleClick)
    ORKA_TBASE_CALL(PreviewToCamera)
    ORKA_TBASE_CALL(RoiMouseDownEvent)
    ORKA_TBASE_CALL(RoiMouseMoveEvent)
    ORKA_TBASE_CALL(RoiMouseUpEvent)
    ORKA_TBASE_CALL(ScheduleAllowsTrigger)
    ORKA_TBASE_CALL(SetTickSource)
    ORKA_TBASE_CALL(ShowDepthOfField)
    ORKA_TBASE_CALL(ToggleLiveView)
    ORKA_TBASE_CALL(VideoTick)

    // State.
    ORKA_TBASE_FIELD(AfterViewOn)
    ORKA_TBASE_FIELD(Assist)
    ORKA_TBASE_FIELD(ChooseDirectoryHook)
    ORKA_TBASE_FIELD(ChooseTemplateToOpenHook)
    ORKA_TBASE_FIELD(ChooseTemplateToSaveHook)
    ORKA_TBASE_FIELD(Connected)
    ORKA_TBASE_FIELD(CustomWB)
    ORKA_TBASE_FIELD(Detector)
    ORKA_TBASE_FIELD(ErrorLatch)
    ORKA_TBASE_FIELD(FocalLength)
    ORKA_TBASE_FIELD(FocusMark)
    ORKA_TBASE_FIELD(FocusMemorised)
    ORKA_TBASE_FIELD(FocusPoint)
    ORKA_TBASE_FIELD(FrameBuffer)
    ORKA_TBASE_FIELD(FramesShown)
    ORKA_TBASE_FIELD(GlyphBtnOff)
    ORKA_TBASE_FIELD(GlyphBtnOn)
    ORKA_TBASE_FIELD(Glyphs)
    ORKA_TBASE_FIELD(GreyPoint)
    ORKA_TBASE_FIELD(HalfPressed)
    ORKA_TBASE_FIELD(Histogram)
    ORKA_TBASE_FIELD(IntervalDelay)
    ORKA_TBASE_FIELD(IntervalSeconds)
    ORKA_TBASE_FIELD(IntervalShots)
    ORKA_TBASE_FIELD(IntervalStart)
    ORKA_TBASE_FIELD(IntervalTotal)
    ORKA_TBASE_FIELD(LampState)
    ORKA_TBASE_FIELD(LastResult)
    ORKA_TBASE_FIELD(LiveImage)
    ORKA_TBASE_FIELD(LiveInfo)
    ORKA_TBASE_FIELD(LiveViewOn)
    ORKA_TBASE_FIELD(ParamPgm)
    ORKA_TBASE_FIELD(PreviewHeight)
    ORKA_TBASE_FIELD(PreviewWidth)
    ORKA_TBASE_FIELD(RefocusPending)
    ORKA_TBASE_FIELD(Roi)
    ORKA_TBASE_FIELD(RoiEditor)
    ORKA_TBASE_FIELD(RoiThumbDirty)
    ORKA_TBASE_FIELD(RoiThumbImage)
    ORKA_TBASE_FIELD(SelfTimerDelay)
    ORKA_TBASE_FIELD(ShowMessageHook)
    ORKA_TBASE_FIELD(ShownBattery)
    ORKA_TBASE_FIELD(ShownGlyph)
    ORKA_TBASE_FIELD(Status)
    ORKA_TBASE_FIELD(StatusAtConnect)
    ORKA_TBASE_FIELD(VideoCompressor)
    ORKA_TBASE_FIELD(VideoDelay)
    ORKA_TBASE_FIELD(VideoDuration)
    ORKA_TBASE_FIELD(VideoFileName)
    ORKA_TBASE_FIELD(VideoOptions)
    ORKA_TBASE_FIELD(VideoStart)
};

#undef ORKA_TBASE_CALL
#undef ORKA_TBASE_FIELD
