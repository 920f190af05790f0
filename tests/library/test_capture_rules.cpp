// How many files a capture brings and how long its after-view may take.
#include "capture_rules.h"

#include <gtest/gtest.h>

namespace fotolien {
namespace {

TEST(FilesPerCapture, ByQualityAndColourMode) {
    EXPECT_EQ(filesPerCapture(0, 0), 2);    // raw + thumbnail
    EXPECT_EQ(filesPerCapture(1, 132), 2);  // TIFF: the profile adds nothing
    EXPECT_EQ(filesPerCapture(6, 0), 2);
    EXPECT_EQ(filesPerCapture(6, 132), 3);
    EXPECT_EQ(filesPerCapture(5, 0), 1);
    EXPECT_EQ(filesPerCapture(3, 132), 2);
    EXPECT_EQ(filesPerCapture(5, 5), 1);  // the caller's 5 is code 132 on the camera
}

TEST(AfterViewBudget, FollowsTheShutterBands) {
    EXPECT_EQ(afterViewBudgetMs(7, 0), 5000);
    EXPECT_EQ(afterViewBudgetMs(0, 30), 65000);
    EXPECT_EQ(afterViewBudgetMs(-3, -10), 0);  // never negative
    EXPECT_EQ(afterViewBudgetMs(8, 99), 65000);
    EXPECT_EQ(afterViewBudgetMs(9, 0), 65000);
    EXPECT_EQ(afterViewBudgetMs(10, 0), 55000);
    EXPECT_EQ(afterViewBudgetMs(12, 0), 55000);
    EXPECT_EQ(afterViewBudgetMs(33, 0), 13000);
    EXPECT_EQ(afterViewBudgetMs(38, 0), 11000);
    EXPECT_EQ(afterViewBudgetMs(46, 0), 9000);
    EXPECT_EQ(afterViewBudgetMs(49, 0), 7000);
    EXPECT_EQ(afterViewBudgetMs(50, 0), 5000);
    EXPECT_EQ(afterViewBudgetMs(136, 0), 5000);
}

}  // namespace
}  // namespace fotolien
