// The " Modèles de configuration " group: saving the camera's settings to a
// ".cfg" template, applying a template, and going back to the settings the
// camera had right after connecting.
#pragma once

#include <QObject>

class TCameraLink;
class TEventPump;
class TLiveView;
class TSettingsControls;

namespace Ui {
class TBase;
}

class TTemplates : public QObject {
  public:
    TTemplates(Ui::TBase& ui, TCameraLink& link, TEventPump& pump, TSettingsControls& settings,
               TLiveView& live);

    void EnrgModeleClick();
    void OuvrModeleClick();
    // With a sender (a click, or the program right after connecting): back to
    // the settings the camera had after connecting. Without: unchecks the box.
    void ModDefautMouseUp(QObject* sender);

  private:
    Ui::TBase& ui_;
    TCameraLink& link_;
    TEventPump& pump_;
    TSettingsControls& settings_;
    TLiveView& live_;
};
