#include "SettingsControls.h"

#include <QComboBox>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>

#include "CameraLink.h"
#include "ColourControls.h"
#include "ExposureControls.h"
#include "FchConf.h"
#include "FocusControls.h"
#include "FormControls.h"
#include "ModeChoice.h"
#include "RadioGroup.h"
#include "SettingsRecord.h"
#include "SettingsTab.h"
#include "ui_OrkaCapture.h"

namespace {

// Checks one button of a pair without running the handlers: the plan runs
// the handler once.
void CheckOneOf(QRadioButton* on, QRadioButton* off) {
    const QSignalBlocker blockOn(on);
    const QSignalBlocker blockOff(off);
    on->setChecked(true);
}

}  // namespace

TSettingsControls::TSettingsControls(QWidget* form, Ui::TBase& ui, TCameraLink& link,
                                     TExposureControls& exposure, TColourControls& colour,
                                     TFocusControls& focus, TModeChoice& modes,
                                     TSettingsTab& settingsTab)
    : form_(form),
      ui_(ui),
      link_(link),
      exposure_(exposure),
      colour_(colour),
      focus_(focus),
      modes_(modes),
      settingsTab_(settingsTab) {}

void TSettingsControls::RunHandler(orka::Control control) {
    using C = orka::Control;
    switch (control) {
        case C::DefImg:
            return exposure_.DefImgChange();
        case C::QualImg:
            return exposure_.QualImgChange();
        case C::VitAPN:
            return exposure_.VitAPNChange();
        case C::OuvAPN:
            return exposure_.OuvAPNChange();
        case C::ModeAPN:
            return exposure_.ModeAPNChange();
        case C::MFlashAPN:
            return exposure_.MFlashAPNChange();
        case C::BalBlanc:
            return colour_.BalBlancChange();
        case C::MonoMultiVue:
            return modes_.MonoMultiVueClick();
        case C::MesAPN:
            return exposure_.MesAPNChange();
        case C::ISOImg:
            return exposure_.ISOImgChange();
        case C::ModeMF:
            return focus_.ModeMFClick();
        case C::CompExp:
            return exposure_.CompExpChange();
        case C::FCoul:
            return colour_.FCoulChange();
        case C::RCouleur:
            return colour_.RCouleurChange();
        case C::CompFlash:
            return exposure_.CompFlashChange();
        case C::Sat:
            return colour_.SatChange();
        case C::Contr:
            return colour_.ContrChange();
        case C::RNettete:
            return colour_.RNetteteChange();
        case C::CFlashAPN:
            return exposure_.CFlashAPNChange();
        case C::ModeFFP:
            return focus_.ModeFFPClick();
        case C::SonMap:
            return settingsTab_.SonMapChange();
        case C::SonDecl:
            return settingsTab_.SonDeclChange();
        case C::TCoul:
            return colour_.TCoulChange();
        case C::ICC:
            return colour_.ICCChange();
    }
}

void TSettingsControls::SendControlSettings() {
    using C = orka::Control;
    static constexpr C kSettingsOrder[] = {
        C::QualImg, C::DefImg,  C::ISOImg,    C::ModeAPN,   C::VitAPN,    C::OuvAPN,
        C::MesAPN,  C::CompExp, C::CompFlash, C::MFlashAPN, C::CFlashAPN, C::BalBlanc,
        C::Contr,   C::Sat,     C::RNettete,  C::RCouleur,  C::FCoul,
    };
    for (const C control : kSettingsOrder)
        RunHandler(control);
    focus_.FFPetSpotAEClick();
}

uint8_t TSettingsControls::ApplySettingsRecord(const CameraStatusData& record, uint8_t& restore) {
    using C = orka::Control;
    using A = orka::RecordAction;
    link_.StartFromRecord(record);

    // The plan keeps every value it marks in range inside the control's list,
    // items or track bar, so the narrowing below never changes it.
    for (const orka::RecordStep& step : orka::SettingsRecordPlan(record)) {
        const bool set = step.inRange;
        switch (step.action) {
            case A::SelectValue:
            case A::SelectEntry:
                if (set)
                    ListBox(form_, step.control)->setCurrentIndex(int(step.value));
                break;
            case A::SelectItem:
                if (set)
                    ui_.MonoMultiVue->setItemIndex(int(step.value));
                break;
            case A::SetPosition:
                if (set) {
                    // Without its handler: the plan runs it once.
                    QSlider* bar = TrackBar(form_, step.control);
                    const QSignalBlocker blocker(bar);
                    bar->setValue(int(step.value));
                }
                break;
            case A::Check: {
                // The control's own button (ModeMF, ModeFFP) and the other one.
                const bool focusMode = step.control == C::ModeMF;
                QRadioButton* own = focusMode ? ui_.ModeMF : ui_.ModeFFP;
                QRadioButton* other = focusMode ? ui_.ModeAF : ui_.FocusCentr;
                if (set && step.value == 1)
                    CheckOneOf(own, other);
                else if (set)
                    CheckOneOf(other, own);
                break;
            }
            case A::SendFilter:
                colour_.SendColourFilter(step.code);
                break;
            case A::RunHandler:
                RunHandler(step.control);
                break;
        }
    }

    restore = orka::TemplateRestoreByte(record);
    return link_.State().ErrorLatch == 0 ? 1 : 0;
}
