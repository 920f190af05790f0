// Frame analysis (histogram, rectangle brightness) and the motion measure.
#include "Detection.h"
#include "Histogram.h"

#include <QRandomGenerator>

#include <algorithm>
#include <vector>

#include <gtest/gtest.h>

using namespace orka;

namespace {

QImage Filled(int w, int h, uint8_t b, uint8_t g, uint8_t r) {
    QImage img(w, h, QImage::Format_BGR888);
    for (int y = 0; y < h; ++y) {
        uint8_t* p = img.scanLine(y);
        for (int x = 0; x < w; ++x, p += 3) {
            p[0] = b;
            p[1] = g;
            p[2] = r;
        }
    }
    return img;
}

TEST(RoiConversions, BetweenPreviewSizesAndThumbnail) {
    const RoiStore fromSmall = StoreRoi({30, 30, 90, 60}, false);
    EXPECT_EQ(fromSmall.RoiLarge, (RoiBox{51, 51, 153, 102}));
    EXPECT_EQ(fromSmall.RoiThumb, (RoiBox{12, 12, 36, 24}));
    const RoiStore fromLarge = StoreRoi({51, 51, 153, 102}, true);
    EXPECT_EQ(fromLarge.RoiSmall, (RoiBox{30, 30, 90, 60}));
    EXPECT_EQ(fromLarge.RoiThumb, (RoiBox{12, 12, 36, 24}));
    EXPECT_EQ(RoiSmallToLarge({5, 0, 0, 0}).x1, 8);  // 8.5: ties go to even
    EXPECT_EQ(RoiLargeToThumb({544, 408, 0, 0}), (RoiBox{128, 96, 0, 0}));

    EXPECT_EQ(RoiThumbArea({544, 408}), QRect(0, 16, 128, 96));
    EXPECT_EQ(RoiThumbArea({240, 320}), QRect(16, 0, 96, 128));
}

TEST(RoiConversions, ThumbnailPlacesPictureAndOutline) {
    QImage thumb;
    const QImage shown = Filled(544, 408, 0, 0, 0);
    DrawRoiThumbnail(thumb, shown, {12, 12, 36, 24}, QColor(100, 100, 100));
    ASSERT_EQ(thumb.size(), QSize(128, 128));
    EXPECT_EQ(thumb.pixel(5, 15), qRgb(100, 100, 100));   // band above the picture
    EXPECT_EQ(thumb.pixel(5, 16), qRgb(0, 0, 0));         // the picture
    EXPECT_EQ(thumb.pixel(5, 112), qRgb(100, 100, 100));  // band below
    EXPECT_EQ(thumb.pixel(12, 28), qRgb(255, 255, 255));  // outline, offset by 16 rows
    EXPECT_EQ(thumb.pixel(35, 39), qRgb(255, 255, 255));
    EXPECT_EQ(thumb.pixel(36, 40), qRgb(0, 0, 0));
    EXPECT_EQ(thumb.pixel(20, 32), qRgb(0, 0, 0));  // hollow
}

// The mapped rectangle covers exactly the frame pixels shown inside the
// outlined one.
TEST(RoiConversions, ToFrameFollowsTheDisplayOrientation) {
    const int w = 16, h = 12;
    QImage frame(w, h, QImage::Format_BGR888);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            uint8_t* p = frame.scanLine(y) + 3 * x;
            p[0] = uint8_t(x);
            p[1] = uint8_t(y);
            p[2] = 0;
        }
    }
    const RoiBox outlined{3, 5, 10, 9};
    QImage shown;
    for (Orientation o : {Orientation::Normal, Orientation::UpsideDown, Orientation::Anticlockwise,
                          Orientation::Clockwise}) {
        TurnFrame(o, frame, shown);
        const RoiBox f = RoiToFrame(outlined, o, w, h);
        EXPECT_EQ(f.width() * f.height(), outlined.width() * outlined.height()) << int(o);
        for (int y = outlined.y1; y < outlined.y2; ++y) {
            for (int x = outlined.x1; x < outlined.x2; ++x) {
                const uint8_t* p = shown.constScanLine(y) + 3 * x;
                EXPECT_TRUE(p[0] >= f.x1 && p[0] < f.x2 && p[1] >= f.y1 && p[1] < f.y2)
                    << int(o) << " " << x << "," << y;
            }
        }
    }
}

