// The intervalometer's absolute schedule, driven tick by tick with a fake
// clock the way the window's tick uses it.
#include <gtest/gtest.h>

#include <vector>

#include "Intervalometer.h"

namespace {

// Runs one tick per second from start to end (or only at the given instants)
// and returns the instants at which shots were taken, as the window's tick
// does: at most one shot per tick, stop after the total.
std::vector<uint32_t> ShotTimes(uint32_t start, int32_t delay, int32_t interval, int32_t total,
                                const std::vector<uint32_t>& ticks) {
    std::vector<uint32_t> shots;
    for (uint32_t now : ticks) {
        if (int32_t(shots.size()) >= total)
            break;
        if (IntervalShotDue(start, delay, int32_t(shots.size()), interval, now))
            shots.push_back(now);
    }
    return shots;
}

std::vector<uint32_t> EverySecond(uint32_t from, uint32_t to) {
    std::vector<uint32_t> ticks;
    for (uint32_t t = from; t <= to; ++t)
        ticks.push_back(t);
    return ticks;
}

}  // namespace

TEST(Intervalometer, FirstShotAtOnceThenEveryInterval) {
    EXPECT_EQ(ShotTimes(1000, 0, 5, 2, EverySecond(1000, 1100)),
              (std::vector<uint32_t>{1000, 1005}));
}

TEST(Intervalometer, StartDelay) {
    EXPECT_FALSE(IntervalShotDue(1000, 60, 0, 10, 1059));
    EXPECT_TRUE(IntervalShotDue(1000, 60, 0, 10, 1060));
    EXPECT_EQ(ShotTimes(1000, 60, 10, 3, EverySecond(1000, 2000)),
              (std::vector<uint32_t>{1060, 1070, 1080}));
}

TEST(Intervalometer, OneDayInterval) {
    EXPECT_FALSE(IntervalShotDue(500, 0, 1, 86400, 500 + 86399));
    EXPECT_TRUE(IntervalShotDue(500, 0, 1, 86400, 500 + 86400));
}

// Busy for 25 s in a 10 s sequence: the two overdue shots come on the next
// two ticks, and the schedule is on time again afterwards.
TEST(Intervalometer, OverdueShotsBackToBackNoneSkipped) {
    std::vector<uint32_t> ticks = {0};
    for (uint32_t t = 25; t <= 40; ++t)
        ticks.push_back(t);
    EXPECT_EQ(ShotTimes(0, 0, 10, 5, ticks), (std::vector<uint32_t>{0, 25, 26, 30, 40}));
}

TEST(Intervalometer, NoWrapNearTheCounterTop) {
    const uint32_t start = 0xFFFFFF00u;
    EXPECT_EQ(IntervalShotDueAt(start, 3600, 1000, 86400), int64_t(start) + 3600 + 86400000LL);
    EXPECT_FALSE(IntervalShotDue(start, 3600, 0, 5, 0xFFFFFFFFu));
}
