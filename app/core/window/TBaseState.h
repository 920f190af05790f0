// The run-time state of the main window, one plain struct per concern. TBase
// holds each of them as a private base, so its handlers name the fields
// directly; nothing outside TBase (and the window tests' friend base) sees
// them. Every field is read and written on the user-interface thread only;
// the rule of each struct says who writes it.
#pragma once

#include <QImage>
#include <QPixmap>
#include <QString>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "AVICompression.h"
#include "Detection.h"
#include "Histogram.h"
#include "InterfaceOrka.h"
#include "LiveAssist.h"
#include "LiveViewMath.h"
#include "UtilsOrka.h"
#include "fotolien.h"

namespace orka {

// The camera as the window knows it. CheckResult writes LastResult and
// ErrorLatch after every library call and refreshes Status while connected;
// the connection writes Connected and StatusAtConnect; InfoErreurClick
// clears the latch. Handlers read Status, never write it, except the
// settings-record application, which starts from the record.
struct CameraState {
    CameraStatusData Status{};           // live copy of the camera status
    CameraStatusData StatusAtConnect{};  // Status right after connecting
    int32_t LastResult = 0;              // result of the last library call
    uint8_t ErrorLatch = 0;              // 1 once a call failed, until cleared
    bool Connected = false;              // camera open and in PC-control mode
    bool CameraLost = false;             // a call answered "no camera" while connected
    QString ShownPartial;                // the cut-off picture last named in the status area
    bool SavedSpotLink = false;          // FFPetSpotAE while manual focus is on
    orka::CustomWB CustomWB;             // the custom white balance last sent
};

// The live-view pipeline: written by the live-view loop (frame, decoding,
// analysis, display) and by the preview size and orientation handlers; the
// points are written by the mouse handlers of the preview.
struct LiveViewState {
    bool LiveViewOn = false;  // live-view loop marked running
    LiveViewInfo LiveInfo{};
    int32_t PreviewWidth = 320;
    int32_t PreviewHeight = 240;

    // Points (x, y): in camera frame coordinates (3264 x 2448) or, for the
    // marks, in preview pixels.
    std::array<int32_t, 2> FocusPoint{1632, 1224};
    std::array<int32_t, 2> FocusMark{160, 120};
    std::array<int32_t, 2> DrawnFocusMark{160, 120};
    std::array<int32_t, 2> GreyPoint{0, 0};

    std::vector<uint8_t> FrameBuffer;  // the compressed frame last received
    QImage WorkBitmap;                 // the decoded frame before it is turned
    // The displayed picture: the decoded frame turned to the orientation
    // chosen, with the overlays drawn over it once the frame is complete.
    QImage LiveImage;
    QImage HistoImage;  // ImgHisto's picture, 256 x 100
    orka::Histogram Histogram;
    // Peaking and clipping marks and channel counts of the last frame
    // decoded, drawn over LiveImage with the other overlays.
    orka::LiveAssist Assist;
    orka::FrameRateMeter FrameIntervals;  // the last eight frame intervals
    uint64_t FramesShown = 0;             // live-view frames shown since the start
};

// The shutter and focus: written by the half press (IdleRefresh), the full
// press, the focus memory and the focus handlers.
struct ShutterState {
    bool HalfPressed = false;
    bool RefocusPending = false;
    bool FocusMemorised = false;
    bool AfterViewOn = false;
    int32_t FocalLength = 50;  // mm, 24 x 36 equivalent
};

// Motion detection: the rectangle being edited, as stored for both preview
// sizes and the thumbnail, and the measure with its buffers. Written by the
// rectangle's mouse handlers, the preview size handlers and, once per frame,
// the analysis.
struct DetectionState {
    orka::TRoiState RoiEditor;
    orka::RoiStore Roi;
    orka::MotionDetector Detector;
    bool RoiThumbDirty = false;
    QImage RoiThumbImage;  // what AffZoneDetect shows
};

// Shooting modes, intervalometer and video: each value as its edit box last
// validated it (written by the boxes' handlers), and the sequences under way
// (written by their start, stop and tick handlers). Times come from the
// window's tick counter, in which 0 never occurs and marks "no sequence".
struct AutomationState {
    int32_t SelfTimerDelay = 2;    // s
    int32_t IntervalTotal = 2;     // shots
    int32_t IntervalSeconds = 10;  // s between shots
    int32_t IntervalDelay = 0;     // s before the first shot
    int32_t IntervalShots = 0;
    uint32_t IntervalStart = 0;  // s of the tick counter, 0 = no sequence
    int32_t VideoDuration = 0;   // s, 0 = unlimited
    int32_t VideoDelay = 0;      // ms
    uint32_t VideoStart = 0;     // ms of the tick counter, 0 = no recording
    std::unique_ptr<orka::VideoRecorder> VideoCompressor;  // exists while recording
    QString VideoFileName;
    orka::TAVIOptions VideoOptions{};
    int32_t SavedQuickCompress = 0;  // the codec setting found when recording started
};

// What the read-outs show, so that they are redrawn only on change, and the
// bitmaps they show. Written by IdleRefresh and the shutter glyph.
struct ReadoutState {
    int32_t ShownBattery = -1;
    int32_t ShownFlash = 0;
    int32_t ShownMacro = 0;
    uint8_t LampState = 0;
    int ShownGlyph = 0;  // Glyphs entry PriseVue shows
};

}  // namespace orka
