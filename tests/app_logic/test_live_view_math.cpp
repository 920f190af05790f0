// Preview-to-camera conversion, frame turns and the frame-rate meter.
#include "LiveViewMath.h"

#include <QTransform>

#include <random>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

using namespace orka;

namespace {

TEST(PreviewToCamera, CornersAndCentreInEveryOrientation) {
    using P = std::array<int32_t, 2>;
    struct Case {
        Orientation o;
        int x, y;
        P camera;
    } const cases[] = {
        {Orientation::Normal, 0, 0, {0, 0}},
        {Orientation::Normal, 320, 240, {3264, 2448}},
        {Orientation::Normal, 160, 120, {1632, 1224}},
        {Orientation::UpsideDown, 0, 0, {3264, 2448}},
        {Orientation::UpsideDown, 320, 240, {0, 0}},
        {Orientation::Clockwise, 0, 0, {0, 2448}},
        {Orientation::Clockwise, 240, 320, {3264, 0}},
        {Orientation::Anticlockwise, 0, 0, {3264, 0}},
        {Orientation::Anticlockwise, 240, 0, {3264, 2448}},
        // The centre of the turned 240 x 320 picture is the camera's centre.
        {Orientation::Clockwise, 120, 160, {1632, 1224}},
        {Orientation::Anticlockwise, 120, 160, {1632, 1224}},
        {Orientation::Normal, 17, 33, {173, 337}},  // 173.4 and 336.6
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PreviewToCamera(c.x, c.y, c.o, 320, 240), c.camera)
            << int(c.o) << " " << c.x << "," << c.y;
    }
    // 3264 / 128 = 25.5 and 2448 / 96 = 25.5: ties go to the even neighbour.
    EXPECT_EQ(PreviewToCamera(1, 1, Orientation::Normal, 128, 96), (P{26, 26}));
    EXPECT_EQ(PreviewToCamera(3, 3, Orientation::Normal, 128, 96), (P{76, 76}));
    EXPECT_EQ(PreviewToCamera(5, 5, Orientation::Normal, 0, 0), (P{0, 0}));
}

// Frames with a distinct value in every byte: larger than one turning tile
// and not a multiple of it nor of the four pixels moved at a time, wide
// enough for the 64-pixel reversal from both ends, and narrower than four
// pixels.
// Each size with the portable code (0), the processor's byte shuffles held
// to SSSE3 and AVX2 (1), and with AVX-512 too (2).
class FrameTurns : public ::testing::TestWithParam<std::tuple<QSize, int>> {
  protected:
    void SetUp() override {
        UseProcessorExtensions(std::get<1>(GetParam()) > 0);
        UseAvx512(std::get<1>(GetParam()) == 2);
    }
    void TearDown() override {
        UseProcessorExtensions(true);
        UseAvx512(true);
    }
};

