// Applying a stored status record (a template, or the settings at connection)
// to the window and, through the controls' own handlers, to the camera: the
// camera receives what a user would send by choosing the same entries by hand.
#include <QComboBox>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>

#include "FchConf.h"
#include "FormControls.h"
#include "OrkaCapture.h"
#include "RadioGroup.h"
#include "SettingsRecord.h"
#include "ui_OrkaCapture.h"

namespace {

// The radio widgets and the change handler of a control of the plan; its
// list or track bar comes from the control's name.
struct Wiring {
    TRadioGroup* group = nullptr;
    QRadioButton* button = nullptr;  // checked by value 1
    QRadioButton* other = nullptr;   // checked by value 0
    void (TBase::*handler)() = nullptr;
};

// Checks one button of a pair without running the handlers: the plan runs
// the handler once.
void CheckOneOf(QRadioButton* on, QRadioButton* off) {
    const QSignalBlocker blockOn(on);
    const QSignalBlocker blockOff(off);
    on->setChecked(true);
}

}  // namespace

uint8_t TBase::ApplySettingsRecord(const CameraStatusData& record, uint8_t& restore) {
    using C = orka::RecordControl;
    using A = orka::RecordAction;
    Status = record;
    Ui::TBase& ui = *ui_;

    const auto wiring = [&ui](C control) -> Wiring {
        switch (control) {
            case C::DefImg:
                return {.handler = &TBase::DefImgChange};
            case C::QualImg:
                return {.handler = &TBase::QualImgChange};
            case C::VitAPN:
                return {.handler = &TBase::VitAPNChange};
            case C::OuvAPN:
                return {.handler = &TBase::OuvAPNChange};
            case C::ModeAPN:
                return {.handler = &TBase::ModeAPNChange};
            case C::MFlashAPN:
                return {.handler = &TBase::MFlashAPNChange};
            case C::BalBlanc:
                return {.handler = &TBase::BalBlancChange};
            case C::MonoMultiVue:
                return {.group = ui.MonoMultiVue, .handler = &TBase::MonoMultiVueClick};
            case C::MesAPN:
                return {.handler = &TBase::MesAPNChange};
            case C::ISOImg:
                return {.handler = &TBase::ISOImgChange};
            case C::ModeMF:
                return {.button = ui.ModeMF, .other = ui.ModeAF, .handler = &TBase::ModeMFClick};
            case C::CompExp:
                return {.handler = &TBase::CompExpChange};
            case C::FCoul:
                return {.handler = &TBase::FCoulChange};
            case C::RCouleur:
                return {.handler = &TBase::RCouleurChange};
            case C::CompFlash:
                return {.handler = &TBase::CompFlashChange};
            case C::Sat:
                return {.handler = &TBase::SatChange};
            case C::Contr:
                return {.handler = &TBase::ContrChange};
            case C::RNettete:
                return {.handler = &TBase::RNetteteChange};
            case C::CFlashAPN:
                return {.handler = &TBase::CFlashAPNChange};
            case C::ModeFFP:
                return {
                    .button = ui.ModeFFP, .other = ui.FocusCentr, .handler = &TBase::ModeFFPClick};
            case C::SonMap:
                return {.handler = &TBase::SonMapChange};
            case C::SonDecl:
                return {.handler = &TBase::SonDeclChange};
            case C::TCoul:
                return {.handler = &TBase::TCoulChange};
            case C::ICC:
                return {.handler = &TBase::ICCChange};
        }
        Q_UNREACHABLE();
        return {};
    };

    // The plan keeps every value it marks in range inside the control's list,
    // items or track bar, so the narrowing below never changes it.
    for (const orka::RecordStep& step : orka::SettingsRecordPlan(record)) {
        const Wiring w = wiring(step.control);
        const bool set = step.inRange;
        switch (step.action) {
            case A::SelectValue:
            case A::SelectEntry:
                if (set)
                    ListBox(this, step.control)->setCurrentIndex(int(step.value));
                break;
            case A::SelectItem:
                if (set)
                    w.group->setItemIndex(int(step.value));
                break;
            case A::SetPosition:
                if (set) {
                    // Without its handler: the plan runs it once.
                    QSlider* bar = TrackBar(this, step.control);
                    const QSignalBlocker blocker(bar);
                    bar->setValue(int(step.value));
                }
                break;
            case A::Check:
                if (set && step.value == 1)
                    CheckOneOf(w.button, w.other);
                else if (set)
                    CheckOneOf(w.other, w.button);
                break;
            case A::SendFilter:
                SendColourFilter(step.code);
                break;
            case A::RunHandler:
                (this->*w.handler)();
                break;
        }
    }

    restore = orka::TemplateRestoreByte(record);
    return ErrorLatch == 0 ? 1 : 0;
}
