// The trigger schedule as the main window sees it: the dialog that edits it
// (ProgDH, kept for the window's lifetime), the gate of captures on motion,
// and the read-out "avec"/"sans" with the lamp telling whether the present
// moment lies in one of its slots. Writes orka::ScheduleState.
#pragma once

#include <QObject>
#include <QPixmap>

#include "TBaseState.h"

class QWidget;
class TEventPump;
class TParamPgm;

namespace Ui {
class TBase;
}

class TTriggerSchedule : public QObject {
  public:
    // lampOff, lampOn: the lamp's two bitmaps.
    TTriggerSchedule(QWidget* window, Ui::TBase& ui, TEventPump& pump, orka::ScheduleState& state,
                     const QPixmap& lampOff, const QPixmap& lampOn);
    ~TTriggerSchedule() override;

    TParamPgm* ParamPgm() const { return ParamPgm_; }

    // "Programmation": the dialog, modal.
    void PrgmEventClick();
    // A capture on motion may fire now: no schedule, or inside a slot.
    bool ScheduleAllowsTrigger() const;
    // "avec"/"sans" and the lamp (idle refresh, connected).
    void ShowScheduleIndicator();
    // A new connection: the lamp counts as off.
    void ResetLamp() { state_.LampState = 0; }

  private:
    void ShowProgDHHelp();

    Ui::TBase& ui_;
    TEventPump& pump_;
    orka::ScheduleState& state_;
    QPixmap lampOff_, lampOn_;
    TParamPgm* ParamPgm_;  // a child of the window
};
