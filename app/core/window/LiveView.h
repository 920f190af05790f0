// The live view: the loop that fetches, decodes and shows the camera's
// frames, the after-view picture, the orientation and preview-size
// handlers, the overlays, the frame-rate read-out and the mouse on the
// preview (focus point, grey point, detection rectangle). Writes
// orka::LiveViewState.
//
// The loop runs inside the handler that starts it and pumps the window's
// events once per frame, so every other handler runs nested inside it. A
// handler that stops it (ToggleLiveView, a disconnect, closing the window)
// only clears LiveViewOn; the loop sees that when the handler returns and
// ends without touching anything else.
#pragma once

#include <QObject>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "TBaseState.h"

class QPainter;
class QTimer;
class QWidget;
class TCameraLink;
class TEventPump;
class TMotionTrigger;
class TVideoSequence;

namespace orka {
class FrameDecoder;
class TickClock;
}  // namespace orka

namespace Ui {
class TBase;
}

class TLiveView : public QObject {
    Q_OBJECT

  public:
    // idleTimer: the window's idle refresh, which rests while the loop runs
    // (the loop refreshes once per frame).
    TLiveView(QWidget* form, Ui::TBase& ui, TCameraLink& link, TEventPump& pump,
              const orka::TickClock& clock, TMotionTrigger& motion, TVideoSequence& video,
              orka::LiveViewState& state, QTimer* idleTimer);
    ~TLiveView() override;

    void PreVisuActifClick();
    void ImgHorz0Click();
    void ImgVertGClick();
    // The preview size: sent to the camera, and the preview laid out for it.
    void DimPreViewClick();

    // Starts the loop (which runs inside this call until something stops
    // it), or stops the loop under way.
    void ToggleLiveView();
    // The live view runs exactly when a camera is connected and
    // "Prévisualisation active" is checked: started or stopped to match.
    void FollowPreviewBox();
    // The loop under way ends at its next turn, the picture left as it is.
    void MarkStopped() { state_.LiveViewOn = false; }
    bool Running() const { return state_.LiveViewOn; }
    // The camera's announced frame (after the settings are pushed).
    void ReadFrameInfo();

    // A frame as the camera delivered it, of w x h: decoded, analysed, drawn
    // over and shown, with the read-outs of a frame; false when it is corrupt
    // (LiveView keeps showing the previous picture).
    bool ShowCameraFrame(uint32_t w, uint32_t h, std::vector<uint8_t> bytes);
    // The picture just taken, fetched and shown; false when there is none to
    // show.
    bool ShowAfterViewPicture();

    // Frees the frame buffers (the window closing).
    void ReleaseBuffers();

    orka::AssistSettings AssistSettings() const;  // the controls of "Présentation"

  Q_SIGNALS:
    // A frame was shown: the read-outs are refreshed.
    void frameShown();
    // The preview size chosen: the window is laid out for it (0 small, 1 large).
    void previewSizeChosen(int item);
    // The focus mark moved on the preview: the half press focuses again.
    void focusMarkMoved();

  private:
    void LiveViewFrame();
    bool ShowFrameBuffer();
    // Decodes FrameBuffer into LiveImage and analyses it; false when the
    // frame is corrupt. liveFrame is false for the after-view picture, which
    // is not watched for motion.
    bool DecodeFrame(bool liveFrame);
    void ApplyFrameSize();
    void LayoutLiveView(int width, int height);
    void ShowLiveImage();
    void BlankLiveView();
    void DrawOverlays();
    void DrawReticle(QPainter& painter) const;
    void DrawGrid(QPainter& painter) const;
    void ShowPeakingSensitivity();
    bool EventModeSelected() const;
    // The camera-frame point of preview point (x, y), into target.
    void PreviewToCamera(int x, int y, std::array<int32_t, 2>& target) const;
    void LiveViewMouseDown(Qt::MouseButton button, Qt::MouseButtons buttons, int x, int y);
    void LiveViewMouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers mods, int x, int y);
    void LiveViewMouseUp(int x, int y);

    QWidget* form_;
    Ui::TBase& ui_;
    TCameraLink& link_;
    TEventPump& pump_;
    const orka::TickClock& clock_;
    TMotionTrigger& motion_;
    TVideoSequence& video_;
    orka::LiveViewState& state_;
    QTimer* idleTimer_;
    std::unique_ptr<orka::FrameDecoder> frameDecoder_;
};
