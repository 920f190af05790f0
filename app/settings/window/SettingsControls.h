// The settings controls of the window as one: the change handler of each
// control of orka::Control (in the parts that own them), the push of every
// setting the window shows after connecting, and the application of a
// stored status record (a template, or the settings at connection) to the
// controls and, through their own handlers, to the camera: the camera
// receives what a user would send by choosing the same entries by hand.
#pragma once

#include <QObject>

#include <cstdint>

#include "InterfaceOrka.h"
#include "fotolien.h"

class QWidget;
class TCameraLink;
class TColourControls;
class TExposureControls;
class TFocusControls;
class TModeChoice;
class TSettingsTab;

namespace Ui {
class TBase;
}

class TSettingsControls {
  public:
    TSettingsControls(QWidget* form, Ui::TBase& ui, TCameraLink& link, TExposureControls& exposure,
                      TColourControls& colour, TFocusControls& focus, TModeChoice& modes,
                      TSettingsTab& settingsTab);

    // Runs the change handler of a control.
    void RunHandler(orka::Control control);
    // Each handler of the image, exposure, flash, colour and focus settings
    // sends what its control shows, in the order the camera receives them.
    void SendControlSettings();
    // Shows a status record in the controls and sends it through their
    // handlers; restore receives the low byte of param13. 1 when no camera
    // call failed (ErrorLatch clear at the end), else 0.
    uint8_t ApplySettingsRecord(const CameraStatusData& record, uint8_t& restore);

  private:
    QWidget* form_;
    Ui::TBase& ui_;
    TCameraLink& link_;
    TExposureControls& exposure_;
    TColourControls& colour_;
    TFocusControls& focus_;
    TModeChoice& modes_;
    TSettingsTab& settingsTab_;
};
