// TEMPORARY: empty stand-ins for the automation side's members that the live
// view calls, until they land on main. Delete this file then.
#include "OrkaCapture.h"

void TBase::VideoTick() {}
void TBase::DetectionAfterAnalyse() {}
void TBase::DrawDetectionOverlay(QPainter&) {}
void TBase::DrawRoiThumbnailIfDirty() {
    RoiThumbDirty = false;
}
void TBase::RoiMouseDownEvent(Qt::MouseButton, int, int) {}
void TBase::RoiMouseMoveEvent(Qt::MouseButtons, Qt::KeyboardModifiers, int, int) {}
void TBase::RoiMouseUpEvent(int, int) {}
void TBase::LoadDetectionRectangle(int) {}
void TBase::ResetDetection() {}
void TBase::ClearRoiThumbnail() {}
void TBase::MonoMultiVueClick() {}
