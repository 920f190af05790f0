// Fuzz target: a ".cfg" template file as the user opens it, decoded, and its
// settings record taken apart the way loading it does: every list entry and
// track-bar position its fields select, the plan that applies the record to
// the window, the restore byte, the comparison with the default set-up.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include <QByteArray>

#include "FchConf.h"
#include "InterfaceOrka.h"
#include "SettingsRecord.h"
#include "ShootingModes.h"

namespace io = orka::InterfaceOrka;
using orka::RecordAction;
using orka::RecordControl;

namespace {

void Check(bool ok) {
    if (!ok)
        __builtin_trap();
}

// Values a step may give its control: [low, high]. Traps on an action the
// control does not take.
std::pair<int64_t, int64_t> ExtentOf(const orka::RecordStep& step) {
    const RecordControl c = step.control;
    switch (step.action) {
        case RecordAction::SelectValue:
        case RecordAction::SelectEntry:
            Check(orka::ValueListOf(c) != nullptr);
            return {0, orka::ValueListOf(c)->count() - 1};
        case RecordAction::SetPosition:
            Check(orka::TrackBarOf(c) != nullptr);
            return {orka::TrackBarOf(c)->minimum, orka::TrackBarOf(c)->maximum};
        case RecordAction::SelectItem:
            Check(c == RecordControl::MonoMultiVue);
            return {0, orka::kShootingModeCount - 1};
        case RecordAction::Check:
            Check(c == RecordControl::ModeMF || c == RecordControl::ModeFFP);
            return {0, 1};
        case RecordAction::SendFilter:
        case RecordAction::RunHandler:
            break;
    }
    return {INT64_MIN, INT64_MAX};
}

std::vector<RecordControl> Handlers(const std::vector<orka::RecordStep>& plan) {
    std::vector<RecordControl> order;
    for (const orka::RecordStep& step : plan)
        if (step.action == RecordAction::RunHandler)
            order.push_back(step.control);
    return order;
}

// Every step in range of its control or skipped; an entry chosen by code
// sends that code; nothing is set on a control after its handler ran; the
// handlers run in one order whatever the record; each filter is sent right
// after it is shown, the black and white one last and only in black and
// white.
void CheckPlan(const CameraStatusData& r) {
    static const std::vector<RecordControl> kOrder = Handlers(orka::SettingsRecordPlan({}));
    const std::vector<orka::RecordStep> plan = orka::SettingsRecordPlan(r);
    Check(Handlers(plan) == kOrder);

    bool handled[orka::kRecordControlCount] = {};
    int filters = 0;
    int32_t lastFilterMode = -1;
    for (size_t i = 0; i < plan.size(); ++i) {
        const orka::RecordStep& step = plan[i];
        const auto [low, high] = ExtentOf(step);
        Check(step.inRange == (step.value >= low && step.value <= high));
        if (step.action == RecordAction::SelectValue && step.inRange)
            Check(orka::ValueListOf(step.control)->value(int(step.value)) == step.code);
        Check(!handled[int(step.control)]);
        if (step.action == RecordAction::RunHandler)
            handled[int(step.control)] = true;
        if (step.action == RecordAction::SendFilter) {
            Check(i > 0 && plan[i - 1].control == RecordControl::FCoul &&
                  plan[i - 1].action == RecordAction::SetPosition);
            ++filters;
            lastFilterMode = step.code;
        }
    }
    const bool blackAndWhite = r.colorMode == io::ColorModeBlackWhite;
    Check(filters == (blackAndWhite ? 2 : 1));
    Check((lastFilterMode == io::ColorModeBlackWhite) == blackAndWhite);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const orka::TemplateRead read = orka::DecodeTemplate(bytes);
    if (read.error != orka::TemplateError::None)
        return 0;
    const CameraStatusData& r = read.settings;

    // Each field through the value table or track bar that shows it.
    volatile int64_t sink = 0;
    for (const orka::ValueList* list : {&io::DefImg, &io::QualImg, &io::ISOImg, &io::RCouleur})
        for (int i = 0; i < orka::kStatusFieldCount; ++i)
            sink = sink + list->entry(orka::StatusField(r, i));
    for (const auto& range : {io::FCoul, io::Sat, io::Contr})
        for (const int32_t value : {r.colorFilter, r.bwFilter, r.saturation, r.contrast})
            if (range.contains(
                    int(std::clamp<int64_t>(range.position(value), INT32_MIN, INT32_MAX))))
                sink = sink + 1;
    sink = sink + orka::TemplateRestoreByte(r) + orka::SameTemplateFields(r, CameraStatusData{});

    CheckPlan(r);

    // What loading writes back is what it read.
    const orka::TemplateRead again = orka::DecodeTemplate(orka::EncodeTemplate(r));
    if (again.error != orka::TemplateError::None || std::memcmp(&again.settings, &r, sizeof r) != 0)
        __builtin_trap();
    return 0;
}
