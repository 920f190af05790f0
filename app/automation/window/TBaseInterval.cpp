// The intervalometer of the window: a fixed number of shots at a fixed
// interval after an optional delay, each fired through the shutter button's
// press handler. The schedule is absolute (Intervalometer.h); it is evaluated
// by the idle refresh, by every live-view frame and, so that it keeps its
// one-second resolution when nothing else happens, by a one-second timer.
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "Intervalometer.h"
#include "OrkaCapture.h"
#include "ui_OrkaCapture.h"

void TBase::SeqInterVClick(bool fromUser) {
    if (!fromUser)
        ui_->SeqInterV->setChecked(false);

    if (!ui_->SeqInterV->isChecked()) {
        StopIntervalSequence();
        return;
    }

    ValidatePendingEdits({ui_->eNbImgT, ui_->eInterImg, ui_->eDepImg});

    ui_->SeqInterV->setText(QStringLiteral("Stopper la séquence"));
    // The shots are timed here, not by live-view frames: the live view stops.
    if (ui_->PreVisuActif->isChecked())
        ui_->PreVisuActif->setChecked(false);
    LiveViewOn = false;
    IntervalStart = TickCount() / 1000;
    ++intervalRun_;
    IntervalShots = 0;
    ui_->eNbImgP->setText(QStringLiteral("0"));
    for (QLineEdit* box : {ui_->eDepImg, ui_->eInterImg, ui_->eNbImgT})
        box->setReadOnly(true);
    intervalTimer_->start();
}

void TBase::StopIntervalSequence() {
    ui_->SeqInterV->setText(QStringLiteral("Lancer la séquence"));
    IntervalStart = 0;
    ui_->eNbImgP->setText(QStringLiteral("0"));
    IntervalShots = 0;
    for (QLineEdit* box : {ui_->eDepImg, ui_->eInterImg, ui_->eNbImgT})
        box->setReadOnly(false);
    intervalTimer_->stop();
}

void TBase::IntervalTick() {
    // The release handles window messages while it runs, so the idle refresh
    // and the timer can come back here during a shot: the shot under way is
    // not counted yet and must not be fired twice.
    if (activities_->SkipsIntervalTick() || IntervalStart == 0)
        return;
    if (!orka::IntervalShotDue(IntervalStart, IntervalDelay, IntervalShots, IntervalSeconds,
                               TickCount() / 1000))
        return;
    const uint32_t run = intervalRun_;

    {
        const orka::ActivityScope shot(activities_, orka::Activity::IntervalShot);
        if (!TakePictures())
            return;
    }

    // Stopped (or stopped and started again) during the shot: that sequence
    // is over and its counter was reset.
    if (IntervalStart == 0 || intervalRun_ != run)
        return;
    ++IntervalShots;
    ui_->eNbImgP->setText(QString::number(IntervalShots));
    if (IntervalShots >= IntervalTotal)
        SeqInterVClick();
}
