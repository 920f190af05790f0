// Connecting to the camera (four attempts), pushing the window's settings
// into it, disconnecting (after the files still to come), and leaving at
// once when the camera went away. The connection button ConnectAPN and the
// panel InfoConnect.
#pragma once

#include <QObject>
#include <QPixmap>

#include <cstdint>

#include "TBaseState.h"

class QColor;
class QWidget;
class TCameraLink;
class TEventPump;
class TFocusControls;
class TLiveView;
class TModeChoice;
class TMotionTrigger;
class TSavedPictures;
class TSettingsControls;
class TShutter;
class TTemplates;
class TTriggerSchedule;

namespace Ui {
class TBase;
}

class TConnection : public QObject {
    Q_OBJECT

  public:
    // The parts a connection sets up and leaves, and the button's glyphs.
    struct Parts {
        TLiveView& live;
        TShutter& shutter;
        TFocusControls& focus;
        TTriggerSchedule& schedule;
        TSettingsControls& settings;
        TModeChoice& modes;
        TSavedPictures& pictures;
        TMotionTrigger& motion;
        TTemplates& templates;
    };
    TConnection(QWidget* window, Ui::TBase& ui, TCameraLink& link, TEventPump& pump, Parts parts,
                const orka::ShutterState& shutterState, const QPixmap& glyphOff,
                const QPixmap& glyphOn);

    void ConnectAPNClick();
    // Waits for the files still to come, leaves PC-control mode and closes
    // the camera; false when no camera was connected. When the window is
    // destroyed during the wait, it returns at once, touching nothing.
    bool DisconnectCamera();
    // The camera answered "no camera" while connected (unplugged, switched
    // off): the connection is left at once, without waiting for files.
    void CameraGone();

  Q_SIGNALS:
    // Connected: the read-outs are drawn afresh.
    void connectedNow();

  private:
    uint8_t ConnectCamera();
    uint8_t PushAllSettings();
    // The window's side of leaving a connection: controls back to their
    // disconnected state.
    void LeaveConnection();
    // Waits while the camera still has files to send; false when the window
    // was destroyed meanwhile.
    bool WaitForPendingFiles();
    void SetInfoConnect(const QString& text, const QColor& colour);

    QWidget* window_;
    Ui::TBase& ui_;
    TCameraLink& link_;
    TEventPump& pump_;
    Parts parts_;
    const orka::ShutterState& shutterState_;
    QPixmap glyphOff_, glyphOn_;
};
