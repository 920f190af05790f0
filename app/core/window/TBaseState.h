// The run-time state of the main window, one plain struct per concern. TBase
// holds each of them as a member (camera_, live_, ...) and hands it to the
// one part of the window that writes it, by reference; the parts that only
// read it get a const reference. The rule of each struct names that writer.
// Every field is read and written on the user-interface thread only.
#pragma once

#include <QImage>
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
#include "ShutterKey.h"
#include "UtilsOrka.h"
#include "fotolien.h"

namespace orka {

// The camera as the window knows it. Written by TCameraLink only: its
// CheckResult after every library call (LastResult, ErrorLatch, Status while
// connected, CameraLost), its connection calls (Connected, StatusAtConnect),
// the clearing of the latch, and the status read with a frame or at the
// start of a settings record.
struct CameraState {
    CameraStatusData Status{};           // live copy of the camera status
    CameraStatusData StatusAtConnect{};  // Status right after connecting
    int32_t LastResult = 0;              // result of the last library call
    uint8_t ErrorLatch = 0;              // 1 once a call failed, until cleared
    bool Connected = false;              // camera open and in PC-control mode
    bool CameraLost = false;             // a call answered "no camera" while connected
};

// The live-view pipeline and the points picked on the preview. Written by
// TLiveView only: the loop (frame, decoding, analysis, display), the
// after-view picture, the preview size and orientation handlers and the
// mouse handlers of the preview.
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

    std::vector<uint8_t> FrameBuffer;  // the compressed picture last received
    QImage WorkBitmap;                 // the decoded frame before it is turned
    // The displayed picture: the decoded frame turned to the orientation
    // chosen, with the overlays drawn over it once the frame is complete.
    QImage LiveImage;
    QImage HistoImage;  // ImgHisto's picture, 256 x 100
    orka::Histogram Histogram;
    // Peaking and clipping marks and channel counts of the last frame
    // decoded, drawn over LiveImage with the other overlays.
    orka::LiveAssist Assist;
    // The marks are on LiveImage already, painted band by band while the
    // frame was decoded (nothing needed the picture without them).
    bool MarksPainted = false;
    orka::FrameRateMeter FrameIntervals;  // the last eight frame intervals
    uint64_t FramesShown = 0;             // live-view frames shown since the start
};

// The shutter: the half press, the focus held, the after-view option, the
// self-timer's delay as its box last validated it and the glyph shown.
// Written by TShutter only.
struct ShutterState {
    bool HalfPressed = false;
    bool RefocusPending = false;  // the focus point moved: the half press runs again
    bool FocusMemorised = false;
    bool AfterViewOn = false;
    int32_t SelfTimerDelay = 2;  // s
    int ShownGlyph = 0;          // Glyphs entry PriseVue shows
    orka::ShutterKey Key;        // the shutter on the keyboard: its half press
};

// Focus settings of the window. Written by TFocusControls only.
struct FocusState {
    int32_t FocalLength = 50;    // mm, 24 x 36 equivalent, of the depth of field
    bool SavedSpotLink = false;  // FFPetSpotAE while manual focus is on
};

// The custom white balance last sent. Written by TColourControls only.
struct ColourState {
    orka::CustomWB CustomWB;
};

// Motion detection: the rectangle being edited, as stored for both preview
// sizes and the thumbnail, and the measure with its buffers. Written by
// TMotionTrigger only: the rectangle's mouse handlers, the preview size
// change, the orientation (the thumbnail is redrawn) and, once per frame,
// the analysis.
struct DetectionState {
    orka::TRoiState RoiEditor;
    orka::RoiStore Roi;
    orka::MotionDetector Detector;
    bool RoiThumbDirty = false;
    QImage RoiThumbImage;  // what AffZoneDetect shows
};

// The intervalometer: each value as its edit box last validated it, and the
// sequence under way. Written by TIntervalSequence only. Times come from the
// window's tick counter, in which 0 never occurs and marks "no sequence".
struct IntervalState {
    int32_t IntervalTotal = 2;     // shots
    int32_t IntervalSeconds = 10;  // s between shots
    int32_t IntervalDelay = 0;     // s before the first shot
    int32_t IntervalShots = 0;
    uint32_t IntervalStart = 0;  // s of the tick counter, 0 = no sequence
};

// The video sequence: each value as its edit box last validated it, and the
// recording under way. Written by TVideoSequence only.
struct VideoState {
    int32_t VideoDuration = 0;  // s, 0 = unlimited
    int32_t VideoDelay = 0;     // ms
    uint32_t VideoStart = 0;    // ms of the tick counter, 0 = no recording
    std::unique_ptr<orka::VideoRecorder> VideoCompressor;  // exists while recording
    QString VideoFileName;
    orka::TAVIOptions VideoOptions{};
    int32_t SavedQuickCompress = 0;  // the codec setting found when recording started
};

// What the read-outs of the idle refresh show, so that they are redrawn only
// on change. Written by TIdleRefresh only.
struct ReadoutState {
    int32_t ShownBattery = -1;  // -1: drawn at the next refresh whatever the level
    int32_t ShownFlash = 0;
    int32_t ShownMacro = 0;
};

// The schedule lamp as last drawn (1 lit). Written by TTriggerSchedule only.
struct ScheduleState {
    uint8_t LampState = 0;
};

}  // namespace orka
