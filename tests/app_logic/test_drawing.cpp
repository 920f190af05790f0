// Markers over the live view, the detection-rectangle outline and the
// histogram picture, checked pixel by pixel on images.
#include "Histogram.h"
#include "UtilsOrka.h"

#include <QPainter>

#include <cmath>

#include <gtest/gtest.h>

using namespace orka;

namespace {

QImage Gradient(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            img.setPixel(x, y, qRgb(x * 4 % 256, y * 4 % 256, (x + y) % 256));
        }
    }
    return img;
}

bool IsWhite(const QImage& img, int x, int y) {
    return img.pixel(x, y) == qRgb(255, 255, 255);
}

TEST(Drawing, FocusMarkerBracketsAroundAGap) {
    QImage img(40, 40, QImage::Format_RGB32);
    img.fill(Qt::black);
    {
        QPainter p(&img);
        DrawFocusMarker(p, 20, 20);
    }
    int white = 0;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 40; ++x) {
            white += IsWhite(img, x, y);
        }
    }
    EXPECT_EQ(white, 4 * (5 * 2 + 3 * 2));  // four L brackets, 2 px thick, 5 px arms
    for (int y = 18; y <= 21; ++y) {
        for (int x = 18; x <= 21; ++x) {
            EXPECT_FALSE(IsWhite(img, x, y)) << x << "," << y;  // the 4 x 4 gap
        }
    }
    // Upper right: arm along x 22..26 at rows 16-17, arm along y 13..17 at columns 22-23.
    EXPECT_TRUE(IsWhite(img, 26, 17));
    EXPECT_FALSE(IsWhite(img, 27, 17));
    EXPECT_TRUE(IsWhite(img, 22, 13));
    EXPECT_FALSE(IsWhite(img, 22, 12));
    EXPECT_FALSE(IsWhite(img, 24, 15));
    // Lower left mirrors it.
    EXPECT_TRUE(IsWhite(img, 13, 22));
    EXPECT_FALSE(IsWhite(img, 12, 22));
    EXPECT_TRUE(IsWhite(img, 17, 26));
    EXPECT_FALSE(IsWhite(img, 17, 27));
}

TEST(Drawing, SpotCircleInvertsARingOfRadius20AndUndoesItself) {
    const QImage original = Gradient(80, 80);
    QImage img = original;
    {
        QPainter p(&img);
        DrawSpotCircle(p, 40, 40);
    }
    int changed = 0;
    for (int y = 0; y < 80; ++y) {
        for (int x = 0; x < 80; ++x) {
            if (img.pixel(x, y) == original.pixel(x, y)) {
                continue;
            }
            ++changed;
            EXPECT_EQ(img.pixel(x, y) & 0xFFFFFF, ~original.pixel(x, y) & 0xFFFFFF);
            EXPECT_NEAR(std::hypot(x - 40, y - 40), 20.0, 1.5) << x << "," << y;
        }
    }
    EXPECT_GT(changed, 100);
    {
        QPainter p(&img);
        DrawSpotCircle(p, 40, 40);
    }
    EXPECT_EQ(img, original);
}

TEST(Drawing, RoiOutlineInvertsOnTheRectangleEdgeOnly) {
    const QImage original = Gradient(64, 48);
    QImage img = original;
    TRoiState roi;
    roi.Corner1 = QPoint(40, 30);  // raw corners, in any order
    roi.Corner2 = QPoint(10, 5);
    {
        QPainter p(&img);
        DrawRoiRectangle(p, roi);
    }
    EXPECT_EQ(img.pixel(10, 5) & 0xFFFFFF, ~original.pixel(10, 5) & 0xFFFFFF);
    for (int y = 0; y < 48; ++y) {
        for (int x = 0; x < 64; ++x) {
            const bool onEdge = (x == 10 || x == 39) ? (y >= 5 && y <= 29)
                                                     : (y == 5 || y == 29) && x >= 10 && x <= 39;
            if (!onEdge) {
                ASSERT_EQ(img.pixel(x, y), original.pixel(x, y)) << x << "," << y;
            }
        }
    }
    {
        QPainter p(&img);
        DrawRoiRectangle(p, roi);
    }
    EXPECT_EQ(img, original);
}

int BarHeight(const QImage& img, int column) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y) {
        n += img.pixel(column, y) == qRgb(128, 128, 128);
    }
    return n;
}

TEST(Drawing, HistogramBarsScaleToTheFullestBin) {
    Histogram h;
    h.bins[128] = 544 * 408;
    h.largest = 544 * 408;
    QImage img;
    DrawHistogram(h, img);
    ASSERT_EQ(img.size(), QSize(256, 100));
    EXPECT_EQ(BarHeight(img, 128), 100);
    EXPECT_EQ(img.pixel(128, 0), qRgb(128, 128, 128));
    for (int i : {0, 127, 129, 255}) {
        EXPECT_EQ(BarHeight(img, i), 0);
        EXPECT_EQ(img.pixel(i, 99), qRgb(255, 255, 255));
    }

    Histogram ties;  // 12.5 and 37.5 round to the even neighbour
    ties.bins = {};
    ties.bins[1] = 1;
    ties.bins[2] = 3;
    ties.bins[3] = 8;
    ties.largest = 8;
    DrawHistogram(ties, img);
    EXPECT_EQ(BarHeight(img, 1), 12);
    EXPECT_EQ(BarHeight(img, 2), 38);
    EXPECT_EQ(BarHeight(img, 3), 100);

    DrawHistogram(Histogram{}, img);  // an empty frame draws nothing
    EXPECT_EQ(BarHeight(img, 0), 0);
}

}  // namespace
