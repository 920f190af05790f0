// The plan that applies a settings record: the order the controls are set
// and their handlers run, the entries and positions a typical record gives,
// the two filters of a black and white record, and fields out of range.
#include <gtest/gtest.h>

#include <climits>

#include "InterfaceOrka.h"
#include "SettingsRecord.h"

using orka::RecordAction;
using orka::RecordControl;
using orka::RecordStep;
using C = RecordControl;
using A = RecordAction;

namespace {

// A record a user could have saved: 2560 x 1920 "Fin", manual at 1/8 and F/8,
// rear curtain, centre-weighted, 400 ISO, manual focus, +1 EV, three shots
// by 0.5 EV, solarised with filter +2, saturation -1, contrast +3.
CameraStatusData Typical() {
    CameraStatusData r{};
    r.imageSize = 7;
    r.imageQuality = 2;
    r.shutterSpeed = 24;
    r.aperture = 9;
    r.exposureProgram = 3;
    r.flashMode = 2;
    r.whiteBalance = 4;
    r.driveMode = 3;
    r.bracketStep = 1;
    r.meteringMode = 1;
    r.sensitivity = 2;
    r.focusMode = 1;
    r.exposureCompensation = 9;
    r.colorMode = 3;
    r.colorFilter = 7;
    r.bwFilter = 1;
    r.flashCompensation = 4;
    r.saturation = 4;
    r.contrast = 8;
    r.sharpness = 2;
    r.flashControl = 5;
    r.focusPointMode = 1;
    r.infocusSound = 1;
    r.shutterSound = 2;
    return r;
}

struct Expected {
    C control;
    A action;
    int64_t value;
};

void ExpectSets(const std::vector<RecordStep>& plan, const std::vector<Expected>& expected) {
    std::vector<Expected> sets;
    for (const RecordStep& s : plan)
        if (s.action != A::RunHandler) {
            EXPECT_TRUE(s.inRange) << int(s.control);
            sets.push_back({s.control, s.action, s.value});
        }
    ASSERT_EQ(sets.size(), expected.size());
    for (size_t i = 0; i < sets.size(); ++i) {
        EXPECT_EQ(sets[i].control, expected[i].control) << i;
        EXPECT_EQ(sets[i].action, expected[i].action) << i;
        EXPECT_EQ(sets[i].value, expected[i].value) << i;
    }
}

const RecordStep* Find(const std::vector<RecordStep>& plan, C control, A action) {
    for (const RecordStep& s : plan)
        if (s.control == control && s.action == action)
            return &s;
    return nullptr;
}

}  // namespace

// Each control is set, then its handler runs, in the window's order; the
// filter is sent before the colour mode is shown.
TEST(SettingsRecord, TypicalRecordInOrder) {
    const std::vector<RecordStep> plan = orka::SettingsRecordPlan(Typical());
    // clang-format off
    ExpectSets(plan, {
        {C::DefImg, A::SelectValue, 2},  // "2560 x 1920"
        {C::QualImg, A::SelectValue, 4},  // "Fin"
        {C::VitAPN, A::SelectEntry, 23},
        {C::OuvAPN, A::SelectEntry, 9},
        {C::ModeAPN, A::SelectEntry, 3},
        {C::MFlashAPN, A::SelectEntry, 2},
        {C::BalBlanc, A::SelectEntry, 4},
        {C::MonoMultiVue, A::SelectItem, 4},  // ± 0, 5
        {C::MesAPN, A::SelectEntry, 1},
        {C::ISOImg, A::SelectValue, 4},  // "400 ISO"
        {C::ModeMF, A::Check, 1},
        {C::CompExp, A::SelectEntry, 9},
        {C::FCoul, A::SetPosition, 2},
        {C::FCoul, A::SendFilter, 0},
        {C::RCouleur, A::SelectValue, 5},  // "Solarisation"
        {C::CompFlash, A::SelectEntry, 4},
        {C::Sat, A::SetPosition, -1},
        {C::Contr, A::SetPosition, 3},
        {C::RNettete, A::SelectEntry, 2},
        {C::CFlashAPN, A::SelectEntry, 5},
        {C::ModeFFP, A::Check, 0},  // centre
        {C::SonMap, A::SelectEntry, 1},
        {C::SonDecl, A::SelectEntry, 2},
    });
    // clang-format on
    EXPECT_EQ(Find(plan, C::FCoul, A::SendFilter)->code, 3);

    std::vector<C> handlers;
    for (const RecordStep& s : plan)
        if (s.action == A::RunHandler)
            handlers.push_back(s.control);
    const std::vector<C> order = {
        C::DefImg,   C::QualImg,      C::VitAPN, C::OuvAPN, C::ModeAPN,  C::MFlashAPN,
        C::BalBlanc, C::MonoMultiVue, C::MesAPN, C::ISOImg, C::ModeMF,   C::CompExp,
        C::RCouleur, C::CompFlash,    C::Sat,    C::Contr,  C::RNettete, C::CFlashAPN,
        C::ModeFFP,  C::SonMap,       C::SonDecl};
    EXPECT_EQ(handlers, order);
    // Each handler runs right after its control is set.
    for (size_t i = 1; i < plan.size(); ++i) {
        if (plan[i].action != A::RunHandler)
            continue;
        EXPECT_EQ(plan[i - 1].control, plan[i].control) << i;
    }
}

