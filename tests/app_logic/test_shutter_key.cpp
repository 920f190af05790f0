#include <gtest/gtest.h>

#include "ShutterKey.h"

using orka::ShutterKey;
using Step = ShutterKey::Step;
using namespace std::chrono_literals;

namespace {
const ShutterKey::Clock::time_point t0{};
}

// Two separate presses: the first half-presses, the second shoots and ends
// the half press; the next press starts a new half press, not a shot.
TEST(ShutterKey, SecondPressWithinTheHoldShoots) {
    ShutterKey key(5s);
    EXPECT_EQ(key.Press(t0, false), Step::HalfPress);
    EXPECT_TRUE(key.HalfPressed());
    EXPECT_EQ(key.Press(t0 + 4s, false), Step::Shoot);
    EXPECT_FALSE(key.HalfPressed());
    EXPECT_EQ(key.Press(t0 + 4100ms, false), Step::HalfPress);
}

// Holding the key down (its repeats) or a press after the hold ran out
// never takes a picture.
TEST(ShutterKey, RepeatsAndLatePressesNeverShoot) {
    ShutterKey key(5s);
    EXPECT_EQ(key.Press(t0, false), Step::HalfPress);
    for (auto t = 30ms; t < 6s; t += 30ms)
        EXPECT_NE(key.Press(t0 + t, true), Step::Shoot);
    EXPECT_FALSE(key.HalfPressed());  // the hold ran out under the repeats

    EXPECT_EQ(key.Press(t0 + 10s, false), Step::HalfPress);
    EXPECT_EQ(key.Tick(t0 + 14s), Step::None);
    EXPECT_EQ(key.Tick(t0 + 15s), Step::Release);
    EXPECT_EQ(key.Press(t0 + 15100ms, false), Step::HalfPress);  // starts over
}

// Échap (or the camera gone) releases once; with nothing held it does nothing.
TEST(ShutterKey, CancelReleasesWithoutAShot) {
    ShutterKey key;
    EXPECT_EQ(key.Cancel(), Step::None);
    EXPECT_EQ(key.Press(t0, false), Step::HalfPress);
    EXPECT_EQ(key.Cancel(), Step::Release);
    EXPECT_EQ(key.Cancel(), Step::None);
    EXPECT_EQ(key.Press(t0 + 1s, false), Step::HalfPress);
}
