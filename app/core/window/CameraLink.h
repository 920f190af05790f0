// The window's side of the camera library: the single path of every result
// (CheckResult), the error indicator InfoErreur, and the camera state the
// window keeps (orka::CameraState), which this class alone writes.
#pragma once

#include <cstdint>

#include "TBaseState.h"

class QLabel;

class TCameraLink {
  public:
    // The library's result for "no camera connection".
    static constexpr int32_t kNoCamera = 4;

    TCameraLink(orka::CameraState& state, QLabel* errorIndicator);

    const orka::CameraState& State() const { return state_; }
    bool Connected() const { return state_.Connected; }
    const CameraStatusData& Status() const { return state_.Status; }

    // Every library call passes its result here at once: it is latched when
    // not 0 ("X" while connected, until cleared), "no camera" while
    // connected marks the camera lost, and the status record is read again
    // while connected. Returns result.
    int32_t CheckResult(int32_t result);
    // InfoErreurClick: the latch cleared, "O" shown.
    void ClearErrorLatch();
    // Forgets what failed so far without showing anything (before the
    // settings push, and at start when no camera was asked anything).
    void ForgetErrors();
    // Shows "X" when a failure is latched (the push of the settings ran
    // before the window counted itself connected).
    void ShowLatchedError();

    // The connection: entered or left; the status read at the end of the
    // connection kept as the settings at connection.
    void SetConnected(bool connected);
    void KeepStatusAtConnect();
    // A camera that went away, noticed without a call failing.
    void MarkCameraLost() { state_.CameraLost = true; }

    // Reads the camera status into Status; its result is not checked.
    void ReadStatus();
    // Fetches the live-view frame of size bytes into buffer; the camera
    // status comes with it into Status.
    int32_t GetFrame(uint8_t* buffer, uint32_t size);
    // A settings record becomes the status the controls' handlers start from.
    void StartFromRecord(const CameraStatusData& record) { state_.Status = record; }

  private:
    void ShowIndicator(const char* text);

    orka::CameraState& state_;
    QLabel* indicator_;
};
