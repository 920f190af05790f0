// The shooting modes of the "Automatismes" tab: the choice of MonoMultiVue
// stops whatever ran, sends the mode's drive mode, shows the mode's box and
// gives the window its caption (the table is orka::ShootingModeOf).
#pragma once

#include <QObject>

class QWidget;
class TCameraLink;
class TIntervalSequence;
class TMotionTrigger;
class TShutter;
class TVideoSequence;

namespace Ui {
class TBase;
}

class TModeChoice : public QObject {
  public:
    TModeChoice(QWidget* window, Ui::TBase& ui, TCameraLink& link, TMotionTrigger& motion,
                TIntervalSequence& interval, TVideoSequence& video, TShutter& shutter);

    // MonoMultiVue: drive mode, running sequences stopped, the mode's box
    // shown and reset, the window caption.
    void MonoMultiVueClick();

  private:
    QWidget* window_;
    Ui::TBase& ui_;
    TCameraLink& link_;
    TMotionTrigger& motion_;
    TIntervalSequence& interval_;
    TVideoSequence& video_;
    TShutter& shutter_;
};