// The frame's rows copied to buffers of their exact size, so that a read past
// a row's end lands in a sanitizer's red zone.
struct ExactRows {
    std::vector<std::vector<uint8_t>> bytes;
    std::vector<const uint8_t*> rows;
    explicit ExactRows(const QImage& img) {
        for (int y = 0; y < img.height(); ++y) {
            bytes.emplace_back(img.constScanLine(y), img.constScanLine(y) + 3 * img.width());
        }
        for (const auto& b : bytes) {
            rows.push_back(b.data());
        }
    }
};

TEST(AnalyseFrame, HistogramOfTheBrightestChannel) {
    Histogram h;
    const ExactRows grey(Filled(37, 11, 128, 128, 128));
    AnalyseFrame(grey.rows.data(), 37, 11, h, nullptr);
    EXPECT_EQ(h.bins[128], 37u * 11u);
    EXPECT_EQ(h.largest, 37u * 11u);
    EXPECT_EQ(std::count(h.bins.begin(), h.bins.end(), 0u), 255);

    QImage img = Filled(2, 1, 0, 0, 255);                                // pure red...
    img.scanLine(0)[3] = img.scanLine(0)[4] = img.scanLine(0)[5] = 255;  // ...and white
    AnalyseFrame(img, h, nullptr);                                       // rebuilt from zero
    EXPECT_EQ(h.bins[255], 2u);
    EXPECT_EQ(h.bins[128], 0u);
}

TEST(AnalyseFrame, CopiesTheRectangleBrightnessRowMajor) {
    QImage img(9, 7, QImage::Format_BGR888);
    for (int y = 0; y < 7; ++y) {
        for (int x = 0; x < 9; ++x) {
            uint8_t* p = img.scanLine(y) + 3 * x;
            p[0] = uint8_t(10 * y + x);  // blue is the brightest channel
            p[1] = p[2] = 0;
        }
    }
    MotionDetector d;
    d.SetRectangle({2, 3, 7, 6});
    Histogram h;
    const ExactRows exact(img);
    AnalyseFrame(exact.rows.data(), 9, 7, h, &d);
    ASSERT_EQ(d.RoiLumaValues().size(), 15u);
    for (int y = 3; y < 6; ++y) {
        for (int x = 2; x < 7; ++x) {
            EXPECT_EQ(d.RoiLumaValues()[size_t((y - 3) * 5 + (x - 2))], 10 * y + x);
        }
    }
    EXPECT_EQ(h.largest, 1u);

    // Partly outside the frame: only the pixels inside are written.
    d.SetRectangle({6, 5, 11, 8});
    std::fill(d.RoiLuma(), d.RoiLuma() + 15, -1);
    AnalyseFrame(img, h, &d);
    EXPECT_EQ(d.RoiLumaValues()[0], 56);
    EXPECT_EQ(d.RoiLumaValues()[2], 58);
    EXPECT_EQ(d.RoiLumaValues()[3], -1);   // column 9 is past the frame
    EXPECT_EQ(d.RoiLumaValues()[10], -1);  // row 7 is past the frame
}

// Feeds one frame of constant rectangle brightness straight into RoiLuma.
MotionResult Measure(MotionDetector& d, int luma) {
    std::fill(d.RoiLuma(), d.RoiLuma() + d.RoiLumaValues().size(), luma);
    d.ExchangeBlockArrays();
    return d.DetectMotion();
}

TEST(DetectMotion, SingleBlockSpreadIsTheDifferenceItself) {
    MotionDetector d;
    d.SetRectangle({0, 0, 3, 3});
    EXPECT_EQ(Measure(d, 10).measure, 90);  // sum 90 against 0; history was 0
    EXPECT_EQ(Measure(d, 10).measure, 22);  // |0 - 22.5|: ties go to even
    EXPECT_EQ(Measure(d, 10).measure, 22);
    EXPECT_EQ(Measure(d, 10).measure, 22);
    EXPECT_EQ(Measure(d, 10).measure, 22);  // 90 leaves the history now
    EXPECT_EQ(Measure(d, 10).measure, 0);
    EXPECT_EQ(Measure(d, 5).measure, 45);  // the difference is -45: kept signed
}

