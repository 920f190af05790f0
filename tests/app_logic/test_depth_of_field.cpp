// Depth-of-field figures and their "%.4g" texts in a French locale.
#include "DepthOfField.h"

#include <gtest/gtest.h>

using namespace orka;

namespace {

const QLocale kFrench(QLocale::French, QLocale::France);

TEST(DepthOfField, FiguresAtFocal50AndF56) {
    struct Case {
        uint32_t distanceMm;
        const char* nearText;
        const char* farText;
    } const cases[] = {
        {2000, "1,294", "4,467"},
        {3000, "1,649", "17,3"},
        {0, "3,643", "Inf."},     // the camera reports infinity
        {5000, "3,643", "Inf."},  // beyond the hyperfocal distance
    };
    for (const Case& c : cases) {
        const auto dof = ShowDepthOfField(c.distanceMm, 6, 50, kFrench);
        ASSERT_TRUE(dof.has_value());
        EXPECT_EQ(dof->nearText, QString(c.nearText)) << c.distanceMm;
        EXPECT_EQ(dof->farText, QString(c.farText)) << c.distanceMm;
    }
    const auto dof = ShowDepthOfField(2000, 6, 50, kFrench);
    EXPECT_NEAR(double(dof->hyperfocal), 3.6447, 1e-4);
    EXPECT_NEAR(double(dof->farLimit), 4.4667, 1e-4);
}

TEST(DepthOfField, JustShortOfHyperfocalIsInfiniteNotNegative) {
    // H = 3.64466 m, f / 1000 = 0.01278 m: 3640 mm leaves a negative
    // far-limit denominator, 3600 mm a positive one.
    const auto band = ShowDepthOfField(3640, 6, 50, kFrench);
    EXPECT_TRUE(band->farInfinite);
    EXPECT_EQ(band->farText, QString("Inf."));
    EXPECT_GT(band->nearLimit, 1.8L);  // computed from the real distance
    const auto below = ShowDepthOfField(3600, 6, 50, kFrench);
    EXPECT_FALSE(below->farInfinite);
    EXPECT_GT(below->farLimit, 100.0L);
}

TEST(DepthOfField, UnknownApertureAndGeneralFormat) {
    EXPECT_FALSE(ShowDepthOfField(2000, 13, 50).has_value());
    EXPECT_FALSE(ShowDepthOfField(2000, -1, 50).has_value());
    EXPECT_EQ(FormatGeneral4(1234.5L, kFrench), QString("1234"));  // ties of %g go to even
    EXPECT_EQ(FormatGeneral4(12345.0L, kFrench), QString("1,234e+04"));
    EXPECT_EQ(FormatGeneral4(2.5L, QLocale::c()), QString("2.5"));
    EXPECT_EQ(FormatGeneral4(0.0001L, kFrench), QString("0,0001"));
}

}  // namespace
