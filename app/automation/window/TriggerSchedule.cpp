#include "TriggerSchedule.h"

#include <QCoreApplication>

#include "EventPump.h"
#include "HelpViewer.h"
#include "ProgDH.h"
#include "ui_OrkaCapture.h"

TTriggerSchedule::TTriggerSchedule(QWidget* window, Ui::TBase& ui, TEventPump& pump,
                                   orka::ScheduleState& state, const QPixmap& lampOff,
                                   const QPixmap& lampOn)
    : ui_(ui),
      pump_(pump),
      state_(state),
      lampOff_(lampOff),
      lampOn_(lampOn),
      ParamPgm_(new TParamPgm(window)) {
    connect(ui_.PrgmEvent, &QPushButton::clicked, this, &TTriggerSchedule::PrgmEventClick);
    connect(ParamPgm_, &TParamPgm::helpRequested, this, &TTriggerSchedule::ShowProgDHHelp);
}

TTriggerSchedule::~TTriggerSchedule() {
    delete ParamPgm_;
}

void TTriggerSchedule::PrgmEventClick() {
    if (!pump_.Exec(ParamPgm_))
        return;
    // The lamp is redrawn on the next refresh, whatever it showed before.
    state_.LampState = ParamPgm_->InScheduledSlot() ? 0 : 1;
}

void TTriggerSchedule::ShowProgDHHelp() {
    // The dialog is modal: its help window belongs to it.
    THelpViewer::ShowProgDHHelp(ParamPgm_);
}

bool TTriggerSchedule::ScheduleAllowsTrigger() const {
    return !ParamPgm_->ScheduleInForce() || ParamPgm_->InScheduledSlot();
}

void TTriggerSchedule::ShowScheduleIndicator() {
    if (!ParamPgm_->ScheduleInForce()) {
        ui_.InfoPgmEv->setText(QCoreApplication::translate("TriggerSchedule", "sans"));
        ui_.LampProg->hide();
        return;
    }
    ui_.InfoPgmEv->setText(QCoreApplication::translate("TriggerSchedule", "avec"));
    ui_.LampProg->show();
    const uint8_t inSlot = ParamPgm_->InScheduledSlot() ? 1 : 0;
    if (inSlot != state_.LampState) {
        ui_.LampProg->setPixmap(inSlot ? lampOn_ : lampOff_);
        state_.LampState = inSlot;
    }
}
