// Focus peaking on the simulated camera's scene, whose in-focus regions are
// known: focused near, the subject (chart, vase, table, fruit) is sharp and
// the wall far behind it blurred; focused at infinity, the other way round.
// At the default sensitivity, nearly every mark must fall on the sharp part
// and at least half of its edges must be marked.
#include <gtest/gtest.h>

#include <QImage>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "FrameDecoder.h"
#include "Histogram.h"
#include "LiveAssist.h"
#include "scene.h"

using namespace orka;

namespace {

constexpr int kW = 544;
constexpr int kH = 408;

struct Shares {
    double onFocus;      // marks on the in-focus part, of all marks
    double edgesMarked;  // in-focus edges marked, of all in-focus edges
    size_t marks;
};

// Manual focus at `focusMm` (0 = infinity), as the camera's parameter table
// gives it to the scene: focus mode (10) manual, focus distance (27).
Shares Measure(int focusMm) {
    std::vector<int32_t> parameters(90, 0);
    parameters[10] = 1;
    parameters[27] = focusMm;
    const orkasim::SceneSettings settings = orkasim::settingsFromParameters(parameters);
    const orkasim::Depth sharpPart =
        focusMm == 0 ? orkasim::Depth::Background : orkasim::Depth::Subject;
    const int blurredAt =
        focusMm == 0 ? orkasim::kSubjectDistanceMm : orkasim::kBackgroundDistanceMm;
    const int sharpAt = focusMm == 0 ? orkasim::kBackgroundDistanceMm : orkasim::kSubjectDistanceMm;
    EXPECT_LE(orkasim::blurPixels(sharpAt, settings, kW), 0.6);
    EXPECT_GE(orkasim::blurPixels(blurredAt, settings, kW), 4.0);

    // Two frames of the live view, the second measured: peaking may learn
    // from the frames before.
    orkasim::Scene scene;
    FrameDecoder decoder;
    QImage work, shown;
    Histogram histogram;
    LiveAssist assist;
    AssistSettings aids;
    aids.peaking = true;
    constexpr double kSeconds = 0.2;
    for (double t : {0.0, kSeconds}) {
        const std::vector<uint8_t> jpeg = scene.renderJpeg(kW, kH, settings, t);
        assist.Start(aids, kW, kH);
        EXPECT_TRUE(DecodePreviewFrame(decoder, jpeg.data(), jpeg.size(), kW, kH,
                                       Orientation::Normal, work, shown, histogram, nullptr,
                                       &assist)
                        .ok());
    }

    const std::vector<orkasim::Depth> depth = orkasim::depthMap(kW, kH);
    // Whether a pixel within r of (x, y) satisfies `is`.
    const auto near = [&](int x, int y, int r, auto is) {
        for (int v = std::max(0, y - r); v <= std::min(kH - 1, y + r); ++v)
            for (int u = std::max(0, x - r); u <= std::min(kW - 1, x + r); ++u)
                if (is(u, v))
                    return true;
        return false;
    };
    const auto sharp = [&](int x, int y) { return depth[size_t(y) * kW + size_t(x)] == sharpPart; };
    const auto marked = [&](int x, int y) {
        const uint8_t* row = assist.MarksOfRow(y);
        return row && (row[x] & kMarkPeak);
    };

    // Marks on the sharp part, give or take the two pixels of an outline.
    size_t marks = 0, onFocus = 0;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            if (marked(x, y)) {
                ++marks;
                onFocus += near(x, y, 2, sharp) ? 1 : 0;
            }

    // Edges of the sharp part, from the picture before compression: a step
    // of at least 24 levels of luminance across two pixels.
    const std::vector<uint8_t> rgb = scene.renderRgb(kW, kH, settings, kSeconds);
    const auto luma = [&](int x, int y) {
        const uint8_t* p = &rgb[3 * (size_t(y) * kW + size_t(x))];
        return p[0] + 2 * p[1] + p[2];
    };
    size_t edges = 0, edgesMarked = 0;
    for (int y = 1; y < kH - 1; ++y)
        for (int x = 1; x < kW - 1; ++x) {
            const int step = std::abs(luma(x + 1, y) - luma(x - 1, y)) +
                             std::abs(luma(x, y + 1) - luma(x, y - 1));
            if (!sharp(x, y) || step < 4 * 24)
                continue;
            ++edges;
            edgesMarked += near(x, y, 1, marked) ? 1 : 0;
        }
    EXPECT_GT(edges, 1000u);
    return {marks ? double(onFocus) / double(marks) : 0,
            edges ? double(edgesMarked) / double(edges) : 0, marks};
}

TEST(PeakingOnTheScene, MarksWhatIsInFocusNearAndAtInfinity) {
    for (const int focusMm : {orkasim::kSubjectDistanceMm, 0}) {
        SCOPED_TRACE(focusMm);
        const Shares shares = Measure(focusMm);
        std::printf("focus %s: %zu marks, %.1f %% on the sharp part, %.1f %% of its edges marked\n",
                    focusMm ? "near" : "at infinity", shares.marks, 100 * shares.onFocus,
                    100 * shares.edgesMarked);
        EXPECT_GE(shares.onFocus, 0.90);
        EXPECT_GE(shares.edgesMarked, 0.50);
    }
}

// The live view paints each band's marks before it is turned, while the
// band is in cache: the picture is the one the marks drawn on the finished
// frame give, in every orientation, both clipping styles, and each way the
// pixel loops can run (the frame's last rows fill half a band, its rows end
// half-way through a block of 64).
TEST(PeakingOnTheScene, MarksPaintedBandByBandEqualMarksDrawnAfter) {
    std::vector<int32_t> parameters(90, 0);
    parameters[10] = 1;
    parameters[27] = orkasim::kSubjectDistanceMm;
    orkasim::Scene scene;
    const std::vector<uint8_t> jpeg =
        scene.renderJpeg(kW, kH, orkasim::settingsFromParameters(parameters), 0.0);
    for (const int way : {2, 1, 0}) {
        UseProcessorExtensions(way > 0);
        UseAvx512(way == 2);
        for (const ClipStyle style : {ClipStyle::Zebra, ClipStyle::Solid})
            for (const Orientation o : {Orientation::Normal, Orientation::UpsideDown,
                                        Orientation::Anticlockwise, Orientation::Clockwise}) {
                SCOPED_TRACE(testing::Message() << way << " " << int(style) << " " << int(o));
                AssistSettings aids = AssistSettings::All();
                aids.clipStyle = style;
                aids.highlightLevel = 200;  // clipped areas of every kind
                aids.shadowLevel = 60;
                QImage pictures[3];
                for (int k = 0; k < 3; ++k) {
                    FrameDecoder decoder;
                    QImage work;
                    Histogram histogram;
                    LiveAssist assist;
                    assist.Start(k == 2 ? AssistSettings{} : aids, kW, kH);
                    ASSERT_TRUE(DecodePreviewFrame(decoder, jpeg.data(), jpeg.size(), kW, kH, o,
                                                   work, pictures[k], histogram, nullptr, &assist,
                                                   k == 1)
                                    .ok());
                    if (k == 0) {
                        const RowAddresses rows(pictures[k]);
                        DrawAssist(assist, o, rows.writableRows());
                    }
                }
                EXPECT_TRUE(pictures[1] == pictures[0]);
                EXPECT_FALSE(pictures[2] == pictures[0]);  // there were marks
            }
    }
    UseProcessorExtensions(true);
    UseAvx512(true);
}

}  // namespace
