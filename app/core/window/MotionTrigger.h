// Capture on motion, as the window runs it: the detection rectangle edited
// on the preview and stored for both preview sizes and the thumbnail, the
// measure of every frame on its gauge, and the capture when the measure
// exceeds the threshold while detection is on and the schedule allows it.
// Writes orka::DetectionState; the live view's analysis of each frame fills
// the detector it hands out.
//
// The rectangle is outlined on the displayed (possibly turned) preview; the
// detector watches the same area of the frame as the camera delivers it.
#pragma once

#include <QObject>

#include <functional>

#include "LiveViewMath.h"
#include "ShotRecords.h"
#include "TBaseState.h"

class QPainter;
class QWidget;
class TCameraLink;
class TEventPump;
class TTriggerSchedule;

namespace Ui {
class TBase;
}

class TMotionTrigger : public QObject {
    Q_OBJECT

  public:
    TMotionTrigger(QWidget* form, Ui::TBase& ui, TCameraLink& link, TEventPump& pump,
                   const TTriggerSchedule& schedule, orka::DetectionState& state,
                   const orka::LiveViewState& live);

    void SeuilChange();
    // Called with fromUser false it always switches detection off.
    void DetectEventClick(bool fromUser = false);

    // Everything back to "no rectangle", detection off.
    void ResetDetection();
    void ClearRoiThumbnail();
    // The preview was turned or laid out again: the thumbnail is redrawn
    // with the next frame.
    void MarkThumbnailDirty() { state_.RoiThumbDirty = true; }
    void DrawRoiThumbnailIfDirty();
    // The next frame redraws the thumbnail (from the picture without the
    // aids' marks).
    bool ThumbnailDue() const;
    void DrawDetectionOverlay(QPainter& painter) const;
    // The rectangle stored for a preview size, given to the detector.
    void LoadDetectionRectangle(int previewSizeItem);

    // The detector the analysis of a live frame feeds.
    orka::MotionDetector* DetectorForFrame() { return &state_.Detector; }
    // After the analysis of a frame in the event mode: the gauge, and the
    // capture when the measure says so.
    void DetectionAfterAnalyse();

    // The mouse on the preview in the event mode: the rectangle is drawn.
    void RoiMouseDownEvent(int x, int y);
    void RoiMouseMoveEvent(Qt::MouseButtons buttons, Qt::KeyboardModifiers mods, int x, int y);
    void RoiMouseUpEvent();

    // Asked before each capture on motion: false skips it (the hook said
    // why). Empty: always.
    std::function<bool()> BeforeCapture;
    // Detection was switched on by the user.
    std::function<void()> Armed;
  Q_SIGNALS:
    // The detection released the shutter: what the window knew then.
    void released(const orka::ShotRecord& shot);

  private:
    void MapDetectionRectangle(int previewSizeItem);
    void DrawRoiThumbnail();

    QWidget* form_;
    Ui::TBase& ui_;
    TCameraLink& link_;
    TEventPump& pump_;
    const TTriggerSchedule& schedule_;
    orka::DetectionState& state_;
    const orka::LiveViewState& live_;
    int mappedItem_ = -1;  // preview size and orientation of the detector's rectangle
    orka::Orientation mappedOrientation_ = orka::Orientation::Normal;
};
