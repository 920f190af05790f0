#include "ModeChoice.h"

#include <QCoreApplication>
#include <QGroupBox>
#include <QWidget>

#include "CameraLink.h"
#include "IntervalSequence.h"
#include "MotionTrigger.h"
#include "ShootingModes.h"
#include "Shutter.h"
#include "VideoSequence.h"
#include "ui_OrkaCapture.h"

namespace {

// Top of the box holding the settings of the chosen mode.
constexpr int kModeBoxTop = 120;

void ShowAtModeTop(QGroupBox* box) {
    box->move(box->x(), kModeBoxTop);
    box->show();
}

}  // namespace

TModeChoice::TModeChoice(QWidget* window, Ui::TBase& ui, TCameraLink& link, TMotionTrigger& motion,
                         TIntervalSequence& interval, TVideoSequence& video, TShutter& shutter)
    : window_(window),
      ui_(ui),
      link_(link),
      motion_(motion),
      interval_(interval),
      video_(video),
      shutter_(shutter) {
    connect(ui_.MonoMultiVue, &TRadioGroup::clicked, this, [this] { MonoMultiVueClick(); });
}

void TModeChoice::MonoMultiVueClick() {
    // Whatever ran in the previous mode stops, the same mode included.
    motion_.DetectEventClick();
    ui_.BeepDecl->setChecked(false);
    motion_.ResetDetection();
    motion_.ClearRoiThumbnail();
    ui_.ClicSurEvent->hide();

    interval_.SeqInterVClick();
    ui_.ModeIntervalle->hide();

    shutter_.AllowAfterView(false);

    ui_.Retardateur->hide();

    video_.SeqVideoClick();
    ui_.SequenceVideo->hide();

    const orka::ShootingMode& mode = orka::ShootingModeOf(ui_.MonoMultiVue->itemIndex());
    link_.CheckResult(SetDriveMode(mode.driveMode));
    if (mode.bracketStep >= 0)
        link_.CheckResult(SetExposureBracketStep(mode.bracketStep));

    if (mode.afterView)
        shutter_.AllowAfterView(true);
    switch (mode.box) {
        case orka::ModeBox::Interval:
            ShowAtModeTop(ui_.ModeIntervalle);
            interval_.EnterMode();
            break;
        case orka::ModeBox::Event:
            ShowAtModeTop(ui_.ClicSurEvent);
            break;
        case orka::ModeBox::SelfTimer:
            ShowAtModeTop(ui_.Retardateur);
            shutter_.EnterSelfTimerMode();
            break;
        case orka::ModeBox::Video:
            video_.EnterMode();
            ShowAtModeTop(ui_.SequenceVideo);
            break;
        case orka::ModeBox::None:
            break;
    }
    window_->setWindowTitle(QCoreApplication::translate("ShootingModes", mode.caption));
}