// Black and white: the colour filter goes with the colour mode 0, then the
// black and white filter with its own mode, shown last; any other mode sends
// the colour filter with that mode, once.
TEST(SettingsRecord, BlackAndWhiteSendsBothFilters) {
    CameraStatusData r = Typical();
    r.colorMode = orka::InterfaceOrka::ColorModeBlackWhite;
    std::vector<std::pair<A, int64_t>> filter;
    for (const RecordStep& s : orka::SettingsRecordPlan(r))
        if (s.control == C::FCoul || s.control == C::RCouleur)
            filter.push_back({s.action, s.action == A::SendFilter ? s.code : s.value});
    const std::vector<std::pair<A, int64_t>> expected = {
        {A::SetPosition, 2},  {A::SendFilter, 0}, {A::SelectValue, 4},  // "Noir et Blanc"
        {A::SetPosition, -4}, {A::SendFilter, 1}, {A::RunHandler, 0}};
    EXPECT_EQ(filter, expected);

    for (const int32_t mode : {0, 2, 5, 6, -1}) {
        r.colorMode = mode;
        int sent = 0;
        for (const RecordStep& s : orka::SettingsRecordPlan(r))
            if (s.action == A::SendFilter) {
                ++sent;
                EXPECT_EQ(s.code, mode);
            }
        EXPECT_EQ(sent, 1) << mode;
    }
}

// Fields outside their control are skipped, wide values never wrap into
// range, and every handler still runs; the edges just inside are kept.
TEST(SettingsRecord, OutOfRangeFieldsAreSkipped) {
    for (const int32_t extreme : {INT_MIN, INT_MAX}) {
        CameraStatusData r{};
        r.imageSize = 2;  // no entry sends it
        r.imageQuality = extreme;
        r.shutterSpeed = extreme;
        r.aperture = 13;
        r.exposureProgram = -1;
        r.driveMode = 3;
        r.bracketStep = 2;
        r.sensitivity = extreme;
        r.colorMode = orka::InterfaceOrka::ColorModeBlackWhite;
        r.colorFilter = extreme;
        r.bwFilter = 11;
        r.saturation = extreme;
        r.contrast = -1;
        r.focusPointMode = extreme;
        r.shutterSound = extreme;
        const std::vector<RecordStep> plan = orka::SettingsRecordPlan(r);

        int skipped = 0, handlers = 0;
        for (const RecordStep& s : plan) {
            skipped += !s.inRange;
            handlers += s.action == A::RunHandler;
        }
        EXPECT_EQ(skipped, 13) << extreme;
        EXPECT_EQ(handlers, orka::kRecordControlCount - 1);
        EXPECT_EQ(Find(plan, C::VitAPN, A::SelectEntry)->value, int64_t{extreme} - 1);
        EXPECT_EQ(Find(plan, C::Sat, A::SetPosition)->value, int64_t{extreme} - 5);
        EXPECT_FALSE(Find(plan, C::MonoMultiVue, A::SelectItem)->inRange);
        EXPECT_FALSE(Find(plan, C::ModeFFP, A::Check)->inRange);
    }

    CameraStatusData r{};
    r.shutterSpeed = 48;  // the last entry, "1/2000"
    r.saturation = 10;    // +5
    r.contrast = 0;       // -5
    r.focusMode = INT_MIN;
    const std::vector<RecordStep> plan = orka::SettingsRecordPlan(r);
    for (const RecordStep& s : plan)
        EXPECT_TRUE(s.inRange) << int(s.control);
    EXPECT_EQ(Find(plan, C::VitAPN, A::SelectEntry)->value, 47);
    EXPECT_EQ(Find(plan, C::ModeMF, A::Check)->value, 1);
    EXPECT_EQ(Find(plan, C::ModeFFP, A::Check)->value, 1);  // 0: flexible point
    EXPECT_EQ(Find(plan, C::MonoMultiVue, A::SelectItem)->value, 0);
    r.shutterSpeed = 49;
    EXPECT_FALSE(Find(orka::SettingsRecordPlan(r), C::VitAPN, A::SelectEntry)->inRange);
}

// The lists that follow the camera: the sounds always, the shutter speed and
// aperture only while greyed; an entry outside its list is left out.
TEST(SettingsRecord, CameraFollowedEntries) {
    CameraStatusData s = Typical();
    s.infocusSound = 1;
    s.shutterSound = 2;
    const auto entries = [](const std::vector<RecordStep>& steps) {
        std::vector<std::pair<C, int64_t>> out;
        for (const RecordStep& step : steps) {
            EXPECT_EQ(step.action, A::SelectEntry);
            out.emplace_back(step.control, step.value);
        }
        return out;
    };
    using E = std::vector<std::pair<C, int64_t>>;
    EXPECT_EQ(entries(orka::CameraFollowedEntries(s, true, true)),
              (E{{C::VitAPN, 23}, {C::OuvAPN, 9}, {C::SonMap, 1}, {C::SonDecl, 2}}));
    EXPECT_EQ(entries(orka::CameraFollowedEntries(s, false, true)),
              (E{{C::OuvAPN, 9}, {C::SonMap, 1}, {C::SonDecl, 2}}));
    s.shutterSpeed = 0;  // no entry: the list keeps what it shows
    s.shutterSound = 7;
    EXPECT_EQ(entries(orka::CameraFollowedEntries(s, true, false)), (E{{C::SonMap, 1}}));
}
