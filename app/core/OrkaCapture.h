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
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "fotolien.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QTimer;
class TInfosPgm;

namespace Ui {
class TBase;
}

class TBase : public QWidget {
    Q_OBJECT

  public:
    explicit TBase(QWidget* parent = nullptr);
    ~TBase() override;

    // Client width of the window for the small (320 x 240) and the large
    // (544 x 408) preview; the right-hand controls keep their distance to
    // the right edge.
    static constexpr int kClientWidthSmall = 687;
    static constexpr int kClientWidthLarge = 911;
    static constexpr int kClientHeight = 586;
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

    // ---- state of the application -------------------------------------
    CameraStatusData Status{};           // live copy of the camera status
    CameraStatusData StatusAtConnect{};  // Status right after connecting
    int32_t LastResult = 0;              // result of the last library call
    uint8_t ErrorLatch = 0;              // 1 once a call failed, until cleared
    bool Connected = false;              // camera open and in PC-control mode
    bool LiveViewOn = false;             // live-view loop marked running
    LiveViewInfo LiveInfo{};
    int32_t PreviewWidth = 320;
    int32_t PreviewHeight = 240;

    // Points: camera frame coordinates (3264 x 2448) or preview pixels.
    int32_t FocusPoint[2] = {1632, 1224};
    int32_t FocusMark[2] = {160, 120};
    int32_t DrawnFocusMark[2] = {160, 120};
    int32_t GreyPoint[2] = {0, 0};

    // Frame pipeline.
    std::vector<uint8_t> FrameBuffer;
    std::vector<uint8_t> RotateBuffer;
    QImage WorkBitmap;
    std::array<uint32_t, 8> FrameIntervals{};

    // Shutter.
    bool HalfPressed = false;
    bool RefocusPending = false;
    bool FocusMemorised = false;
    bool AfterViewOn = false;

    // What the read-outs show, so that they are redrawn only on change.
    int32_t ShownBattery = -1;
    int32_t ShownFlash = 0;
    int32_t ShownMacro = 0;
    uint8_t LampState = 0;

    // Motion detection.
    struct TCorners {
        int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    };
    bool RoiThumbDirty = false;
    bool JustTriggered = false;
    TCorners RoiSmall, RoiLarge, RoiThumb;
    std::vector<int32_t> RoiLuma;
    std::array<std::vector<int32_t>, 2> BlockSums;
    std::vector<double> BlockDiffs;
    std::array<long double, 4> DeviationHistory{};
    uint32_t DeviationCount = 0;

    // Automation, each value as its edit box last validated it.
    int32_t SelfTimerDelay = 2;    // s
    int32_t IntervalTotal = 2;     // shots
    int32_t IntervalSeconds = 10;  // s between shots
    int32_t IntervalDelay = 0;     // s before the first shot
    int32_t IntervalShots = 0;
    uint32_t IntervalStart = 0;  // s of the tick counter, 0 = no sequence
    int32_t VideoDuration = 0;   // s, 0 = unlimited
    int32_t VideoDelay = 0;      // ms
    uint32_t VideoStart = 0;     // ms of the tick counter, 0 = no recording

    // Focus and depth of field.
    bool SavedSpotLink = false;  // FFPetSpotAE while manual focus is on
    int32_t FocalLength = 50;    // mm, 24 x 36 equivalent
    long double HyperfocalDistance = 0;
    long double NearLimit = 0;
    long double FarLimit = 0;
    uint32_t CustomWBWord = 0;

    // Bitmaps, loaded by resource name.
    std::array<QPixmap, gGlyphCount> Glyphs;
    QPixmap GlyphBtnOff, GlyphBtnOn;

    // ---- window ------------------------------------------------------------
    void FormCreate();
    void FormClose();
    void CheckResult(int32_t result);
    void InfoErreurClick();
    void FormShortCut(int key);
    void ShowHelp(int context);
    void VisuInfoBulleClick();
    bool HintsShown() const { return hintsShown_; }
    // Lays the window out for the preview size: 0 small, 1 large.
    void LayoutForPreviewSize(int item);

    // ---- connection and polling -------------------------------------------
    void ConnectAPNClick();
    uint8_t ConnectCamera();
    uint8_t PushAllSettings();
    bool DisconnectCamera();
    void IdleRefresh();

    // ---- " Image ", " Exposition " and " Flash " ----------------------------
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

    // ---- settings tab, configuration templates, help and about (window) ----
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
    // Shows a status record in the controls and sends it through their
    // handlers; restore receives the low byte of param13. 1 when no camera
    // call failed (ErrorLatch clear at the end), else 0.
    uint8_t ApplySettingsRecord(const CameraStatusData& record, uint8_t& restore);
    TInfosPgm* InfosPgm() const { return infosPgm_; }

    // Dialogs of the settings tab. Empty: the real dialogs; tests put their
    // own here. The choosers return an empty path when the user cancels.
    enum class TMessageKind { Warning, Error };
    std::function<QString(const QString& start)> ChooseDirectoryHook;
    std::function<QString()> ChooseTemplateToSaveHook;
    std::function<QString()> ChooseTemplateToOpenHook;
    std::function<void(TMessageKind kind, const QString& text)> ShowMessageHook;

    // TEMPORARY (settingswin): handlers of the live-view and automation
    // blocks, declared here until those blocks land; stubbed in
    // TempHooks_settingswin.cpp. Delete these lines when the real ones arrive.
    void RCouleurChange();
    void RNetteteChange();
    void FCoulChange();
    void SatChange();
    void ContrChange();
    void BalBlancChange();
    void ModeMFClick();
    void ModeFFPClick();
    void ToggleLiveView();
    void MonoMultiVueClick();

    // ---- numeric edit boxes ---------------------------------------------------
    // Each box filters its digits as they are typed and checks its range one
    // second after the last key release; these store the value it accepted.
    void RetDeclKeyUp(int seconds);
    void eNbImgTKeyUp(int shots);
    void eDepImgKeyUp(int minutes);
    void eInterImgKeyUp(int seconds);
    void eDureeVideoKeyUp(int seconds);
    void eDepVideoKeyUp(int minutes);
    void eDFocKeyUp(int millimetres);

    Ui::TBase* form() const { return ui_.get(); }

  Q_SIGNALS:
    // F1 asked for the help topic of this context.
    void helpRequested(int context);

  protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void FillLists();
    void FitTabCaptions();
    void ConnectHandlers();
    void ConnectExposureHandlers();
    void ConnectSettingsTabHandlers();
    void ShowMessage(TMessageKind kind, const QString& text);
    void ConnectNumericEdits();
    void SetInfoConnect(const QString& text, const QColor& colour);
    void SetErrorIndicator(const QString& text);
    void ShowManualFocusDistance();
    bool WaitForPendingFiles();

    std::unique_ptr<Ui::TBase> ui_;
    QTimer* idleTimer_ = nullptr;
    bool hintsShown_ = true;
    bool closing_ = false;
    bool busy_ = false;  // ConnectAPNClick is connecting or disconnecting
    TInfosPgm* infosPgm_ = nullptr;  // the about box, owned by the window
    // Design x of every right-anchored control, against the design width.
    std::vector<std::pair<QWidget*, int>> rightAnchored_;
};
