// TBase, the main window of PCOrka: every control of the application, the
// application's run-time state and, in the parts it owns, the handlers of its
// controls.
//
// All work runs on the user-interface thread: in the handlers, in the idle
// refresh (run by a 50 ms timer and by the live-view loop once per frame)
// and in the live-view loop. Every call into Fotolien passes its result
// straight to TCameraLink::CheckResult.
//
// The state is in the plain structs of TBaseState.h, one per concern, held
// here as members (camera_, live_, ...); each is written by one part only,
// which receives it by reference, and read by the others through const
// references. The parts are small objects owned by TBase, one per subject;
// a part calls only the parts below it in the list of members, and tells
// the ones above through signals that TBase connects.
//
// Handlers follow the toolkit's semantics of change signals:
//  - list boxes run their handler on a choice of the user only (`activated`);
//    code that selects an entry runs the handler itself when it must;
//  - check boxes, radio buttons and track bars run their handler on every
//    change of state, from the user or from code (`toggled`, `valueChanged`);
//  - push and tool buttons run theirs on a click of the user only.
#pragma once

#include <QPixmap>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "Glyphs.h"
#include "TBaseState.h"
#include "TickClock.h"

class QTimer;
class TCameraLink;
class TChoicesMemory;
class TColourControls;
class TConnection;
class TEventPump;
class TExposureControls;
class TFocusControls;
class TIdleRefresh;
class TIntervalSequence;
class TKeyboard;
class TLiveView;
class TModeChoice;
class TPictureReview;
class TMotionTrigger;
class TSavedPictures;
class TSessionSafety;
class TSessionStrip;
class TSettingsControls;
class TSettingsTab;
class TShutter;
class TStatusPanel;
class TTemplates;
class TTriggerSchedule;
class TVideoSequence;
class TWindowTest;

namespace Ui {
class TBase;
}

class TBase : public QWidget {
    Q_OBJECT
    // The window tests observe the state and run a few named actions through
    // this one base class (tests/window/WindowTest.h).
    friend class TWindowTest;

  public:
    explicit TBase(QWidget* parent = nullptr);
    ~TBase() override;

    // Client width of the window for the small (320 x 240) and the large
    // (544 x 408) preview; the right-hand controls keep their distance to
    // the right edge.
    static constexpr int kClientWidthSmall = 687;
    static constexpr int kClientWidthLarge = 911;
    static constexpr int kClientHeight = 586;
    // The strip of the session's pictures, between the controls and the
    // status panels, adds this much to the design's height.
    static constexpr int kStripHeight = 100;
    // Period of the idle refresh when nothing else drives it.
    static constexpr int kIdlePeriodMs = 50;

    // Indexes into the glyphs (TBase::gClic0 ...).
    using enum GlyphIndex;

    // Read-only observations, for programs that measure the window.
    bool IsConnected() const { return camera_.Connected; }
    uint64_t FramesShownCount() const { return live_.FramesShown; }
    QSize PreviewSize() const { return {live_.PreviewWidth, live_.PreviewHeight}; }

  Q_SIGNALS:
    // F1 asked for the help topic of this context.
    void helpRequested(int context);
    // PriseVue now shows this glyph.
    void shutterGlyphChanged(int glyph);

  protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void FormCreate();
    void FormClose();
    void FormShortCut(int key);
    void ShowHelp(int context);
    void VisuInfoBulleClick();
    void InfoErreurClick();
    // Lays the window out for the preview size: 0 small, 1 large.
    void LayoutForPreviewSize(int item);
    void PlaceStrip(bool large);
    void FitTabCaptions();
    void CreateParts();
    void ConnectNumericEdits();

    // ---- state, one struct per concern (TBaseState.h) ----
    orka::CameraState camera_;
    orka::LiveViewState live_;
    orka::ShutterState shutter_;
    orka::FocusState focus_;
    orka::ColourState colour_;
    orka::DetectionState detection_;
    orka::IntervalState interval_;
    orka::VideoState video_;
    orka::ReadoutState readout_;
    orka::ScheduleState schedule_;

    // ---- the form and what the parts share ----
    std::unique_ptr<Ui::TBase> ui_;
    GlyphSet Glyphs;
    QPixmap GlyphBtnOff, GlyphBtnOn;
    orka::TickClock clock_;           // the automation's tick counter
    QTimer* idleTimer_ = nullptr;     // runs the idle refresh
    TSessionStrip* strip_ = nullptr;  // the session's pictures, a child of the window
    bool hintsShown_ = true;
    int statusRowY_ = 0;  // design y of the status panels
    // Design x of every right-anchored control, against the design width.
    std::vector<std::pair<QWidget*, int>> rightAnchored_;

    // ---- the parts, each calling only those above it here ----
    std::unique_ptr<TStatusPanel> statusPanel_;
    std::unique_ptr<TCameraLink> cameraLink_;
    std::unique_ptr<TEventPump> eventPump_;
    std::unique_ptr<TSessionSafety> sessionSafety_;
    std::unique_ptr<TSavedPictures> savedPictures_;
    std::unique_ptr<TExposureControls> exposureControls_;
    std::unique_ptr<TFocusControls> focusControls_;
    std::unique_ptr<TColourControls> colourControls_;
    std::unique_ptr<TTriggerSchedule> triggerSchedule_;
    std::unique_ptr<TVideoSequence> videoSequence_;
    std::unique_ptr<TMotionTrigger> motionTrigger_;
    std::unique_ptr<TLiveView> liveView_;
    std::unique_ptr<TShutter> shutterButton_;
    TKeyboard* keyboard_ = nullptr;  // the window's child
    std::unique_ptr<TIntervalSequence> intervalSequence_;
    std::unique_ptr<TPictureReview> pictureReview_;
    std::unique_ptr<TModeChoice> modeChoice_;
    std::unique_ptr<TSettingsTab> settingsTab_;
    std::unique_ptr<TSettingsControls> settingsControls_;
    std::unique_ptr<TTemplates> templates_;
    std::unique_ptr<TChoicesMemory> choicesMemory_;
    std::unique_ptr<TConnection> connection_;
    std::unique_ptr<TIdleRefresh> idleRefresh_;
};