TEST_P(FrameTurns, EveryOrientationMovesEachPixelWhereItBelongs) {
    const QSize size = std::get<0>(GetParam());
    const int w = size.width(), h = size.height();
    QImage src(w, h, QImage::Format_BGR888);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            uint8_t* p = src.scanLine(y) + 3 * x;
            p[0] = uint8_t(x);
            p[1] = uint8_t(y);
            p[2] = uint8_t(x * 7 + y);
        }
    }
    const auto expectPixel = [&](const QImage& dst, int r, int c, int sx, int sy) {
        const uint8_t* d = dst.constScanLine(r) + 3 * c;
        const uint8_t* s = src.constScanLine(sy) + 3 * sx;
        return d[0] == s[0] && d[1] == s[1] && d[2] == s[2];
    };
    QImage dst;
    for (Orientation o : {Orientation::Normal, Orientation::UpsideDown, Orientation::Anticlockwise,
                          Orientation::Clockwise}) {
        // Every row in a buffer of its exact size, so that a read or write
        // past a row's end lands in a sanitizer's red zone.
        std::vector<std::vector<uint8_t>> in(h), out;
        std::vector<const uint8_t*> inRows;
        std::vector<uint8_t*> outRows;
        for (int y = 0; y < h; ++y) {
            in[y].assign(src.constScanLine(y), src.constScanLine(y) + 3 * w);
            inRows.push_back(in[y].data());
        }
        const QSize size = DisplaySize(o, w, h);
        out.resize(size_t(size.height()), std::vector<uint8_t>(size_t(size.width()) * 3));
        for (auto& row : out) {
            outRows.push_back(row.data());
        }
        TurnFrame(o, inRows.data(), w, h, outRows.data());
        if (o == Orientation::UpsideDown) {
            // The rows laid bottom up and reversed in place, as the preview
            // decodes them, give the same.
            std::vector<std::vector<uint8_t>> mirrored(in.rbegin(), in.rend());
            std::vector<uint8_t*> mirroredRows;
            for (auto& row : mirrored)
                mirroredRows.push_back(row.data());
            MirrorRows(mirroredRows.data(), w, 0, h);
            EXPECT_EQ(mirrored, out);
        }
        dst = QImage(size, QImage::Format_BGR888);
        for (int r = 0; r < size.height(); ++r) {
            std::copy(out[r].begin(), out[r].end(), dst.scanLine(r));
        }
        bool all = true;
        for (int y = 0; y < h && all; ++y) {
            for (int x = 0; x < w && all; ++x) {
                switch (o) {
                    case Orientation::Normal:
                        all = expectPixel(dst, y, x, x, y);
                        break;
                    case Orientation::UpsideDown:
                        all = expectPixel(dst, h - 1 - y, w - 1 - x, x, y);
                        break;
                    case Orientation::Anticlockwise:
                        all = expectPixel(dst, w - 1 - x, y, x, y);
                        break;
                    case Orientation::Clockwise:
                        all = expectPixel(dst, x, h - 1 - y, x, y);
                        break;
                }
                EXPECT_TRUE(all) << "orientation " << int(o) << " pixel " << x << "," << y;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, FrameTurns,
                         ::testing::Combine(::testing::Values(QSize(70, 45), QSize(200, 21),
                                                              QSize(40, 3), QSize(3, 5),
                                                              QSize(1, 1), QSize(9, 2)),
                                            ::testing::Values(0, 1, 2)));

// Pictures of four bytes per pixel turned band by band, as the review turns
// them while decoding, give what Qt's own turns give.
TEST(FrameTurns, FourBytePixelsBandByBandAsQtTurnsThem) {
    std::mt19937 rng(5);
    for (const QSize size : {QSize(70, 45), QSize(3, 5), QSize(9, 2), QSize(1, 1)}) {
        QImage src(size, QImage::Format_RGB32);
        for (int y = 0; y < src.height(); ++y)
            for (int x = 0; x < src.width(); ++x)
                src.setPixel(x, y, 0xFF000000u | (rng() & 0xFFFFFFu));
        const std::pair<Orientation, QImage> expected[] = {
            {Orientation::Normal, src},
            {Orientation::UpsideDown, src.mirrored(true, true)},
            {Orientation::Anticlockwise, src.transformed(QTransform().rotate(270))},
            {Orientation::Clockwise, src.transformed(QTransform().rotate(90))},
        };
        for (const auto& [o, want] : expected) {
            QImage dst(DisplaySize(o, size.width(), size.height()), QImage::Format_RGB32);
            const RowAddresses in(src);
            const RowAddresses out(dst);
            for (int y = 0; y < size.height(); y += 7)
                TurnRows32(o, in.rows(), size.width(), size.height(), y, y + 7, out.writableRows());
            EXPECT_EQ(dst, want) << "orientation " << int(o) << " size " << size.width();
        }
    }
}

TEST(FrameRate, SettlesAfterEightIntervals) {
    FrameRateMeter meter;
    double rate = 0;
    for (uint32_t k = 0; k < 8; ++k) {
        rate = meter.FrameRate(100 * (k + 1));
    }
    EXPECT_NE(rate, 10.0);  // one start-up interval of 1 ms is still counted
    EXPECT_DOUBLE_EQ(meter.FrameRate(900), 10.0);
    EXPECT_EQ(FrameRateText(meter.FrameRate(1000), QLocale(QLocale::French)),
              QString("FTr = 10,00 Img/s"));

    // Frames in the same millisecond count as 1 ms: no division by zero.
    meter.Reset();
    for (int k = 0; k < 20; ++k) {
        rate = meter.FrameRate(5000);
    }
    EXPECT_DOUBLE_EQ(rate, 1000.0);
    EXPECT_EQ(FrameRateText(1234.5, QLocale(QLocale::French)), QString("FTr = 1234,50 Img/s"));
}

TEST(FrameRate, TickWrapAround) {
    FrameRateMeter meter;
    for (uint32_t k = 0; k < 9; ++k) {
        meter.FrameRate(0xFFFFFF00u + 50 * k);  // wraps past 2^32 on the way
    }
    EXPECT_DOUBLE_EQ(meter.FrameRate(0xFFFFFF00u + 450), 20.0);
}

}  // namespace

// Item 1 of DimPreView is the large preview; every other item the small one.
TEST(PreviewSize, OfEachItem) {
    EXPECT_EQ(orka::PreviewFrameSize(1), QSize(544, 408));
    for (const int item : {0, -1, 2})
        EXPECT_EQ(orka::PreviewFrameSize(item), QSize(320, 240)) << item;
}
