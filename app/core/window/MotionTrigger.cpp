#include "MotionTrigger.h"

#include <QApplication>
#include <QCoreApplication>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>

#include <algorithm>

#include "CameraLink.h"
#include "EventPump.h"
#include "FormControls.h"
#include "TriggerSchedule.h"
#include "ui_OrkaCapture.h"

namespace {

constexpr int kDefaultThreshold = 50;

}  // namespace

TMotionTrigger::TMotionTrigger(QWidget* form, Ui::TBase& ui, TCameraLink& link, TEventPump& pump,
                               const TTriggerSchedule& schedule, orka::DetectionState& state,
                               const orka::LiveViewState& live)
    : form_(form),
      ui_(ui),
      link_(link),
      pump_(pump),
      schedule_(schedule),
      state_(state),
      live_(live) {
    connect(ui_.DetectEvent, &QPushButton::clicked, this, [this] { DetectEventClick(true); });
    connect(ui_.Seuil, &QSlider::valueChanged, this, &TMotionTrigger::SeuilChange);
}

// Gives the detector the rectangle in frame coordinates. The first measure
// after a change would compare block sums of two different areas: it is
// skipped, as after a capture.
void TMotionTrigger::MapDetectionRectangle(int previewSizeItem) {
    const QSize frame = orka::PreviewFrameSize(previewSizeItem);
    const orka::RoiBox shown{state_.RoiEditor.MinCorner.x(), state_.RoiEditor.MinCorner.y(),
                             state_.RoiEditor.MaxCorner.x(), state_.RoiEditor.MaxCorner.y()};
    mappedItem_ = previewSizeItem;
    mappedOrientation_ = CurrentOrientation(ui_);
    state_.Detector.SetRectangle(
        orka::RoiToFrame(shown, mappedOrientation_, frame.width(), frame.height()));
    state_.Detector.ResetPairing();
    state_.Detector.NoteTrigger();
}

void TMotionTrigger::SeuilChange() {
    ui_.lbSeuil->setText(QString::number(ui_.Seuil->value()) + QStringLiteral(" %"));
}

void TMotionTrigger::DetectEventClick(bool fromUser) {
    QPushButton* button = ui_.DetectEvent;
    if (!fromUser)
        button->setChecked(false);
    button->setText(button->isChecked()
                        ? QCoreApplication::translate("MotionTrigger", "Désactiver la détection")
                        : QCoreApplication::translate("MotionTrigger", "Activer la détection"));
    if (fromUser && button->isChecked() && Armed)
        Armed();
}

void TMotionTrigger::ResetDetection() {
    orka::RoiReset(state_.RoiEditor);
    state_.Roi.RoiThumb = {};
    ui_.AffdImg->setValue(0);
    ui_.Seuil->setValue(kDefaultThreshold);
    SeuilChange();
    DetectEventClick();
    ui_.DetectEvent->setEnabled(false);
    // RoiSmall and RoiLarge stay: a later preview-size change loads them.
    // Nothing is measured until a rectangle is drawn again.
    state_.Detector.SetRectangle({});
    state_.Detector.ResetHistory();
    mappedItem_ = PreviewSizeItem(ui_);
    mappedOrientation_ = CurrentOrientation(ui_);
}

void TMotionTrigger::ClearRoiThumbnail() {
    state_.RoiThumbImage = QImage(128, 128, QImage::Format_RGB32);
    state_.RoiThumbImage.fill(form_->palette().color(QPalette::Dark));
    ui_.AffZoneDetect->setPixmap(QPixmap::fromImage(state_.RoiThumbImage));
}

void TMotionTrigger::DrawRoiThumbnail() {
    orka::DrawRoiThumbnail(state_.RoiThumbImage, live_.LiveImage, state_.Roi.RoiThumb,
                           form_->palette().color(QPalette::Dark));
    ui_.AffZoneDetect->setPixmap(QPixmap::fromImage(state_.RoiThumbImage));
}

