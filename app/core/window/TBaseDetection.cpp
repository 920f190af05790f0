// Capture on motion, as the window runs it: the detection rectangle edited
// on the preview and stored for both preview sizes and the thumbnail, the
// measure of every frame on its gauge, and the capture when the measure
// exceeds the threshold while detection is on and the schedule allows it.
//
// The rectangle is outlined on the displayed (possibly turned) preview; the
// detector watches the same area of the frame as the camera delivers it.
#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>

#include <algorithm>

#include "OrkaCapture.h"
#include "ui_OrkaCapture.h"

namespace {

constexpr int kDefaultThreshold = 50;

}  // namespace

// Gives the detector the rectangle in frame coordinates. The first measure
// after a change would compare block sums of two different areas: it is
// skipped, as after a capture.
void TBase::MapDetectionRectangle(int previewSizeItem) {
    const QSize frame = orka::PreviewFrameSize(previewSizeItem);
    const orka::RoiBox shown{RoiEditor.MinCorner.x(), RoiEditor.MinCorner.y(),
                             RoiEditor.MaxCorner.x(), RoiEditor.MaxCorner.y()};
    mappedItem_ = previewSizeItem;
    mappedOrientation_ = CurrentOrientation();
    Detector.SetRectangle(
        orka::RoiToFrame(shown, mappedOrientation_, frame.width(), frame.height()));
    Detector.ResetPairing();
    Detector.NoteTrigger();
}

void TBase::SeuilChange() {
    ui_->lbSeuil->setText(QString::number(ui_->Seuil->value()) + QStringLiteral(" %"));
}

void TBase::DetectEventClick(bool fromUser) {
    QPushButton* button = ui_->DetectEvent;
    if (!fromUser)
        button->setChecked(false);
    button->setText(button->isChecked() ? QStringLiteral("Désactiver la détection")
                                        : QStringLiteral("Activer la détection"));
}

void TBase::ResetDetection() {
    orka::RoiReset(RoiEditor);
    Roi.RoiThumb = {};
    ui_->AffdImg->setValue(0);
    ui_->Seuil->setValue(kDefaultThreshold);
    SeuilChange();
    DetectEventClick();
    ui_->DetectEvent->setEnabled(false);
    // RoiSmall and RoiLarge stay: a later preview-size change loads them.
    // Nothing is measured until a rectangle is drawn again.
    Detector.SetRectangle({});
    Detector.ResetHistory();
    mappedItem_ = ui_->DimPreView->itemIndex() == 1 ? 1 : 0;
    mappedOrientation_ = CurrentOrientation();
}

void TBase::ClearRoiThumbnail() {
    RoiThumbImage = QImage(128, 128, QImage::Format_RGB32);
    RoiThumbImage.fill(palette().color(QPalette::Dark));
    ui_->AffZoneDetect->setPixmap(QPixmap::fromImage(RoiThumbImage));
}

void TBase::DrawRoiThumbnail() {
    orka::DrawRoiThumbnail(RoiThumbImage, LiveImage, Roi.RoiThumb, palette().color(QPalette::Dark));
    ui_->AffZoneDetect->setPixmap(QPixmap::fromImage(RoiThumbImage));
}

void TBase::DrawRoiThumbnailIfDirty() {
    if (RoiThumbDirty && EventModeSelected())
        DrawRoiThumbnail();
    RoiThumbDirty = false;
}

void TBase::DrawDetectionOverlay(QPainter& painter) {
    orka::DrawRoiRectangle(painter, RoiEditor);
}

void TBase::RoiMouseDownEvent(Qt::MouseButton /*button*/, int x, int y) {
    orka::RoiMouseDown(RoiEditor,
                       orka::DisplaySize(CurrentOrientation(), PreviewWidth, PreviewHeight), x, y);
}

void TBase::RoiMouseMoveEvent(Qt::MouseButtons buttons, Qt::KeyboardModifiers mods, int x, int y) {
    if (const auto cursor = orka::RoiMouseMove(RoiEditor, buttons, mods, x, y))
        ui_->LiveView->setCursor(*cursor);
}

void TBase::RoiMouseUpEvent(int /*x*/, int /*y*/) {
    if (!orka::RoiMouseUp(RoiEditor)) {
        ResetDetection();
        return;
    }
    ui_->DetectEvent->setEnabled(true);
    const int item = ui_->DimPreView->itemIndex() == 1 ? 1 : 0;
    Roi = orka::StoreRoi({RoiEditor.MinCorner.x(), RoiEditor.MinCorner.y(), RoiEditor.MaxCorner.x(),
                          RoiEditor.MaxCorner.y()},
                         item == 1);
    RoiThumbDirty = true;
    MapDetectionRectangle(item);
}

void TBase::LoadDetectionRectangle(int previewSizeItem) {
    const orka::RoiBox& stored = previewSizeItem == 1 ? Roi.RoiLarge : Roi.RoiSmall;
    orka::RoiSetCorners(RoiEditor, QPoint(stored.x1, stored.y1), QPoint(stored.x2, stored.y2));
    RoiEditor.Exists = RoiEditor.Size.width() > 0 && RoiEditor.Size.height() > 0;
    MapDetectionRectangle(previewSizeItem);
}

void TBase::DetectionAfterAnalyse() {
    // The capture below lets the camera library wait; should a frame be
    // handled meanwhile, it is not measured against a half-done capture.
    if (activities_->SkipsMotionMeasure())
        return;
    const orka::MotionResult result = Detector.DetectMotion();
    if (result.gaugeUpdated)
        ui_->AffdImg->setValue(std::clamp(result.measure, 0, 100));

    if (orka::MotionTriggers(result.measure, ui_->Seuil->value(), ui_->DetectEvent->isChecked(),
                             ScheduleAllowsTrigger())) {
        const orka::ActivityScope capture(activities_, orka::Activity::MotionCapture);
        if (ui_->BeepDecl->isChecked())
            QApplication::beep();
        CheckResult(CaptureImage(0));
        CheckResult(TerminateCaptureImage());
        Detector.NoteTrigger();
    }

    // The orientation or the preview size changed since the rectangle was
    // mapped: the next frames are analysed on the area now outlined.
    const int item = ui_->DimPreView->itemIndex() == 1 ? 1 : 0;
    if (item != mappedItem_ || CurrentOrientation() != mappedOrientation_)
        MapDetectionRectangle(item);
}
