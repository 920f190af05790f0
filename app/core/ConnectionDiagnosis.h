// Why the camera could not be opened, told to the photographer: after a
// failed OpenCamera the window asks the transport what it found on the bus
// (LastOpenFailure) and shows OpenFailureText in the status area.
#pragma once

#include <QString>

namespace orka {

struct OpenFailure {
    enum class Reason {
        None,          // the transport opened the camera: it did not answer
        NoCamera,      // no Orka on the bus
        AccessDenied,  // found, its device node may not be opened (no udev rule)
        Busy,          // found, another program holds it
        NotReady,      // found, not usable before the transport's wait ended
        Unavailable,   // the USB system could not be used at all
    };
    Reason reason = Reason::None;
    // The device node (AccessDenied) or the program holding the camera,
    // "name (pid N)" (Busy; empty when it cannot be seen).
    QString detail;
};

// What the transport says of its last open (usbNativeOpenDiagnosis). Call it
// right after OpenCamera failed, from the thread that called OpenCamera.
OpenFailure LastOpenFailure();

// The message in French: what was found, and what to do about it.
QString OpenFailureText(const OpenFailure& failure);

// The command that gives the user at the seat access to the camera: it
// writes the udev rule that the installation carries
// (packaging/60-orka-camera.rules.in) and has udev read it again.
QString UdevRuleCommand();

}  // namespace orka