bool TMotionTrigger::ThumbnailDue() const {
    return state_.RoiThumbDirty && CurrentShootingMode(ui_).box == orka::ModeBox::Event;
}

void TMotionTrigger::DrawRoiThumbnailIfDirty() {
    if (ThumbnailDue())
        DrawRoiThumbnail();
    state_.RoiThumbDirty = false;
}

void TMotionTrigger::DrawDetectionOverlay(QPainter& painter) const {
    orka::DrawRoiRectangle(painter, state_.RoiEditor);
}

void TMotionTrigger::RoiMouseDownEvent(int x, int y) {
    orka::RoiMouseDown(
        state_.RoiEditor,
        orka::DisplaySize(CurrentOrientation(ui_), live_.PreviewWidth, live_.PreviewHeight), x, y);
}

void TMotionTrigger::RoiMouseMoveEvent(Qt::MouseButtons buttons, Qt::KeyboardModifiers mods, int x,
                                       int y) {
    if (const auto cursor = orka::RoiMouseMove(state_.RoiEditor, buttons, mods, x, y))
        ui_.LiveView->setCursor(*cursor);
}

void TMotionTrigger::RoiMouseUpEvent() {
    if (!orka::RoiMouseUp(state_.RoiEditor)) {
        ResetDetection();
        return;
    }
    ui_.DetectEvent->setEnabled(true);
    const int item = PreviewSizeItem(ui_);
    state_.Roi = orka::StoreRoi({state_.RoiEditor.MinCorner.x(), state_.RoiEditor.MinCorner.y(),
                                 state_.RoiEditor.MaxCorner.x(), state_.RoiEditor.MaxCorner.y()},
                                item == 1);
    state_.RoiThumbDirty = true;
    MapDetectionRectangle(item);
}

void TMotionTrigger::LoadDetectionRectangle(int previewSizeItem) {
    const orka::RoiBox& stored = previewSizeItem == 1 ? state_.Roi.RoiLarge : state_.Roi.RoiSmall;
    orka::RoiSetCorners(state_.RoiEditor, QPoint(stored.x1, stored.y1),
                        QPoint(stored.x2, stored.y2));
    state_.RoiEditor.Exists =
        state_.RoiEditor.Size.width() > 0 && state_.RoiEditor.Size.height() > 0;
    MapDetectionRectangle(previewSizeItem);
}

void TMotionTrigger::DetectionAfterAnalyse() {
    // The capture below lets the camera library wait; should a frame be
    // handled meanwhile, it is not measured against a half-done capture.
    if (pump_.Activities()->SkipsMotionMeasure())
        return;
    const orka::MotionResult result = state_.Detector.DetectMotion();
    if (result.gaugeUpdated)
        ui_.AffdImg->setValue(std::clamp(result.measure, 0, 100));

    if (orka::MotionTriggers(result.measure, ui_.Seuil->value(), ui_.DetectEvent->isChecked(),
                             schedule_.ScheduleAllowsTrigger()) &&
        (!BeforeCapture || BeforeCapture())) {
        const orka::ActivityScope capture(pump_.Activities(), orka::Activity::MotionCapture);
        if (ui_.BeepDecl->isChecked())
            QApplication::beep();
        const orka::ShotClock::time_point triggered = orka::ShotClock::now();
        if (link_.CheckResult(CaptureImage(0)) == 0)
            Q_EMIT released({link_.Status(), orka::ShotFocusPoint(link_.Status(), live_.FocusPoint),
                             triggered});
        link_.CheckResult(TerminateCaptureImage());
        state_.Detector.NoteTrigger();
    }

    // The orientation or the preview size changed since the rectangle was
    // mapped: the next frames are analysed on the area now outlined.
    const int item = PreviewSizeItem(ui_);
    if (item != mappedItem_ || CurrentOrientation(ui_) != mappedOrientation_)
        MapDetectionRectangle(item);
}
