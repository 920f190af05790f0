// The trigger schedule as the main window sees it: the dialog that edits it,
// the "avec"/"sans" label and the lamp, and the gate of captures on motion.
#include <QLabel>

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

void TBase::RefreshScheduleIndicator() {
    QLabel* label = ui_->InfoPgmEv;
    QLabel* lamp = ui_->LampProg;
    if (!ParamPgm->ScheduleInForce()) {
        if (label->text() != QLatin1String("sans"))
            label->setText(QStringLiteral("sans"));
        if (!lamp->isHidden())
            lamp->hide();
        return;
    }
    if (label->text() != QLatin1String("avec"))
        label->setText(QStringLiteral("avec"));
    if (lamp->isHidden())
        lamp->show();
    const uint8_t inSlot = ParamPgm->InScheduledSlot() ? 1 : 0;
    if (inSlot != LampState || lamp->pixmap().isNull()) {
        lamp->setPixmap(Glyphs[inSlot ? gLampOn : gLampOff]);
        LampState = inSlot;
    }
}

bool TBase::ScheduleAllowsTrigger() const {
    return !ParamPgm->ScheduleInForce() || ParamPgm->InScheduledSlot();
}
