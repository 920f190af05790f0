// Focus peaking, clipping warnings and channel histograms on synthetic frames
// with known edges and known clipped areas.
#include "LiveAssist.h"

#include "Detection.h"
#include "Histogram.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

using namespace orka;

namespace {

// A frame of w x h BGR888 pixels with its row addresses.
struct Frame {
    int w, h;
    std::vector<uint8_t> px;
    std::vector<uint8_t*> rows;
    Frame(int w_, int h_, uint8_t grey = 128) : w(w_), h(h_), px(size_t(w_) * h_ * 3, grey) {
        for (int y = 0; y < h; ++y)
            rows.push_back(px.data() + size_t(y) * w * 3);
    }
    uint8_t* at(int x, int y) { return rows[size_t(y)] + 3 * x; }
    void set(int x, int y, uint8_t b, uint8_t g, uint8_t r) {
        uint8_t* p = at(x, y);
        p[0] = b;
        p[1] = g;
        p[2] = r;
    }
};

// Runs the analysis band by band, as the decoder hands the rows over.
void Analyse(LiveAssist& a, const AssistSettings& s, Frame& f, int band = 16) {
    a.Start(s, f.w, f.h);
    for (int y = 0; y < f.h; y += band)
        a.AddRows(f.rows.data(), y, std::min(y + band, f.h));
    a.Finish();
}

// The channel counts of the aids and the analyser's brightness histogram of
// the whole frame.
void CountBoth(Frame& f, LiveAssist& channels, Histogram& brightness) {
    AssistSettings s;
    s.rgbHistogram = true;
    Analyse(channels, s, f);
    AnalyseFrame(f.rows.data(), f.w, f.h, brightness, nullptr);
}

// Where each pixel of a w x h frame lands when turned: the displayed frame
// holds, at each pixel, the source column in blue and the source row in green.
Frame WhereShown(Orientation o, int w, int h) {
    Frame where(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            where.set(x, y, uint8_t(x), uint8_t(y), 0);
    const QSize size = DisplaySize(o, w, h);
    Frame whereShown(size.width(), size.height());
    TurnFrame(o, where.rows.data(), w, h, whereShown.rows.data());
    return whereShown;
}

// The counts of a frame by a plain loop: red, green, blue, and the
// brightness max(R, G, B).
struct DirectCounts {
    std::array<std::array<uint32_t, 256>, 3> rgb{};
    std::array<uint32_t, 256> brightness{};
    explicit DirectCounts(Frame& f) {
        for (int y = 0; y < f.h; ++y)
            for (int x = 0; x < f.w; ++x) {
                const uint8_t* p = f.at(x, y);
                ++rgb[0][p[2]];
                ++rgb[1][p[1]];
                ++rgb[2][p[0]];
                ++brightness[std::max({p[0], p[1], p[2]})];
            }
    }
};

// The ways the pixel loops can run: 0 the portable code, 1 the processor's
// vector routines held to SSSE3 and AVX2, 2 with AVX-512 too.
void UseRoutines(int way) {
    UseProcessorExtensions(way > 0);
    UseAvx512(way == 2);
}

uint8_t MarkAt(const LiveAssist& a, int x, int y) {
    const uint8_t* row = a.MarksOfRow(y);
    return row ? row[x] : 0;
}

// Vertical edge between greys 60 and 200: a ramp of the given width from
// column 30 (a width of 1 is a step between columns 30 and 31).
Frame EdgeFrame(int rampWidth) {
    Frame f(64, 40);
    for (int y = 0; y < f.h; ++y)
        for (int x = 0; x < f.w; ++x) {
            const int v = x < 30 ? 60 : x >= 30 + rampWidth ? 200 : 60 + 140 * (x - 30) / rampWidth;
            f.set(x, y, uint8_t(v), uint8_t(v), uint8_t(v));
        }
    return f;
}

TEST(FocusPeaking, MarksTheSharpEdgeNotTheBlurredOneWhateverTheBands) {
    AssistSettings s;
    s.peaking = true;
    LiveAssist a;

    Frame sharp = EdgeFrame(1);
    Analyse(a, s, sharp);
    int marked = 0;
    for (int y = 0; y < sharp.h; ++y)
        for (int x = 0; x < sharp.w; ++x) {
            const bool edge = (x == 30 || x == 31) && y > 0 && y < sharp.h - 1;
            EXPECT_EQ(MarkAt(a, x, y), edge ? kMarkPeak : 0) << x << "," << y;
            marked += MarkAt(a, x, y) != 0;
        }
    EXPECT_EQ(marked, 2 * (sharp.h - 2));

    // The same edge spread over 20 pixels (7 grey levels a pixel) is not in
    // focus: unmarked even at the most sensitive setting.
    Frame blurred = EdgeFrame(20);
    for (int sensitivity : {50, 100}) {
        s.peakingSensitivity = sensitivity;
        Analyse(a, s, blurred);
        Analyse(a, s, blurred);
        for (int y = 0; y < blurred.h; ++y)
            EXPECT_EQ(a.MarksOfRow(y), nullptr) << sensitivity << " " << y;
    }

    // A horizontal edge, with bands of one row and of three rows: the row
    // before a band's end is marked once the next band arrives.
    s.peakingSensitivity = 50;
    Frame across(20, 20, 60);
    for (int y = 7; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            across.set(x, y, 220, 220, 220);
    for (int band : {1, 3, 20}) {
        Analyse(a, s, across, band);
        for (int y = 0; y < 20; ++y)
            EXPECT_EQ(MarkAt(a, 10, y), y == 6 || y == 7 ? kMarkPeak : 0) << band << " " << y;
    }
}

// Sharp is relative to the frame: a faint sharp edge is marked when it is the
// sharpest thing in view, and only at a higher sensitivity beside a strong
// one. The reference comes from the frames before.
TEST(FocusPeaking, FaintSharpEdgeIsMarkedRelativeToTheFrame) {
    // Steps of 20 levels at column 15 and, in `both`, of 140 at column 45.
    const auto steps = [](bool strong) {
        Frame f(64, 40, 100);
        for (int y = 0; y < f.h; ++y)
            for (int x = 0; x < f.w; ++x) {
                const int v = (x > 15 ? 120 : 100) + (strong && x > 45 ? 140 : 0);
                f.set(x, y, uint8_t(v), uint8_t(v), uint8_t(v));
            }
        return f;
    };
    Frame faint = steps(false), both = steps(true);
    AssistSettings s;
    s.peaking = true;
    LiveAssist a;
    Analyse(a, s, faint);
    Analyse(a, s, faint);
    EXPECT_EQ(MarkAt(a, 15, 20), kMarkPeak);
    EXPECT_EQ(MarkAt(a, 16, 20), kMarkPeak);

    Analyse(a, s, both);
    Analyse(a, s, both);
    EXPECT_EQ(MarkAt(a, 45, 20), kMarkPeak);
    EXPECT_EQ(MarkAt(a, 15, 20), 0);
    s.peakingSensitivity = 100;
    Analyse(a, s, both);
    EXPECT_EQ(MarkAt(a, 15, 20), kMarkPeak);

    EXPECT_EQ(PeakingSharePercent(0), 100);
    EXPECT_EQ(PeakingSharePercent(50), 32);
    EXPECT_EQ(PeakingSharePercent(100), 10);
    EXPECT_EQ(PeakingSharePercent(200), 10);
    EXPECT_EQ(PeakingSensitivityText(50),
              QString::fromUtf8("32 % de la netteté des contours les plus nets"));
}

TEST(ClippingWarning, MarksExactlyTheClippedPatchInEveryOrientation) {
    // Mid-tones everywhere, a patch with only red at 255, one pixel with
    // green exactly at the level and one just below it.
    Frame f(40, 30);
    for (int y = 0; y < f.h; ++y)
        for (int x = 0; x < f.w; ++x)
            f.set(x, y, uint8_t(40 + x * 4), uint8_t(100 + y), uint8_t(90 + x + y));
    for (int y = 3; y < 10; ++y)
        for (int x = 5; x < 13; ++x)
            f.at(x, y)[2] = 255;
    f.at(30, 20)[1] = 250;
    f.at(31, 20)[1] = 249;
    auto clipped = [](int x, int y) { return (x >= 5 && x < 13 && y >= 3 && y < 10); };

    AssistSettings s;
    s.highlights = true;
    s.clipStyle = ClipStyle::Solid;
    LiveAssist a;
    Analyse(a, s, f, 7);
    EXPECT_EQ(MarkAt(a, 5, 3), kMarkClipRed);
    EXPECT_EQ(MarkAt(a, 30, 20), kMarkClipGreen);
    EXPECT_EQ(MarkAt(a, 31, 20), 0);

    for (Orientation o : {Orientation::Normal, Orientation::UpsideDown, Orientation::Anticlockwise,
                          Orientation::Clockwise}) {
        const QSize size = DisplaySize(o, f.w, f.h);
        Frame shown(size.width(), size.height());
        TurnFrame(o, f.rows.data(), f.w, f.h, shown.rows.data());
        const Frame before = shown;
        DrawAssist(a, o, shown.rows.data());
        Frame whereShown = WhereShown(o, f.w, f.h);
        for (int y = 0; y < shown.h; ++y)
            for (int x = 0; x < shown.w; ++x) {
                const int sx = whereShown.at(x, y)[0], sy = whereShown.at(x, y)[1];
                const uint8_t* p = shown.at(x, y);
                const uint8_t* q = const_cast<Frame&>(before).at(x, y);
                if (clipped(sx, sy)) {
                    EXPECT_TRUE(p[0] == 0 && p[1] == 0 && p[2] == 255)
                        << int(o) << " " << x << "," << y;
                } else if (sx == 30 && sy == 20) {
                    EXPECT_TRUE(p[0] == 0 && p[1] == 255 && p[2] == 0) << int(o);
                } else {
                    EXPECT_TRUE(p[0] == q[0] && p[1] == q[1] && p[2] == q[2])
                        << int(o) << " " << x << "," << y;
                }
            }
    }

    // Shadows need every channel at or below the level.
    Frame dark(8, 4, 100);
    dark.set(2, 1, 5, 5, 5);
    dark.set(3, 1, 5, 6, 0);
    s = {};
    s.shadows = true;
    Analyse(a, s, dark);
    EXPECT_EQ(MarkAt(a, 2, 1), kMarkShadow);
    EXPECT_EQ(MarkAt(a, 3, 1), 0);
    EXPECT_EQ(a.MarksOfRow(0), nullptr);
}

TEST(ClippingWarning, ZebraStripesRunDiagonallyOnScreenAndPeakingWins) {
    // Left half white (every channel clips), right half nearly black (a
    // clipped shadow), the step between columns 11 and 12 a sharp edge.
    Frame f(24, 16);
    for (int y = 0; y < f.h; ++y)
        for (int x = 0; x < f.w; ++x)
            x < 12 ? f.set(x, y, 255, 255, 255) : f.set(x, y, 3, 3, 3);
    AssistSettings s;
    s.peaking = s.highlights = s.shadows = true;
    s.peakingColour = PeakingColour::Yellow;
    LiveAssist a;
    Analyse(a, s, f, 5);
    for (Orientation o : {Orientation::Normal, Orientation::UpsideDown, Orientation::Anticlockwise,
                          Orientation::Clockwise}) {
        const QSize size = DisplaySize(o, f.w, f.h);
        Frame shown(size.width(), size.height());
        TurnFrame(o, f.rows.data(), f.w, f.h, shown.rows.data());
        DrawAssist(a, o, shown.rows.data());
        Frame whereShown = WhereShown(o, f.w, f.h);
        for (int y = 0; y < shown.h; ++y)
            for (int x = 0; x < shown.w; ++x) {
                const int sx = whereShown.at(x, y)[0], sy = whereShown.at(x, y)[1];
                const bool stripe = ((x + y) / 4) % 2 == 0;
                const bool edge = (sx == 11 || sx == 12) && sy > 0 && sy < f.h - 1;
                const uint8_t* p = shown.at(x, y);
                const std::array<uint8_t, 3> got{p[0], p[1], p[2]};
                std::array<uint8_t, 3> want;
                if (edge)
                    want = {0, 255, 255};
                else if (sx < 12)
                    want = stripe ? std::array<uint8_t, 3>{255, 255, 255}
                                  : std::array<uint8_t, 3>{0, 0, 0};
                else
                    want = stripe ? std::array<uint8_t, 3>{255, 0, 0}
                                  : std::array<uint8_t, 3>{3, 3, 3};
                EXPECT_EQ(got, want) << int(o) << " " << x << "," << y;
            }
    }
}

TEST(RgbHistogram, CountsEqualADirectCountAndMarkClippingChannels) {
    Frame f(37, 23);  // an odd width: the last pixel of a row on its own
    std::mt19937 rng(7);
    for (uint8_t& v : f.px)
        v = uint8_t(rng() % 250);
    for (int x = 0; x < 3; ++x)
        f.at(x, 0)[0] = 255;  // three blue pixels clip: above one in a thousand
    AssistSettings s;
    s.rgbHistogram = true;
    LiveAssist a;
    Analyse(a, s, f, 5);

    EXPECT_EQ(a.Rgb().bins, DirectCounts(f).rgb);
    EXPECT_EQ(a.Rgb().pixels, uint64_t(37 * 23));

    EXPECT_TRUE(ChannelClips(a.Rgb(), 2, 255, true));
    EXPECT_FALSE(ChannelClips(a.Rgb(), 0, 255, true));
    std::vector<uint32_t> picture(256 * 100, 0xFFFFFFFFu);
    std::vector<uint32_t*> rows;
    for (int y = 0; y < 100; ++y)
        rows.push_back(picture.data() + y * 256);
    DrawRgbHistogram(a.Rgb(), 255, 0, rows.data());
    EXPECT_EQ(picture[12 * 256 + 253], 0xFF0000FFu);  // blue marker, right end
    EXPECT_EQ(picture[0 * 256 + 253], 0xFFFFFFFFu);   // red does not clip
}

// The live view counts the channels of one row in rgbRowStep, from the
// first, through the window's single pass as well as alone; the brightness
// histogram still counts every pixel.
TEST(RgbHistogram, CountsOneRowInTheStep) {
    Frame f(150, 21);  // 21 rows: the counted ones are 0, 8 and 16
    std::mt19937 rng(5);
    for (uint8_t& v : f.px)
        v = uint8_t(rng());
    Frame counted(f.w, 3);
    for (int k = 0; k < 3; ++k)
        std::copy_n(f.rows[size_t(8 * k)], 3 * f.w, counted.rows[size_t(k)]);
    AssistSettings s;
    s.rgbHistogram = true;
    s.rgbRowStep = 8;
    LiveAssist alone, fused;
    Analyse(alone, s, f, 5);
    fused.Start(s, f.w, f.h);
    FrameAnalyser analyser(f.w, f.h, nullptr, &fused);
    analyser.AddRows(f.rows.data(), 0, f.h);
    Histogram brightness;
    analyser.Finish(brightness);

    EXPECT_EQ(alone.Rgb().bins, DirectCounts(counted).rgb);
    EXPECT_EQ(fused.Rgb().bins, DirectCounts(counted).rgb);
    EXPECT_EQ(fused.Rgb().pixels, uint64_t(3 * f.w));
    EXPECT_EQ(brightness.bins, DirectCounts(f).brightness);
}

// An overexposed frame piles its pixels into bin 255: the curves keep their
// scale from the bins between the ends, the clipped end runs off the top.
TEST(RgbHistogram, ScaleIgnoresTheClippedEnds) {
    std::vector<uint32_t> picture(256 * 100, 0xFFFFFFFFu);
    std::vector<uint32_t*> rows;
    for (int y = 0; y < 100; ++y)
        rows.push_back(picture.data() + y * 256);
    const auto column = [&](int x) {  // the topmost row drawn in column x
        for (int y = 0; y < 100; ++y)
            if (picture[size_t(y * 256 + x)] != 0xFFFFFFFFu)
                return y;
        return 100;
    };
    RgbHistogram rgb;
    for (auto& bins : rgb.bins) {
        bins[255] = 40000;
        bins[0] = 3000;
        bins[100] = 400;
        bins[50] = 200;
    }
    rgb.pixels = 3 * 43600;
    DrawRgbHistogram(rgb, 250, 5, rows.data());
    EXPECT_EQ(column(100), 0);  // the fullest bin between the ends spans the height
    EXPECT_NEAR(column(50), 49, 1);
    EXPECT_EQ(column(255), 0);
    EXPECT_EQ(column(1), 0) << "the line from the clipped bin 0 climbs to the top";

    // A frame with nothing between the ends is scaled to them.
    RgbHistogram white;
    white.bins[0][255] = white.bins[1][255] = white.bins[2][255] = 100;
    white.pixels = 100;
    std::fill(picture.begin(), picture.end(), 0xFFFFFFFFu);
    DrawRgbHistogram(white, 250, 5, rows.data());
    EXPECT_EQ(column(255), 0);
    EXPECT_EQ(column(128), 99);
}

// Flat stretches are counted at once: runs of equal pixels of every length,
// across the sixteen-pixel steps and the row ends, counted exactly.
TEST(RgbHistogram, FlatStretchesCountExactly) {
    Frame f(533, 7);  // rows of 33 x 16 pixels and 5 more
    std::mt19937 rng(11);
    int left = 0;
    uint8_t b = 0, g = 0, r = 0;
    for (int y = 0; y < f.h; ++y)
        for (int x = 0; x < f.w; ++x) {
            if (left-- <= 0) {
                left = int(rng() % 40);
                b = uint8_t(rng()), g = uint8_t(rng()), r = uint8_t(rng());
            }
            f.set(x, y, b, g, r);
        }
    LiveAssist a;
    Histogram brightness;
    CountBoth(f, a, brightness);

    const DirectCounts direct(f);
    EXPECT_EQ(a.Rgb().bins, direct.rgb);
    EXPECT_EQ(brightness.bins, direct.brightness);
}

// The counters have 16 bits: a frame of one value, and a row wider than a
// counter can take, count past them exactly, in each way the loops can run.
TEST(RgbHistogram, CountsPastSixteenBits) {
    for (const int way : {2, 1, 0}) {
        UseRoutines(way);
        for (const auto& [w, h] : {std::pair{700, 400}, std::pair{70001, 2}}) {
            Frame f(w, h);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    f.set(x, y, 20, 30, 40);
            LiveAssist a;
            Histogram brightness;
            CountBoth(f, a, brightness);
            const uint32_t all = uint32_t(w) * uint32_t(h);
            EXPECT_EQ(brightness.bins[40], all) << way << " " << w;
            EXPECT_EQ(a.Rgb().bins[0][40], all) << way << " " << w;
            EXPECT_EQ(a.Rgb().bins[2][20], all) << way << " " << w;
        }
    }
    UseRoutines(2);
}

// The window's single pass, the analyser doing the aids' work on each row it
// reads, gives what a direct count gives and what the aids give on their own:
// channels that tie for the brightness, flat stretches, both clipping levels,
// the detector's rectangle; in each way the pixel loops can run.
TEST(FrameAnalyser, OnePassWithTheAidsEqualsEachAlone) {
    Frame f(141, 37);
    std::mt19937 rng(9);
    const uint8_t values[] = {0, 3, 5, 128, 200, 250, 255};
    for (uint8_t& v : f.px)
        v = rng() % 3 == 0 ? uint8_t(rng()) : values[rng() % 7];
    for (int x = 16; x < 48; ++x)
        f.set(x, 3, 40, 40, 40);
    const DirectCounts direct(f);
    const RoiBox box{10, 5, 70, 20};
    for (const int way : {2, 1, 0}) {
        UseRoutines(way);
        LiveAssist fused, alone;
        fused.Start(AssistSettings::All(), f.w, f.h);
        MotionDetector detector;
        detector.SetRectangle(box);
        FrameAnalyser analyser(f.w, f.h, &detector, &fused);
        for (int y = 0; y < f.h; y += 5)
            analyser.AddRows(f.rows.data(), y, std::min(y + 5, f.h));
        Histogram brightness;
        analyser.Finish(brightness);
        Analyse(alone, AssistSettings::All(), f, 7);

        EXPECT_EQ(brightness.bins, direct.brightness) << way;
        EXPECT_EQ(fused.Rgb().bins, direct.rgb) << way;
        EXPECT_EQ(alone.Rgb().bins, direct.rgb) << way;
        int marked = 0;
        for (int y = 0; y < f.h; ++y)
            for (int x = 0; x < f.w; ++x) {
                ASSERT_EQ(MarkAt(fused, x, y), MarkAt(alone, x, y)) << x << "," << y;
                marked += MarkAt(fused, x, y) != 0;
            }
        EXPECT_GT(marked, 500);
        const auto& luma = detector.RoiLumaValues();
        for (int y = box.y1; y < box.y2; ++y)
            for (int x = box.x1; x < box.x2; ++x) {
                const uint8_t* p = f.at(x, y);
                ASSERT_EQ(luma[size_t((y - box.y1) * box.width() + x - box.x1)],
                          std::max({p[0], p[1], p[2]}));
            }
    }
    UseRoutines(2);
}

// With the aids off the pass computes the brightness alone, 64 pixels at a
// time where the processor can: the counts and the detector's rectangle are
// those of a direct count, through flat stretches of 16 and 64 pixels (each
// counted at once) and a tail, in each way the pixel loops can run.
TEST(FrameAnalyser, BrightnessAloneEqualsADirectCount) {
    Frame f(141, 9);
    std::mt19937 rng(4);
    for (uint8_t& v : f.px)
        v = uint8_t(rng());
    for (int x = 0; x < 64; ++x)
        f.set(x, 2, 7, 90, 3);  // one value over a whole block of 64
    for (int x = 80; x < 96; ++x)
        f.set(x, 5, 255, 0, 255);  // and over one group of sixteen
    const DirectCounts direct(f);
    const RoiBox box{3, 1, 139, 8};
    for (const int way : {2, 1, 0}) {
        UseRoutines(way);
        MotionDetector detector;
        detector.SetRectangle(box);
        FrameAnalyser analyser(f.w, f.h, &detector);
        analyser.AddRows(f.rows.data(), 0, f.h);
        Histogram brightness;
        analyser.Finish(brightness);
        EXPECT_EQ(brightness.bins, direct.brightness) << way;
        const auto& luma = detector.RoiLumaValues();
        for (int y = box.y1; y < box.y2; ++y)
            for (int x = box.x1; x < box.x2; ++x) {
                const uint8_t* p = f.at(x, y);
                ASSERT_EQ(luma[size_t((y - box.y1) * box.width() + x - box.x1)],
                          std::max({p[0], p[1], p[2]}))
                    << way << " " << x << "," << y;
            }
    }
    UseRoutines(2);
}

// A blown area in the solid style is painted mid-grey, never black (which
// would read as a shadow) nor white (which would not show).
TEST(ClippingWarning, SolidStyleNeverPaintsBlownAreasBlack) {
    Frame f(16, 8, 255);
    AssistSettings s;
    s.highlights = true;
    s.clipStyle = ClipStyle::Solid;
    LiveAssist a;
    Analyse(a, s, f);
    DrawAssist(a, Orientation::Normal, f.rows.data());
    for (int y = 0; y < f.h; ++y)
        for (int x = 0; x < f.w; ++x)
            EXPECT_TRUE(f.at(x, y)[0] == 128 && f.at(x, y)[1] == 128 && f.at(x, y)[2] == 128)
                << x << "," << y;
}

// The portable code and the vector routines, with and without AVX-512, mark
// the same pixels, on widths that leave tails of 13 and 36 pixels after the
// vectors of 64.
TEST(LiveAssist, VectorAndPortableCodeAgree) {
    for (const int width : {141, 100}) {
        Frame f(width, 37);
        std::mt19937 rng(3);
        for (uint8_t& v : f.px)
            v = uint8_t(rng() % 4 == 0 ? rng() : 128 + rng() % 8);
        AssistSettings s;
        s.peaking = s.highlights = s.shadows = true;
        s.shadowLevel = 40;
        std::vector<uint8_t> marks[3];
        for (const int way : {0, 1, 2}) {
            UseRoutines(way);
            LiveAssist a;
            Analyse(a, s, f, 5);
            for (int y = 0; y < f.h; ++y)
                for (int x = 0; x < f.w; ++x)
                    marks[way].push_back(MarkAt(a, x, y));
        }
        UseRoutines(2);
        EXPECT_EQ(marks[0], marks[1]) << width;
        EXPECT_EQ(marks[0], marks[2]) << width;
        EXPECT_GT(std::count(marks[0].begin(), marks[0].end(), kMarkPeak), 100) << width;
    }
}

}  // namespace
