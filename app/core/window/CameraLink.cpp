#include "CameraLink.h"

#include <QColor>
#include <QLabel>

TCameraLink::TCameraLink(orka::CameraState& state, QLabel* errorIndicator)
    : state_(state), indicator_(errorIndicator) {}

int32_t TCameraLink::CheckResult(int32_t result) {
    state_.LastResult = result;
    if (state_.ErrorLatch == 0 && result != 0)
        state_.ErrorLatch = 1;
    // "No camera" while connected is a definite sign that it went away; the
    // idle refresh leaves the connection.
    if (state_.Connected && result == kNoCamera)
        state_.CameraLost = true;
    if (!state_.Connected) {
        ShowIndicator("O");
        return result;
    }
    if (state_.ErrorLatch == 1)
        ShowIndicator("X");
    GetCameraStatusData(&state_.Status);
    return result;
}

void TCameraLink::ClearErrorLatch() {
    state_.ErrorLatch = 0;
    ShowIndicator("O");
}

void TCameraLink::ForgetErrors() {
    state_.ErrorLatch = 0;
    state_.LastResult = 0;
}

void TCameraLink::ShowLatchedError() {
    if (state_.Connected && state_.ErrorLatch == 1)
        ShowIndicator("X");
}

void TCameraLink::SetConnected(bool connected) {
    state_.Connected = connected;
    state_.CameraLost = false;
}

void TCameraLink::KeepStatusAtConnect() {
    state_.StatusAtConnect = state_.Status;
}

void TCameraLink::ReadStatus() {
    GetCameraStatusData(&state_.Status);
}

int32_t TCameraLink::GetFrame(uint8_t* buffer, uint32_t size) {
    return LiveViewGetFrame(buffer, size, &state_.Status);
}

void TCameraLink::ShowIndicator(const char* text) {
    const QString shown = QLatin1String(text);
    if (indicator_->text() == shown)
        return;
    indicator_->setText(shown);
    const QColor colour = shown == QLatin1String("X") ? QColor(200, 0, 0) : QColor(0, 128, 0);
    indicator_->setStyleSheet(QStringLiteral("color: %1;").arg(colour.name()));
}