TEST(DetectMotion, SampleDeviationAndSeriesLengths) {
    MotionDetector d;
    d.SetRectangle({0, 0, 6, 3});  // two blocks
    std::fill(d.RoiLuma(), d.RoiLuma() + 18, 0);
    for (int row = 0; row < 3; ++row) {
        std::fill(d.RoiLuma() + row * 6 + 3, d.RoiLuma() + row * 6 + 6, 2);
    }
    d.ExchangeBlockArrays();
    // Differences 0 and 18: sample deviation sqrt(162) = 12.73 (population: 9).
    EXPECT_EQ(d.DetectMotion().measure, 13);

    d.SetRectangle({0, 0, 300, 150});
    EXPECT_EQ(d.BlockDiffs().size(), 5000u);
    d.SetRectangle({0, 0, 10, 10});  // 11 entries, 9 blocks: two zero tails
    Measure(d, 7);
    EXPECT_EQ(d.BlockDiffs().size(), 11u);
    EXPECT_EQ(d.BlockDiffs()[8], 63.0);
    EXPECT_EQ(d.BlockDiffs()[10], 0.0);
}

TEST(DetectMotion, TriggerDecision) {
    EXPECT_FALSE(MotionTriggers(50, 50, true, true));
    EXPECT_TRUE(MotionTriggers(51, 50, true, true));
    EXPECT_FALSE(MotionTriggers(51, 50, false, true));  // DetectEvent up
    EXPECT_FALSE(MotionTriggers(99, 50, true, false));  // outside the schedule
}

// A noisy but steady scene never fires; a change inside the rectangle fires
// once; the frame after the capture measures 0 and leaves the gauge alone.
TEST(DetectMotion, NoisySceneAndOneChange) {
    QRandomGenerator rng(1234);
    const int w = 160, h = 120;
    MotionDetector d;
    d.SetRectangle({20, 20, 140, 100});
    Histogram hist;
    int triggers = 0;
    int firedAt = -1;
    for (int frame = 0; frame < 60; ++frame) {
        QImage img(w, h, QImage::Format_BGR888);
        for (int y = 0; y < h; ++y) {
            uint8_t* p = img.scanLine(y);
            for (int x = 0; x < w * 3; ++x) {
                const bool lit = frame >= 30 && x / 3 >= 60 && x / 3 < 100 && y >= 40 && y < 80;
                p[x] = uint8_t((lit ? 200 : 90) + rng.bounded(20));
            }
        }
        AnalyseFrame(img, hist, &d);
        const MotionResult r = d.DetectMotion();
        if (frame == firedAt + 1 && firedAt >= 0) {
            EXPECT_EQ(r.measure, 0);
            EXPECT_FALSE(r.gaugeUpdated);
        }
        if (frame >= 8 && MotionTriggers(r.measure, 50, true, true)) {
            ++triggers;
            firedAt = frame;
            d.NoteTrigger();
            EXPECT_TRUE(d.JustTriggered());
            const auto& history = d.DeviationHistory();  // all the pre-capture average
            EXPECT_TRUE(std::all_of(history.begin(), history.end(),
                                    [&](long double v) { return v == history[0]; }));
        } else if (frame >= 8) {
            EXPECT_LE(r.measure, 50) << "frame " << frame;
        }
    }
    EXPECT_EQ(triggers, 1);
    EXPECT_EQ(firedAt, 30);
}

TEST(DetectMotion, ResizeKeepsContentsAndZeroesNewEntries) {
    MotionDetector d;
    d.SetRectangle({0, 0, 3, 3});
    std::fill(d.RoiLuma(), d.RoiLuma() + 9, 4);
    d.ResizeDetectionBuffers(27);
    ASSERT_EQ(d.RoiLumaValues().size(), 27u);
    EXPECT_EQ(d.RoiLumaValues()[8], 4);
    EXPECT_EQ(d.RoiLumaValues()[9], 0);
    EXPECT_EQ(d.BlockDiffs().size(), 3u);
}

}  // namespace
