// Applying a stored status record (a template, or the settings at connection)
// as a plan: the controls the record sets, in the order the window sets them,
// what each is given and where each control's change handler runs. The window
// carries the plan out (TBase::ApplySettingsRecord) and sends nothing of its
// own: the camera receives what the handlers send for the entries shown, as
// if a user had chosen them by hand.
//
// Every field is untrusted (a template is any file the user opens): each
// entry, item and position is computed in 64 bits from the field, never
// wrapped, and a step whose value is outside its control is skipped, leaving
// the control as it is; the control's handler still runs.
#pragma once

#include <cstdint>
#include <vector>

#include "fotolien.h"

namespace orka {

// The window's controls that a record sets.
enum class RecordControl : uint8_t {
    DefImg,
    QualImg,
    VitAPN,
    OuvAPN,
    ModeAPN,
    MFlashAPN,
    BalBlanc,
    MonoMultiVue,  // shooting modes (radio group)
    MesAPN,
    ISOImg,
    ModeMF,  // focus: the pair ModeMF / ModeAF
    CompExp,
    FCoul,  // colour or black and white filter (track bar)
    RCouleur,
    CompFlash,
    Sat,
    Contr,
    RNettete,
    CFlashAPN,
    ModeFFP,  // focus point: the pair ModeFFP / FocusCentr
    SonMap,
    SonDecl,
};
inline constexpr int kRecordControlCount = int(RecordControl::SonDecl) + 1;

enum class RecordAction : uint8_t {
    SelectValue,  // list: show entry `value`, the one that sends camera code `code`
    SelectEntry,  // list: show entry `value`
    SelectItem,   // radio group: choose item `value`
    SetPosition,  // track bar: move to `value` without running its handler
    Check,        // button pair, handlers not run: `value` 1 checks the control's
                  // own button (ModeMF, ModeFFP), 0 the other one
    SendFilter,   // FCoul: send the position shown as the filter of colour mode `code`
    RunHandler,   // the control's change handler
};

struct RecordStep {
    RecordControl control;
    RecordAction action;
    int64_t value = 0;    // entry, item, position or button
    bool inRange = true;  // false: value is outside the control, which is left as it is
    int32_t code = 0;     // SelectValue: the record's camera code; SendFilter: the colour mode
};

// Items of MonoMultiVue a record selects: single shot, three shots bracketed
// by 0.3 EV and by 0.5 EV.
inline constexpr int kDriveItemSingle = 0;
inline constexpr int kDriveItemBracket03 = 1;
inline constexpr int kDriveItemBracket05 = 4;
inline constexpr int kDriveItemCount = 7;

// The steps that apply `record`, in order.
std::vector<RecordStep> SettingsRecordPlan(const CameraStatusData& record);

}  // namespace orka
