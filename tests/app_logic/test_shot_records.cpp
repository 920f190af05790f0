#include <gtest/gtest.h>

#include "ShotRecords.h"

namespace {

using namespace std::chrono_literals;
using orka::ShotRecord;
using orka::ShotRecords;

ShotRecord At(orka::ShotClock::time_point t, int32_t speed) {
    ShotRecord r;
    r.status.shutterSpeed = speed;
    r.released = t;
    return r;
}

}  // namespace

// The focus frame's point only when the autofocus works on a chosen point
// and the point is on the frame; the centre otherwise.
TEST(ShotRecords, FocusPointOfTheShot) {
    CameraStatusData s{};
    const std::array<int32_t, 2> centre{orka::CameraFrameWidth / 2, orka::CameraFrameHeight / 2};
    s.focusMode = 0;
    s.focusPointMode = 0;
    EXPECT_EQ(orka::ShotFocusPoint(s, {100, 2000}), (std::array<int32_t, 2>{100, 2000}));
    EXPECT_EQ(orka::ShotFocusPoint(s, {-1, 2000}), centre);
    EXPECT_EQ(orka::ShotFocusPoint(s, {100, orka::CameraFrameHeight}), centre);
    s.focusPointMode = 1;  // central zone
    EXPECT_EQ(orka::ShotFocusPoint(s, {100, 2000}), centre);
    s.focusPointMode = 0;
    s.focusMode = 1;  // manual focus
    EXPECT_EQ(orka::ShotFocusPoint(s, {100, 2000}), centre);
}

// Oldest release first, one per picture number (a raw picture and its JPEG
// share theirs); a picture without a release gets none; a release whose
// picture never came is not passed on to a picture much later.
TEST(ShotRecords, ReleasesPairWithPicturesInOrder) {
    ShotRecords records;
    const auto t0 = orka::ShotClock::now();
    EXPECT_FALSE(records.Landed("/d/P00001", t0));
    records.Released(At(t0, 1));
    records.Released(At(t0 + 1s, 2));
    EXPECT_EQ(records.Landed("/d/P00002", t0 + 2s)->status.shutterSpeed, 1);
    EXPECT_EQ(records.Landed("/d/P00002", t0 + 2s)->status.shutterSpeed, 1);  // its JPEG
    EXPECT_EQ(records.Landed("/d/P00003", t0 + 3s)->status.shutterSpeed, 2);
    EXPECT_FALSE(records.Landed("/d/P00004", t0 + 3s));

    records.Released(At(t0 + 4s, 3));  // its capture never saved a picture
    records.Released(At(t0 + 4s + ShotRecords::kMaxWait + 1s, 4));
    EXPECT_EQ(records.Landed("/d/P00005", t0 + 5s + ShotRecords::kMaxWait)->status.shutterSpeed, 4);
    EXPECT_EQ(records.Pending(), 0u);

    for (int i = 0; i < int(ShotRecords::kMaxPending) + 3; ++i)
        records.Released(At(t0 + 10min, i));
    EXPECT_EQ(records.Pending(), ShotRecords::kMaxPending);
}

TEST(ShotRecords, OnScreenTextInTenthsWithADecimalComma) {
    EXPECT_EQ(orka::OnScreenText(1449ms), QStringLiteral("à l'écran en 1,4 s"));
    EXPECT_EQ(orka::OnScreenText(1450ms), QStringLiteral("à l'écran en 1,5 s"));
    EXPECT_EQ(orka::OnScreenText(12345ms), QStringLiteral("à l'écran en 12,3 s"));
    EXPECT_EQ(orka::OnScreenText(-5ms), QStringLiteral("à l'écran en 0,0 s"));
}
