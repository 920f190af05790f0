// TBase, the main window of PCOrka: every control of the application, the
// application's run-time state and the handlers of its controls.
//
// All work runs on the user-interface thread: in the handlers, in
// IdleRefresh (run by a 50 ms timer and by the live-view loop once per
// frame) and in the live-view loop. Every call into Fotolien passes its
// result straight to CheckResult.
//
// Handlers follow the toolkit's semantics of change signals:
//  - list boxes run their handler on a choice of the user only (`activated`);
//    code that selects an entry runs the handler itself when it must;
//  - check boxes, radio buttons and track bars run their handler on every
//    change of state, from the user or from code (`toggled`, `valueChanged`);
//  - push and tool buttons run theirs on a click of the user only.
#pragma once

#include <QImage>
#include <QPixmap>
#include <QWidget>

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <vector>

#include "Activity.h"
#include "SessionPictures.h"
#include "TBaseState.h"

class QColor;
class QLabel;
class QLineEdit;
class QPainter;
class QTimer;
class TInfosPgm;
class TSessionStrip;
class TParamPgm;

namespace orka {
class FrameDecoder;
class TNumericEdit;
}  // namespace orka

namespace Ui {
class TBase;
}

class TLiveInput;
class TWindowTest;

// The state lives in the plain structs of TBaseState.h, each with its rule;
// they are private bases so that the handlers name their fields directly.
class TBase : public QWidget,
              private orka::CameraState,
              private orka::LiveViewState,
              private orka::ShutterState,
              private orka::DetectionState,
              private orka::AutomationState,
              private orka::ReadoutState {
    Q_OBJECT
    // The window tests reach the state and the handlers through this one
    // base class (tests/window/WindowTest.h).
    friend class TWindowTest;
    friend class TLiveInput;

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

    // Indexes into Glyphs.
    enum GlyphIndex {
        gClic0,
        gClic1,
        gClic2,
        gClicOk,
        gImg1Ok,
        gImg2Ok,
        gImg3Ok,
        gBattPlein,
        gBattDemi,
        gBattVide,
        gLampOff,
        gLampOn,
        gGlyphCount
    };

    // Read-only observations, for programs that measure the window.
    bool IsConnected() const { return Connected; }
    uint64_t FramesShownCount() const { return FramesShown; }
    QSize PreviewSize() const { return {PreviewWidth, PreviewHeight}; }

    // Dialogs of the settings tab. Empty: the real dialogs; tests put their
    // own in the hooks. The choosers return an empty path when the user
    // cancels.
    enum class MessageKind { Warning, Error };
    // The tick counter the automation times itself with, in milliseconds; it
    // never reads 0 (0 marks "no sequence" in IntervalStart and VideoStart).
    // Replaceable so that tests can drive the clock.
    using TickSource = std::function<uint32_t()>;

  Q_SIGNALS:
    // F1 asked for the help topic of this context.
    void helpRequested(int context);
    // PriseVue now shows this Glyphs entry.
    void shutterGlyphChanged(int glyph);

  protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // The library's result for "no camera connection".
    static constexpr int32_t kNoCamera = 4;

    // The trigger schedule dialog, kept for the window's lifetime.
    TParamPgm* ParamPgm = nullptr;

    // Bitmaps, loaded by resource name.
    std::array<QPixmap, gGlyphCount> Glyphs;
    QPixmap GlyphBtnOff, GlyphBtnOn;

    std::function<QString(const QString& start)> ChooseDirectoryHook;
    std::function<QString()> ChooseTemplateToSaveHook;
    std::function<QString()> ChooseTemplateToOpenHook;
    std::function<void(MessageKind kind, const QString& text)> ShowMessageHook;

  private Q_SLOTS:
    // The handlers of the controls, connected in FormCreate. Called from code
    // as well, as the design does (see the semantics above).
    void InfoErreurClick();
    void VisuInfoBulleClick();
    void ConnectAPNClick();

    // " Image ", " Exposition " and " Flash "
    void QualImgChange();
    void DefImgChange();
    void ISOImgChange();
    void ModeAPNChange();
    void MesAPNChange();
    void VitAPNChange();
    void OuvAPNChange();
    void CompExpChange();
    void CompFlashChange();
    void MFlashAPNChange();
    void CFlashAPNChange();

    // The settings tab, configuration templates, help and about.
    void SynchroNowClick();
    void NomRepClick();
    void NomRepKeyUp(int key);
    void PrefixImgChange();
    void SonMapChange();
    void SonDeclChange();
    void AProposClick();
    void AideClick();
    void EnrgModeleClick();
    void OuvrModeleClick();
    // With a sender (a click, or the program right after connecting): back to
    // the settings the camera had after connecting. Without: unchecks the box.
    void ModDefautMouseUp(QObject* sender);

    // Numeric edit boxes: each filters its digits as they are typed and
    // checks its range one second after the last key release; these store
    // the value it accepted.
    void RetDeclKeyUp(int seconds);
    void eNbImgTKeyUp(int shots);
    void eDepImgKeyUp(int minutes);
    void eInterImgKeyUp(int seconds);
    void eDureeVideoKeyUp(int seconds);
    void eDepVideoKeyUp(int minutes);
    void eDFocKeyUp(int millimetres);

    // Shooting modes, intervalometer, schedule, detection, video.
    // MonoMultiVue: drive mode, running sequences stopped, the mode's box
    // shown and reset, the window caption.
    void MonoMultiVueClick();
    // Intervalometer. Called with fromUser false (no sender) it always stops.
    void SeqInterVClick(bool fromUser = false);
    void PrgmEventClick();
    void SeuilChange();
    void DetectEventClick(bool fromUser = false);
    // Video sequence. Called with fromUser false (no sender) it always stops.
    void SeqVideoClick(bool fromUser = false);

    // Live view, shutter, focus and colour.
    void PreVisuActifClick();
    void PostVisuActifClick();
    void ImgHorz0Click();
    void ImgVertGClick();
    void DimPreViewClick();
    void PriseVueMouseDown();  // the full press; the intervalometer calls it too
    void MemoFocusClick();
    void ModeMFClick();
    void ModeFFPClick();
    // Without a sender (the settings push): the link starts off.
    void FFPetSpotAEClick();
    void FocMMouseDown();
    void FocPMouseDown();
    void FocPMouseUp();
    void RCouleurChange();
    void RNetteteChange();
    void FCoulChange();
    void SatChange();
    void ContrChange();
    void BalBlancChange();
    void TCoulChange();
    void ICCChange();
    void DefWBClick();
    void AppliquerClick();

  private:
    // ---- window ------------------------------------------------------------
    void FormCreate();
    void FormClose();
    void CheckResult(int32_t result);
    void FormShortCut(int key);
    void ShowHelp(int context);
    bool HintsShown() const { return hintsShown_; }
    // Lays the window out for the preview size: 0 small, 1 large.
    void LayoutForPreviewSize(int item);
    TInfosPgm* InfosPgm() const { return infosPgm_; }

    // ---- connection and polling -------------------------------------------
    uint8_t ConnectCamera();
    uint8_t PushAllSettings();
    bool DisconnectCamera();
    // The window's side of leaving a connection: controls back to their
    // disconnected state.
    void LeaveConnection();
    // The camera answered "no camera" while connected (unplugged, switched
    // off): the connection is left at once, without waiting for files.
    void CameraGone();
    // Puts the pictures the library saved since the last look in the strip,
    // once each, and the place of the newest in the status area.
    void NoteSavedPicture();
    // Where the library saves (NomRep, PrefixImg): told to the library and
    // to the session's pictures.
    void SendSaveTarget();
    void IdleRefresh();

    // Shows a status record in the controls and sends it through their
    // handlers; restore receives the low byte of param13. 1 when no camera
    // call failed (ErrorLatch clear at the end), else 0.
    uint8_t ApplySettingsRecord(const CameraStatusData& record, uint8_t& restore);

    // ---- shooting modes, intervalometer, schedule, detection, video ----
    void SetTickSource(TickSource source);
    uint32_t TickCount() const;
    void IntervalTick();
    void ShowProgDHHelp();
    bool ScheduleAllowsTrigger() const;
    void ResetDetection();
    void ClearRoiThumbnail();
    void DrawRoiThumbnail();
    void DrawRoiThumbnailIfDirty();
    void DrawDetectionOverlay(QPainter& painter);
    void DetectionAfterAnalyse();
    void RoiMouseDownEvent(Qt::MouseButton button, int x, int y);
    void RoiMouseMoveEvent(Qt::MouseButtons buttons, Qt::KeyboardModifiers mods, int x, int y);
    void RoiMouseUpEvent(int x, int y);
    void LoadDetectionRectangle(int previewSizeItem);
    void VideoTick();

    // ---- live view, histogram, shutter, focus, colour ----
    bool EventModeSelected() const;               // MonoMultiVue item 3
    orka::AssistSettings AssistSettings() const;  // the controls of "Présentation"
    orka::Orientation CurrentOrientation() const;
    void ToggleLiveView();
    // The live view runs exactly when a camera is connected and
    // "Prévisualisation active" is checked: started or stopped to match.
    void FollowPreviewBox();
    // Decodes FrameBuffer into LiveImage and analyses it; false when the
    // frame is corrupt (LiveView keeps showing the previous picture).
    // liveFrame is false for the after-view picture, which is not watched for
    // motion.
    bool DecodeFrame(bool liveFrame = true);
    void ApplyFrameSize();
    // The camera-frame point of preview point (x, y), into target.
    void PreviewToCamera(int x, int y, std::array<int32_t, 2>& target) const;
    void LiveViewMouseDown(Qt::MouseButton button, Qt::MouseButtons buttons, int x, int y);
    void LiveViewMouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers mods, int x, int y);
    void LiveViewMouseUp(int x, int y);
    void DrawReticle(QPainter& painter) const;
    void DrawGrid(QPainter& painter) const;
    double FrameRate();
    void SetShutterGlyph(int glyph);
    void ShowDepthOfField(uint32_t distanceMm, int apertureIndex);
    // The filter track bar's value sent as the filter of this colour mode:
    // the black and white filter or the colour filter.
    void SendColourFilter(int32_t colourMode);
    void ClearGreySample();

    // ---- re-entrancy (the rule is written in Activity.h) ----
    // What the window is doing; shared with the scopes that mark it.
    std::shared_ptr<orka::Activities> activities_ = std::make_shared<orka::Activities>();
    // Handles the window messages waiting; false when a handler run from
    // here destroyed the window: the caller returns at once, touching nothing.
    [[nodiscard]] bool PumpOnce();
    // Waits without handling any message: nothing may run in between. A
    // countdown text (with %1 for the seconds left) is repainted in the
    // status area each second, so that the window does not seem dead.
    void BlockUntil(std::chrono::steady_clock::time_point deadline,
                    const QString& countdown = QString());
    // Says something in the status area at once, even while the window
    // handles no message.
    void SayNow(const QString& text);
    // The full press; false when the window was destroyed meanwhile.
    [[nodiscard]] bool TakePictures();
    // The after-view picture and its question; false as above.
    [[nodiscard]] bool ShowAfterView();

    void FillLists();
    void FitTabCaptions();
    void ConnectHandlers();
    void ConnectExposureHandlers();
    void ConnectSettingsTabHandlers();
    void ShowMessage(MessageKind kind, const QString& text);
    void ConnectNumericEdits();
    void SetInfoConnect(const QString& text, const QColor& colour);
    void SetErrorIndicator(const QString& text);
    void ShowManualFocusDistance();
    void ShowScheduleIndicator();
    void WaitForPendingFiles();

    // Live view, shutter, focus and colour (TBaseLiveView.cpp,
    // TBaseShutter.cpp, TBaseFocus.cpp, TBaseColour.cpp).
    void SetUpLiveView();
    void SetUpFocus();
    void SetUpColour();
    void LiveViewFrame();
    void DrawOverlays();
    void ShowLiveImage();
    void BlankLiveView();
    void LayoutLiveView(int width, int height);
    void HalfPressRefresh();
    bool MouseOverShutter() const;
    void ShowGreySample();
    void SendSpotLink();
    void SendCustomWB();

    // ---- shooting modes, intervalometer, schedule, detection, video ----
    void InitAutomation();  // FormCreate
    void ConnectAutomationHandlers();
    void MapDetectionRectangle(int previewSizeItem);
    void ShowAutomationError(const QString& text);
    void ValidatePendingEdits(std::initializer_list<QLineEdit*> boxes);
    void StopIntervalSequence();
    void StartVideo();
    void StopVideo();
    TickSource tickSource_;
    QTimer* intervalTimer_ = nullptr;  // evaluates IntervalTick once a second
    uint32_t intervalRun_ = 0;         // counts the starts of the intervalometer
    int mappedItem_ = -1;              // preview size and orientation of Detector's rectangle
    orka::Orientation mappedOrientation_ = orka::Orientation::Normal;

    std::unique_ptr<Ui::TBase> ui_;
    std::unique_ptr<orka::FrameDecoder> frameDecoder_;
    QObject* liveInput_ = nullptr;  // mouse events of LiveView, PriseVue, FocM, FocP
    QTimer* idleTimer_ = nullptr;
    bool hintsShown_ = true;
    TInfosPgm* infosPgm_ = nullptr;          // the about box, owned by the window
    TSessionStrip* strip_ = nullptr;         // the session's pictures, owned by the window
    orka::SessionPictures sessionPictures_;  // every file the library saved
    // Design x of every right-anchored control, against the design width.
    std::vector<std::pair<QWidget*, int>> rightAnchored_;
};
