// The shooting modes of the "Automatismes" tab: the choice of MonoMultiVue
// and the clock of the automation.
#include <QGroupBox>
#include <QLineEdit>
#include <QTimer>

#include <chrono>

#include "NumericEdit.h"
#include "OrkaCapture.h"
#include "ProgDH.h"
#include "ShootingModes.h"
#include "ui_OrkaCapture.h"

namespace {

// Top of the box holding the settings of the chosen mode.
constexpr int kModeBoxTop = 120;

void ShowAtModeTop(QGroupBox* box) {
    box->move(box->x(), kModeBoxTop);
    box->show();
}

// The integer a box holds when it passes its range rule, else `current`.
int32_t ReadBox(const QLineEdit* edit, orka::EditRange range, int32_t current) {
    const orka::EditRangeResult r = orka::ReadEditInRange(edit->text(), range);
    return r.outcome == orka::EditRangeResult::Accepted ? r.value : current;
}

// Milliseconds since the program first asked, plus one second: never 0, and
// the 32-bit counter wraps only after 49 days of running.
uint32_t DefaultTickCount() {
    using namespace std::chrono;
    static const steady_clock::time_point origin = steady_clock::now();
    const auto elapsed = duration_cast<milliseconds>(steady_clock::now() - origin).count();
    return uint32_t(elapsed + 1000);
}

}  // namespace

void TBase::SetTickSource(TickSource source) {
    tickSource_ = source ? std::move(source) : TickSource(DefaultTickCount);
}

uint32_t TBase::TickCount() const {
    return tickSource_();
}

void TBase::InitAutomation() {
    tickSource_ = DefaultTickCount;
    intervalTimer_ = new QTimer(this);
    intervalTimer_->setInterval(1000);
    connect(intervalTimer_, &QTimer::timeout, this, [this] {
        if (IntervalStart != 0)
            IntervalTick();
    });

    connect(ParamPgm, &TParamPgm::helpRequested, this, &TBase::ShowProgDHHelp);

    ConnectAutomationHandlers();
    ClearRoiThumbnail();
    MonoMultiVueClick();
    // No camera is open yet: what the library refused here says nothing of
    // a camera, and connecting starts from a clear indicator anyway.
    ErrorLatch = 0;
    LastResult = 0;
    SeuilChange();
}

void TBase::ConnectAutomationHandlers() {
    connect(ui_->MonoMultiVue, &TRadioGroup::clicked, this, [this] { MonoMultiVueClick(); });
    connect(ui_->SeqInterV, &QPushButton::clicked, this, [this] { SeqInterVClick(true); });
    connect(ui_->SeqVideo, &QPushButton::clicked, this, [this] { SeqVideoClick(true); });
    connect(ui_->DetectEvent, &QPushButton::clicked, this, [this] { DetectEventClick(true); });
    connect(ui_->Seuil, &QSlider::valueChanged, this, &TBase::SeuilChange);
    connect(ui_->PrgmEvent, &QPushButton::clicked, this, &TBase::PrgmEventClick);
}

// Values typed less than a second ago count for what starts now.
void TBase::ValidatePendingEdits(std::initializer_list<QLineEdit*> boxes) {
    for (QLineEdit* box : boxes)
        if (auto* rule = box->findChild<orka::TNumericEdit*>(); rule && rule->pending())
            rule->validateNow();
}

void TBase::MonoMultiVueClick() {
    // Whatever ran in the previous mode stops, the same mode included.
    DetectEventClick();
    ui_->BeepDecl->setChecked(false);
    ResetDetection();
    ClearRoiThumbnail();
    ui_->ClicSurEvent->hide();

    SeqInterVClick();
    ui_->ModeIntervalle->hide();

    ui_->PostVisuActif->setEnabled(false);
    AfterViewOn = false;

    ui_->Retardateur->hide();

    SeqVideoClick();
    ui_->SequenceVideo->hide();

    const orka::ShootingMode& mode = orka::ShootingModeOf(ui_->MonoMultiVue->itemIndex());
    CheckResult(SetDriveMode(mode.driveMode));
    if (mode.bracketStep >= 0)
        CheckResult(SetExposureBracketStep(mode.bracketStep));

    if (mode.afterView) {
        ui_->PostVisuActif->setEnabled(true);
        AfterViewOn = ui_->PostVisuActif->isChecked();
    }
    switch (mode.box) {
        case orka::ModeBox::Interval:
            ShowAtModeTop(ui_->ModeIntervalle);
            ui_->eDepImg->setText(QStringLiteral("0"));
            ui_->eNbImgP->setText(QStringLiteral("0"));
            IntervalTotal = ReadBox(ui_->eNbImgT, orka::eNbImgTRange, IntervalTotal);
            IntervalSeconds = ReadBox(ui_->eInterImg, orka::eInterImgRange, IntervalSeconds);
            IntervalDelay = 0;
            break;
        case orka::ModeBox::Event:
            ShowAtModeTop(ui_->ClicSurEvent);
            break;
        case orka::ModeBox::SelfTimer:
            ShowAtModeTop(ui_->Retardateur);
            SelfTimerDelay = ReadBox(ui_->RetDecl, orka::RetDeclRange, SelfTimerDelay);
            break;
        case orka::ModeBox::Video:
            ui_->eDureeVideo->setText(QStringLiteral("0"));
            ui_->eDepVideo->setText(QStringLiteral("0"));
            VideoDuration = 0;
            VideoDelay = 0;
            ShowAtModeTop(ui_->SequenceVideo);
            break;
        case orka::ModeBox::None:
            break;
    }
    setWindowTitle(QString::fromUtf8(mode.caption));
}
