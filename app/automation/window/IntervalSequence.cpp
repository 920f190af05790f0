#include "IntervalSequence.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "EventPump.h"
#include "Intervalometer.h"
#include "LiveView.h"
#include "NumericEdit.h"
#include "Shutter.h"
#include "TickClock.h"
#include "ui_OrkaCapture.h"

TIntervalSequence::TIntervalSequence(Ui::TBase& ui, TEventPump& pump, const orka::TickClock& clock,
                                     TShutter& shutter, TLiveView& live, orka::IntervalState& state)
    : ui_(ui),
      pump_(pump),
      clock_(clock),
      shutter_(shutter),
      live_(live),
      state_(state),
      timer_(new QTimer(this)) {
    timer_->setInterval(1000);
    connect(timer_, &QTimer::timeout, this, [this] {
        if (state_.IntervalStart != 0)
            IntervalTick();
    });
    connect(ui_.SeqInterV, &QPushButton::clicked, this, [this] { SeqInterVClick(true); });
}

void TIntervalSequence::eNbImgTKeyUp(int shots) {
    state_.IntervalTotal = shots;
}

void TIntervalSequence::eDepImgKeyUp(int minutes) {
    state_.IntervalDelay = minutes * 60;
}

void TIntervalSequence::eInterImgKeyUp(int seconds) {
    state_.IntervalSeconds = seconds;
}

void TIntervalSequence::EnterMode() {
    ui_.eDepImg->setText(QStringLiteral("0"));
    ui_.eNbImgP->setText(QStringLiteral("0"));
    using orka::TNumericEdit;
    state_.IntervalTotal =
        TNumericEdit::ValueOr(ui_.eNbImgT, orka::eNbImgTRange, state_.IntervalTotal);
    state_.IntervalSeconds =
        TNumericEdit::ValueOr(ui_.eInterImg, orka::eInterImgRange, state_.IntervalSeconds);
    state_.IntervalDelay = 0;
}

void TIntervalSequence::SeqInterVClick(bool fromUser) {
    if (!fromUser)
        ui_.SeqInterV->setChecked(false);

    if (!ui_.SeqInterV->isChecked()) {
        StopIntervalSequence();
        return;
    }

    orka::TNumericEdit::ValidatePending({ui_.eNbImgT, ui_.eInterImg, ui_.eDepImg});

    ui_.SeqInterV->setText(QStringLiteral("Stopper la séquence"));
    // The shots are timed here, not by live-view frames: the live view stops.
    if (ui_.PreVisuActif->isChecked())
        ui_.PreVisuActif->setChecked(false);
    live_.MarkStopped();
    state_.IntervalStart = clock_.TickCount() / 1000;
    ++run_;
    state_.IntervalShots = 0;
    ui_.eNbImgP->setText(QStringLiteral("0"));
    for (QLineEdit* box : {ui_.eDepImg, ui_.eInterImg, ui_.eNbImgT})
        box->setReadOnly(true);
    timer_->start();
}

void TIntervalSequence::StopIntervalSequence() {
    ui_.SeqInterV->setText(QStringLiteral("Lancer la séquence"));
    state_.IntervalStart = 0;
    ui_.eNbImgP->setText(QStringLiteral("0"));
    state_.IntervalShots = 0;
    for (QLineEdit* box : {ui_.eDepImg, ui_.eInterImg, ui_.eNbImgT})
        box->setReadOnly(false);
    timer_->stop();
}

void TIntervalSequence::IntervalTick() {
    // The release handles window messages while it runs, so the idle refresh
    // and the timer can come back here during a shot: the shot under way is
    // not counted yet and must not be fired twice.
    if (pump_.Activities()->SkipsIntervalTick() || state_.IntervalStart == 0)
        return;
    if (!orka::IntervalShotDue(state_.IntervalStart, state_.IntervalDelay, state_.IntervalShots,
                               state_.IntervalSeconds, clock_.TickCount() / 1000))
        return;
    const uint32_t run = run_;

    {
        const orka::ActivityScope shot(pump_.Activities(), orka::Activity::IntervalShot);
        if (!shutter_.TakePictures())
            return;
    }

    // Stopped (or stopped and started again) during the shot: that sequence
    // is over and its counter was reset.
    if (state_.IntervalStart == 0 || run_ != run)
        return;
    ++state_.IntervalShots;
    ui_.eNbImgP->setText(QString::number(state_.IntervalShots));
    if (state_.IntervalShots >= state_.IntervalTotal)
        SeqInterVClick();
}
