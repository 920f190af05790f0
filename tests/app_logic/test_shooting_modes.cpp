// The table of the shooting modes: which item shows which box, what an item
// outside the group reads as, and the item a record's drive mode selects.
#include <gtest/gtest.h>

#include "ShootingModes.h"

using orka::ModeBox;

TEST(ShootingModes, BoxesAndDriveModes) {
    EXPECT_EQ(orka::ShootingModeItem(ModeBox::Interval), 2);
    EXPECT_EQ(orka::ShootingModeItem(ModeBox::Event), 3);
    EXPECT_EQ(orka::ShootingModeItem(ModeBox::SelfTimer), 5);
    EXPECT_EQ(orka::ShootingModeItem(ModeBox::Video), 6);
    EXPECT_EQ(orka::ShootingModeItem(ModeBox::None), -1);
    // Only the single shot offers the after-view; the two series bracket.
    for (int item = 0; item < orka::kShootingModeCount; ++item) {
        const orka::ShootingMode& mode = orka::ShootingModeOf(item);
        EXPECT_EQ(mode.afterView, item == 0) << item;
        EXPECT_EQ(mode.driveMode, item == 1 || item == 4 ? orka::kDriveBracketing : 0) << item;
    }
    EXPECT_EQ(&orka::ShootingModeOf(-1), &orka::ShootingModeOf(0));
    EXPECT_EQ(&orka::ShootingModeOf(7), &orka::ShootingModeOf(0));
}

TEST(ShootingModes, ItemOfARecordsDriveMode) {
    EXPECT_EQ(orka::ShootingModeOfDrive(0, 0), 0);
    EXPECT_EQ(orka::ShootingModeOfDrive(0, 7), 0);  // a single shot whatever the step
    EXPECT_EQ(orka::ShootingModeOfDrive(3, 0), 1);
    EXPECT_EQ(orka::ShootingModeOfDrive(3, 1), 4);
    EXPECT_EQ(orka::ShootingModeOfDrive(3, 2), -1);
    EXPECT_EQ(orka::ShootingModeOfDrive(1, 0), -1);
}
