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

#include "InterfaceOrka.h"
#include "fotolien.h"

namespace orka {

// The window's controls that a record sets: the first ones of Control, up
// to SonDecl.
using RecordControl = Control;
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

// The steps that apply `record`, in order.
std::vector<RecordStep> SettingsRecordPlan(const CameraStatusData& record);

// The lists that show the camera's own value while connected, without
// sending anything: the two sound lists always, the shutter-speed and
// aperture lists while the exposure program greys them. Each step selects
// an entry; an entry outside its list is left out (the list keeps what it
// shows).
std::vector<RecordStep> CameraFollowedEntries(const CameraStatusData& status, bool shutterGreyed,
                                              bool apertureGreyed);

}  // namespace orka
