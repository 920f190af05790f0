// Connecting to the camera (four attempts), pushing the window's settings
// into it, disconnecting (after the files still to come), and leaving at
// once when the camera went away. The connection button ConnectAPN and the
// panel InfoConnect.
//
// When no camera can be opened, the status area says what the transport
// found; while the photographer has asked to connect (the button stays
// down) and no camera is there, the window keeps looking with a quiet
// attempt every couple of seconds and connects as soon as one is there,
// and after an unplug it reconnects by itself when the camera comes back.
// The attempts' pauses and the wait for the files still to come can be
// cancelled (Échap, or a click on the button).
#pragma once

#include <QObject>
#include <QPixmap>

#include <cstdint>

#include "ConnectionDiagnosis.h"

#include "TBaseState.h"

class QColor;
class QTimer;
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
    // Échap: the look for a camera stops.
    void StopSearchByUser();
    // The window keeps looking for a camera.
    bool Searching() const { return searching_; }
    // One quiet look for the camera, as the search's timer makes it.
    void SearchTick();

    // A look for the camera every this many milliseconds.
    static constexpr int kSearchPeriodMs = 2000;

  Q_SIGNALS:
    // Connected: the read-outs are drawn afresh.
    void connectedNow();

  private:
    enum class Outcome { Connected, NotFound, Failed, Cancelled };

    // One connection: the attempts, then the live view. quiet: a look of
    // the search, which says nothing while no camera is found.
    void Connect(bool quiet);
    Outcome ConnectCamera(bool quiet);
    // The pause between two attempts; false when the user cancelled.
    bool PauseBetweenAttempts();
    void StartSearch(const orka::OpenFailure& failure);
    void StopSearch();
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
    QTimer* searchTimer_;
    bool searching_ = false;
    bool reconnecting_ = false;  // the search began with the camera gone
    orka::OpenFailure lastFailure_;
};
