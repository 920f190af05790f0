#include "IntervalSequence.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "CameraLink.h"
#include "EventPump.h"
#include "Intervalometer.h"
#include "LiveView.h"
#include "NumericEdit.h"
#include "Shutter.h"
#include "StatusPanel.h"
#include "TickClock.h"
#include "ui_OrkaCapture.h"

TIntervalSequence::TIntervalSequence(Ui::TBase& ui, const TCameraLink& link, TEventPump& pump,
                                     const orka::TickClock& clock, TShutter& shutter,
                                     TLiveView& live, orka::IntervalState& state)
    : ui_(ui),
      link_(link),
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
    if (BeforeRun && !BeforeRun(state_.IntervalTotal)) {
        ui_.SeqInterV->setChecked(false);
        return;
    }

    ui_.SeqInterV->setText(QCoreApplication::translate("IntervalSequence", "Stopper la séquence"));
    // The shots are timed here, not by live-view frames: the live view stops
    // for the run.
    liveViewBefore_ = ui_.PreVisuActif->isChecked();
    if (liveViewBefore_)
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
    const bool running = state_.IntervalStart != 0;
    ui_.SeqInterV->setText(QCoreApplication::translate("IntervalSequence", "Lancer la séquence"));
    state_.IntervalStart = 0;
    // The counter keeps what the run took.
    const int32_t taken = state_.IntervalShots;
    state_.IntervalShots = 0;
    for (QLineEdit* box : {ui_.eDepImg, ui_.eInterImg, ui_.eNbImgT})
        box->setReadOnly(false);
    timer_->stop();
    if (!running)
        return;
    if (taken < state_.IntervalTotal) {
        const QString text =
            QCoreApplication::translate("IntervalSequence",
                                        "Séquence d'intervalles arrêtée après %1 prise(s) sur %2")
                .arg(taken)
                .arg(state_.IntervalTotal);
        if (link_.Connected() && !link_.State().CameraLost)
            pump_.Status().Say(orka::status::Notice, text + QLatin1Char('.'));
        else
            pump_.Status().Say(orka::status::Interrupted,
                               text + QCoreApplication::translate("IntervalSequence",
                                                                  " : l'APN a été déconnecté."));
    }
    // The live view comes back as it was before the run: at once when a
    // camera is connected, at the next connection otherwise. From the event
    // loop, so that the loop does not run inside the tick that ended the run.
    if (liveViewBefore_) {
        liveViewBefore_ = false;
        QTimer::singleShot(0, this, [this] {
            if (state_.IntervalStart == 0 && !ui_.PreVisuActif->isChecked())
                ui_.PreVisuActif->setChecked(true);
        });
    }
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
        // A shot the release could not take (no camera) is counted all the
        // same, so that the schedule goes on; the release said why.
        const orka::ActivityScope shot(pump_.Activities(), orka::Activity::IntervalShot);
        if (shutter_.TakePictures() == TShutter::Release::WindowGone)
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
