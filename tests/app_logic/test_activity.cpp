#include <gtest/gtest.h>

#include <memory>

#include "Activity.h"

using orka::Activities;
using orka::Activity;
using orka::ActivityScope;

// Nested live-view loops: only the outermost one owns the idle timer, and
// the loop is running until the outermost has left.
TEST(Activity, ScopesNestAndOnlyTheOutermostIsOutermost) {
    auto a = std::make_shared<Activities>();
    EXPECT_TRUE(a->Idle());
    {
        const ActivityScope outer(a, Activity::LiveView);
        EXPECT_TRUE(outer.Outermost());
        {
            const ActivityScope inner(a, Activity::LiveView);
            EXPECT_FALSE(inner.Outermost());
        }
        EXPECT_TRUE(a->Running(Activity::LiveView));
    }
    EXPECT_TRUE(a->Idle());
    EXPECT_EQ(a->Leave(Activity::LiveView), 0);  // never below zero
}

// A scope left after its window (the owner of the activities) is gone.
TEST(Activity, ScopeOutlivesItsOwner) {
    auto a = std::make_shared<Activities>();
    std::weak_ptr<Activities> seen = a;
    {
        const ActivityScope release(a, Activity::Release);
        a.reset();
        EXPECT_FALSE(seen.expired());
    }
    EXPECT_TRUE(seen.expired());
}

TEST(Activity, WhatEachActivityKeepsOut) {
    Activities a;
    a.Enter(Activity::HalfPress);
    EXPECT_TRUE(a.SkipsHalfPress());
    EXPECT_FALSE(a.SkipsRelease());  // a click during the half press shoots
    a.Leave(Activity::HalfPress);
    a.Enter(Activity::Release);
    EXPECT_TRUE(a.SkipsHalfPress());
    EXPECT_TRUE(a.SkipsRelease());
    // A shot due during the user's release (its self-timer pumps) waits:
    // it would count a picture the release never took.
    EXPECT_TRUE(a.SkipsIntervalTick());
    a.Leave(Activity::Release);
    EXPECT_FALSE(a.SkipsIntervalTick() || a.SkipsCameraSearch());
    a.Enter(Activity::Connecting);  // the pending files are waited for
    EXPECT_TRUE(a.SkipsHalfPress() && a.SkipsIntervalTick() && a.SkipsCameraSearch());
    a.Leave(Activity::Connecting);
    a.Enter(Activity::IntervalShot);
    a.Enter(Activity::MotionCapture);
    a.Enter(Activity::Connecting);
    EXPECT_TRUE(a.SkipsIntervalTick() && a.SkipsMotionMeasure() && a.SkipsConnectClick());
}
