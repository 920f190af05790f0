// The intervalometer's absolute schedule: shot n is due at
// start + delay + n x interval, whatever time the earlier shots took. The
// window's tick that applies it (one shot per tick, stop after the total) is
// tested with the window.
#include <gtest/gtest.h>

#include "Intervalometer.h"
#include "TickClock.h"

TEST(Intervalometer, FirstShotAtOnceThenEveryInterval) {
    EXPECT_TRUE(orka::IntervalShotDue(1000, 0, 0, 5, 1000));
    EXPECT_FALSE(orka::IntervalShotDue(1000, 0, 1, 5, 1004));
    EXPECT_TRUE(orka::IntervalShotDue(1000, 0, 1, 5, 1005));
}

TEST(Intervalometer, StartDelay) {
    EXPECT_FALSE(orka::IntervalShotDue(1000, 60, 0, 10, 1059));
    EXPECT_TRUE(orka::IntervalShotDue(1000, 60, 0, 10, 1060));
    EXPECT_FALSE(orka::IntervalShotDue(1000, 60, 2, 10, 1079));
    EXPECT_TRUE(orka::IntervalShotDue(1000, 60, 2, 10, 1080));
}

TEST(Intervalometer, OneDayInterval) {
    EXPECT_FALSE(orka::IntervalShotDue(500, 0, 1, 86400, 500 + 86399));
    EXPECT_TRUE(orka::IntervalShotDue(500, 0, 1, 86400, 500 + 86400));
}

// Busy for 25 s in a 10 s sequence: both overdue shots are still due, and
// the one after them keeps its place in the schedule.
TEST(Intervalometer, OverdueShotsStayDueOnTheAbsoluteSchedule) {
    EXPECT_TRUE(orka::IntervalShotDue(0, 0, 1, 10, 25));
    EXPECT_TRUE(orka::IntervalShotDue(0, 0, 2, 10, 25));
    EXPECT_FALSE(orka::IntervalShotDue(0, 0, 3, 10, 29));
    EXPECT_EQ(orka::IntervalShotDueAt(0, 0, 3, 10), 30);
}

TEST(Intervalometer, NoWrapNearTheCounterTop) {
    const uint32_t start = 0xFFFFFF00u;
    EXPECT_EQ(orka::IntervalShotDueAt(start, 3600, 1000, 86400),
              int64_t(start) + 3600 + 86400000LL);
    EXPECT_FALSE(orka::IntervalShotDue(start, 3600, 0, 5, 0xFFFFFFFFu));
}

// The automation's clock: replaceable, and back to the steady counter (never
// 0) when given nothing.
TEST(TickClock, SourceReplacedAndRestored) {
    orka::TickClock clock;
    EXPECT_GE(clock.TickCount(), 1000u);
    clock.SetSource([] { return 42u; });
    EXPECT_EQ(clock.TickCount(), 42u);
    clock.SetSource({});
    EXPECT_GE(clock.TickCount(), 1000u);
}
