#include "SettingsRecord.h"

#include "InterfaceOrka.h"
#include "ShootingModes.h"

namespace orka {

namespace {

namespace io = InterfaceOrka;
using C = RecordControl;
using A = RecordAction;

class Plan {
  public:
    // The entry of `list` that sends camera code `code`.
    void selectValue(C control, const ValueList& list, int32_t code) {
        const int entry = list.entry(code);
        steps_.push_back({control, A::SelectValue, entry, entry >= 0, code});
    }
    void selectEntry(C control, const ValueList& list, int64_t entry) {
        steps_.push_back({control, A::SelectEntry, entry, entry >= 0 && entry < list.count()});
    }
    // Item -1 when the record names no item.
    void selectItem(C control, int item) {
        steps_.push_back({control, A::SelectItem, item, item >= 0 && item < kShootingModeCount});
    }
    void setPosition(C control, const TrackBarRange& range, int32_t value) {
        const int64_t position = range.position(value);
        steps_.push_back({control, A::SetPosition, position,
                          position >= range.minimum && position <= range.maximum});
    }
    // Button -1 when the record names neither button.
    void check(C control, int button) {
        steps_.push_back({control, A::Check, button, button == 0 || button == 1});
    }
    void sendFilter(int32_t colourMode) {
        steps_.push_back({C::FCoul, A::SendFilter, 0, true, colourMode});
    }
    void handler(C control) { steps_.push_back({control, A::RunHandler}); }

    std::vector<RecordStep> take() { return std::move(steps_); }

  private:
    std::vector<RecordStep> steps_;
};

}  // namespace

std::vector<RecordStep> SettingsRecordPlan(const CameraStatusData& r) {
    Plan p;
    p.selectValue(C::DefImg, io::DefImg, r.imageSize);
    p.handler(C::DefImg);
    p.selectValue(C::QualImg, io::QualImg, r.imageQuality);
    p.handler(C::QualImg);
    // Shutter speeds count from 1, the list from 0.
    p.selectEntry(C::VitAPN, io::VitAPN, int64_t{r.shutterSpeed} - 1);
    p.handler(C::VitAPN);
    p.selectEntry(C::OuvAPN, io::OuvAPN, r.aperture);
    p.handler(C::OuvAPN);
    p.selectEntry(C::ModeAPN, io::ModeAPN, r.exposureProgram);
    p.handler(C::ModeAPN);
    p.selectEntry(C::MFlashAPN, io::MFlashAPN, r.flashMode);
    p.handler(C::MFlashAPN);
    p.selectEntry(C::BalBlanc, io::BalBlanc, r.whiteBalance);
    p.handler(C::BalBlanc);

    // Single shot, or three shots bracketed by 0.3 or 0.5 EV.
    p.selectItem(C::MonoMultiVue, ShootingModeOfDrive(r.driveMode, r.bracketStep));
    p.handler(C::MonoMultiVue);

    p.selectEntry(C::MesAPN, io::MesAPN, r.meteringMode);
    p.handler(C::MesAPN);
    p.selectValue(C::ISOImg, io::ISOImg, r.sensitivity);
    p.handler(C::ISOImg);
    p.check(C::ModeMF, r.focusMode != 0 ? 1 : 0);
    p.handler(C::ModeMF);
    p.selectEntry(C::CompExp, io::CompExp, r.exposureCompensation);
    p.handler(C::CompExp);

    // The filter track bar sends to the colour filter or to the black and
    // white filter by a colour mode. The camera may still be in the other
    // mode, so each of the record's two filters is sent with the mode it
    // belongs to; the black and white one is shown last.
    const bool blackAndWhite = r.colorMode == io::ColorModeBlackWhite;
    p.setPosition(C::FCoul, io::FCoul, r.colorFilter);
    p.sendFilter(blackAndWhite ? 0 : r.colorMode);
    p.selectValue(C::RCouleur, io::RCouleur, r.colorMode);
    if (blackAndWhite) {
        p.setPosition(C::FCoul, io::FCoul, r.bwFilter);
        p.sendFilter(io::ColorModeBlackWhite);
    }
    p.handler(C::RCouleur);

    p.selectEntry(C::CompFlash, io::CompFlash, r.flashCompensation);
    p.handler(C::CompFlash);
    p.setPosition(C::Sat, io::Sat, r.saturation);
    p.handler(C::Sat);
    p.setPosition(C::Contr, io::Contr, r.contrast);
    p.handler(C::Contr);
    p.selectEntry(C::RNettete, io::RNettete, r.sharpness);
    p.handler(C::RNettete);
    p.selectEntry(C::CFlashAPN, io::CFlashAPN, r.flashControl);
    p.handler(C::CFlashAPN);
    // 0 the flexible focus point, 1 the centre.
    p.check(C::ModeFFP, r.focusPointMode == 0 ? 1 : r.focusPointMode == 1 ? 0 : -1);
    p.handler(C::ModeFFP);
    p.selectEntry(C::SonMap, io::SonMap, r.infocusSound);
    p.handler(C::SonMap);
    p.selectEntry(C::SonDecl, io::SonDecl, r.shutterSound);
    p.handler(C::SonDecl);
    return p.take();
}

std::vector<RecordStep> CameraFollowedEntries(const CameraStatusData& status, bool shutterGreyed,
                                              bool apertureGreyed) {
    std::vector<RecordStep> out;
    for (const RecordStep& step : SettingsRecordPlan(status)) {
        const bool follows = step.control == C::SonMap || step.control == C::SonDecl ||
                             (step.control == C::VitAPN && shutterGreyed) ||
                             (step.control == C::OuvAPN && apertureGreyed);
        if (follows && step.action == A::SelectEntry && step.inRange)
            out.push_back(step);
    }
    return out;
}

}  // namespace orka
