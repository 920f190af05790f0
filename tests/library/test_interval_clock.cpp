// Interval-capture mode and the camera clock on the wire.
#include "sim_support.h"

namespace fotolien::test {
namespace {

class IntervalAndClock : public SimTest {
  protected:
    void SetUp() override {
        SimTest::SetUp();
        enterControlMode();
        sim().clearLog();
    }
};

TEST_F(IntervalAndClock, IntervalModeIsSentOnlyWhenItChanges) {
    EXPECT_EQ(EndIntervalCaptureMode(), 0);
    EXPECT_TRUE(sent(0x102E).empty());
    ASSERT_EQ(StartIntervalCaptureMode(), 0);
    ASSERT_EQ(StartIntervalCaptureMode(), 0);
    ASSERT_EQ(sent(0x102E).size(), 1u);
    EXPECT_EQ(payloadOf(sent(0x102E)[0]), (Bytes{1, 0, 0, 0}));
    EXPECT_TRUE(sim().snapshot().intervalMode);
    ASSERT_EQ(EndIntervalCaptureMode(), 0);
    ASSERT_EQ(sent(0x102E).size(), 2u);
    EXPECT_EQ(payloadOf(sent(0x102E)[1]), (Bytes{0, 0, 0, 0}));
}

TEST_F(IntervalAndClock, AFailedEndKeepsIntervalMode) {
    ASSERT_EQ(StartIntervalCaptureMode(), 0);
    sim().unplug();
    EXPECT_EQ(EndIntervalCaptureMode(), 1);
}

TEST_F(IntervalAndClock, ClockWordsGoOutAsGiven) {
    // 6 December 2026, 11:21:04.
    ASSERT_EQ(SyncCameraClock(0x060C07EA, 0x0004150B), 0);
    ASSERT_EQ(sent(0x1028).size(), 1u);
    EXPECT_EQ(payloadOf(sent(0x1028)[0]), (Bytes{0xEA, 0x07, 0x0C, 0x06, 0x0B, 0x15, 0x04, 0x00}));
    const auto clock = sim().snapshot().clock;
    ASSERT_TRUE(clock.has_value());
    EXPECT_EQ(*clock, (std::array<int, 6>{2026, 12, 6, 11, 21, 4}));
    // The camera refuses a month 13.
    EXPECT_EQ(SyncCameraClock(0x060D07EA, 0), 1);
}

}  // namespace
}  // namespace fotolien::test
