// The trigger schedule as the main window sees it: the dialog that edits it
// and the gate of captures on motion ("avec"/"sans" and the lamp are drawn by
// the idle refresh).
#include "HelpViewer.h"
#include "OrkaCapture.h"
#include "ProgDH.h"
#include "ui_OrkaCapture.h"

void TBase::PrgmEventClick() {
    ParamPgm->exec();
    // The lamp is redrawn on the next refresh, whatever it showed before.
    LampState = ParamPgm->InScheduledSlot() ? 0 : 1;
}

void TBase::ShowProgDHHelp() {
    // The dialog is modal: its help window belongs to it.
    THelpViewer::ShowProgDHHelp(ParamPgm);
}

bool TBase::ScheduleAllowsTrigger() const {
    return !ParamPgm->ScheduleInForce() || ParamPgm->InScheduledSlot();
}
