// The frame decoder on its own: channel order, the size check, damaged
// streams (truncated, garbage, empty) and the decoder's reuse after them,
// the reduced decoding of large pictures, and the bound on the work a
// stream may ask for.
#include <QTest>

#include "Detection.h"
#include "FrameDecoder.h"
#include "Histogram.h"
#include "LiveViewMath.h"
#include "jpeg_samples.h"

using orka::FrameDecoder;
using orka::Orientation;
using Status = FrameDecoder::Status;

namespace {

// Decodes into a BGR888 image of w x h.
FrameDecoder::Result DecodeTo(FrameDecoder& decoder, const std::vector<uint8_t>& jpeg,
                              QImage& image) {
    const orka::RowAddresses rows(image);
    return decoder.DecodeInto(jpeg.data(), jpeg.size(), rows.writableRows(), image.width(),
                              image.height());
}

}  // namespace

class TestFrameDecoder : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    // Pixels land blue, green, red in memory, each quadrant where it was.
    void decodesBgrRows() {
        FrameDecoder decoder;
        const auto jpeg = samples::Encode(samples::Quadrants(64, 48));
        QImage image(64, 48, QImage::Format_BGR888);
        QVERIFY(DecodeTo(decoder, jpeg, image).ok());
        const uint8_t* redPixel = image.constScanLine(5) + 5 * 3;
        QVERIFY(redPixel[2] > 230 && redPixel[0] < 25 && redPixel[1] < 25);
        QVERIFY(samples::Near(image.pixelColor(50, 5), Qt::green));
        QVERIFY(samples::Near(image.pixelColor(5, 40), Qt::blue));
        QVERIFY(samples::Near(image.pixelColor(50, 40), Qt::white));
    }

    // A picture of another size than asked is refused before anything is written.
    void sizeMismatchWritesNothing() {
        FrameDecoder decoder;
        const auto jpeg = samples::Solid(32, 32, Qt::red);
        QImage image(16, 16, QImage::Format_BGR888);
        image.fill(Qt::black);
        const auto result = DecodeTo(decoder, jpeg, image);
        QCOMPARE(result.status, Status::SizeMismatch);
        QCOMPARE(result.width, 32);
        QCOMPARE(result.height, 32);
        QCOMPARE(image.pixelColor(8, 8), QColor(Qt::black));
    }

    void damagedStreamsAreCorrupt_data() {
        QTest::addColumn<int>("kind");
        QTest::newRow("truncated half way") << 0;
        QTest::newRow("header only") << 1;
        QTest::newRow("scrambled entropy data") << 2;
        QTest::newRow("not a JPEG") << 3;
        QTest::newRow("empty") << 4;
    }
    // Each damaged stream is reported, never passed off as a picture, and the
    // same decoder decodes the next good frame exactly.
    void damagedStreamsAreCorrupt() {
        QFETCH(int, kind);
        FrameDecoder decoder;
        const auto good = samples::Encode(samples::Quadrants(96, 64));
        std::vector<uint8_t> bad = good;
        switch (kind) {
            case 0:
                bad.resize(bad.size() / 2);
                break;
            case 1:
                bad.resize(200);
                break;
            case 2:
                for (size_t i = bad.size() / 2; i < bad.size() - 2; i += 3)
                    bad[i] = 0xFF;  // markers in the middle of the scan
                break;
            case 3:
                bad.assign(1000, 0x42);
                break;
            case 4:
                bad.clear();
                break;
        }
        QImage image(96, 64, QImage::Format_BGR888);
        const auto result = DecodeTo(decoder, bad, image);
        QCOMPARE(result.status, Status::Corrupt);
        if (kind != 4)
            QVERIFY(decoder.LastError()[0] != '\0');

        QImage again(96, 64, QImage::Format_BGR888);
        QVERIFY(DecodeTo(decoder, good, again).ok());
        QImage reference(96, 64, QImage::Format_BGR888);
        FrameDecoder fresh;
        QVERIFY(DecodeTo(fresh, good, reference).ok());
        QCOMPARE(again, reference);
    }

    void previewPathMatchesTheWholeFrameSteps_data() {
        QTest::addColumn<int>("turn");
        QTest::newRow("upright") << int(Orientation::Normal);
        QTest::newRow("upside down") << int(Orientation::UpsideDown);
        QTest::newRow("anticlockwise") << int(Orientation::Anticlockwise);
        QTest::newRow("clockwise") << int(Orientation::Clockwise);
    }
    // The preview path decodes, analyses and turns band by band: the result
    // is the same as decoding the whole frame, analysing it and turning it.
    // 101 x 70 leaves a short last band and rows that are no multiple of four
    // pixels; the detection rectangle crosses band boundaries.
    void previewPathMatchesTheWholeFrameSteps() {
        QFETCH(int, turn);
        const auto o = Orientation(turn);
        const int w = 101, h = 70;
        QImage picture = samples::Quadrants(w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; x += 7)
                picture.setPixelColor(x, y, QColor((x * 5) & 255, (y * 3) & 255, (x + y) & 255));
        const auto jpeg = samples::Encode(picture);
        const orka::RoiBox box{10, 5, 90, 50};

        FrameDecoder decoder;
        QImage whole(w, h, QImage::Format_BGR888);
        QVERIFY(DecodeTo(decoder, jpeg, whole).ok());
        orka::Histogram wholeHistogram;
        orka::MotionDetector wholeDetector;
        wholeDetector.SetRectangle(box);
        orka::AnalyseFrame(whole, wholeHistogram, &wholeDetector);
        QImage wholeShown;
        orka::TurnFrame(o, whole, wholeShown);

        QImage work, shown;
        orka::Histogram histogram;
        orka::MotionDetector detector;
        detector.SetRectangle(box);
        QVERIFY(orka::DecodePreviewFrame(decoder, jpeg.data(), jpeg.size(), w, h, o, work, shown,
                                         histogram, &detector)
                    .ok());
        QCOMPARE(shown, wholeShown);
        QCOMPARE(histogram.bins, wholeHistogram.bins);
        QCOMPARE(histogram.largest, wholeHistogram.largest);
        QVERIFY(detector.RoiLumaValues() == wholeDetector.RoiLumaValues());

        // A frame cut off half way changes neither the histogram nor the
        // detector's pairing of block-sum arrays.
        const orka::Histogram before = histogram;
        const auto* pairedBefore = &detector.CurrentBlockSums();
        const std::vector<uint8_t> cut(jpeg.begin(), jpeg.begin() + jpeg.size() / 2);
        QCOMPARE(orka::DecodePreviewFrame(decoder, cut.data(), cut.size(), w, h, o, work, shown,
                                          histogram, &detector)
                     .status,
                 Status::Corrupt);
        QCOMPARE(histogram.bins, before.bins);
        QCOMPARE(&detector.CurrentBlockSums(), pairedBefore);
    }

    // Large pictures are reduced by libjpeg as far as they still cover the
    // size asked for; oversized headers are refused.
    void fittingReducesLargePictures() {
        FrameDecoder decoder;
        QImage image;
        const auto large = samples::Encode(samples::Quadrants(1088, 816));
        auto result = decoder.DecodeFitting(large.data(), large.size(), 544, 408, image);
        QVERIFY(result.ok());
        QCOMPARE(result.width, 1088);
        QCOMPARE(image.size(), QSize(544, 408));
        QCOMPARE(image.format(), QImage::Format_BGR888);
        QVERIFY(samples::Near(image.pixelColor(10, 10), Qt::red));

        const auto small = samples::Solid(100, 80, Qt::blue);
        result = decoder.DecodeFitting(small.data(), small.size(), 320, 240, image);
        QVERIFY(result.ok());
        QCOMPARE(image.size(), QSize(100, 80));  // never enlarged

        const auto huge = samples::Solid(4104, 8, Qt::blue);
        result = decoder.DecodeFitting(huge.data(), huge.size(), 320, 240, image);
        QCOMPARE(result.status, Status::TooLarge);
    }

    // A picture of another size than the preview (an after-view picture) is
    // fitted into it on black, keeping its proportions, analysed as shown
    // before the turn, and turned.
    void shownFrameFitsOtherSizes() {
        FrameDecoder decoder;
        QImage work, shown;
        orka::Histogram histogram;
        const auto jpeg = samples::Encode(samples::Quadrants(256, 96));
        auto result = orka::DecodeShownFrame(decoder, jpeg.data(), jpeg.size(), 64, 48,
                                             Orientation::Normal, work, shown, histogram, nullptr);
        QVERIFY(result.ok());
        QCOMPARE(shown.size(), QSize(64, 48));
        // 256 x 96 fitted into 64 x 48 is 64 x 24, centred: black above and below.
        QVERIFY(samples::Near(shown.pixelColor(5, 2), Qt::black));
        QVERIFY(samples::Near(shown.pixelColor(5, 15), Qt::red));
        QVERIFY(samples::Near(shown.pixelColor(60, 30), Qt::white));
        uint64_t counted = 0;
        for (const auto bin : histogram.bins)
            counted += bin;
        QCOMPARE(counted, uint64_t{64 * 48});

        result = orka::DecodeShownFrame(decoder, jpeg.data(), jpeg.size(), 64, 48,
                                        Orientation::Clockwise, work, shown, histogram, nullptr);
        QVERIFY(result.ok());
        QCOMPARE(shown.size(), QSize(48, 64));
        QVERIFY(samples::Near(shown.pixelColor(45, 5), Qt::black));  // the top band, turned

        const auto broken = std::vector<uint8_t>(jpeg.begin(), jpeg.begin() + 40);
        QVERIFY(!orka::DecodeShownFrame(decoder, broken.data(), broken.size(), 64, 48,
                                        Orientation::Normal, work, shown, histogram, nullptr)
                     .ok());
    }

    // No camera sends progressive streams; one of a few thousand scans would
    // hold the window for seconds, so every progressive stream is refused by
    // both paths before any pixel is decoded. So is a baseline stream that
    // repeats its scans past one per component.
    void streamsOfManyScansAreRefused() {
        FrameDecoder decoder;
        const QImage picture = samples::Quadrants(64, 48);
        QImage image(64, 48, QImage::Format_BGR888);
        QImage fitted;

        const auto progressive = samples::Encode(picture, 95, samples::Scans::Progressive);
        QCOMPARE(DecodeTo(decoder, progressive, image).status, Status::Unsupported);
        QCOMPARE(
            decoder.DecodeFitting(progressive.data(), progressive.size(), 32, 24, fitted).status,
            Status::Unsupported);

        const auto perComponent = samples::Encode(picture, 95, samples::Scans::PerComponent);
        QVERIFY(DecodeTo(decoder, perComponent, image).ok());
        QVERIFY(samples::Near(image.pixelColor(50, 40), Qt::white));

        // The same stream with its three scans played three times over.
        const auto sos = [&](size_t from) {
            for (size_t i = from; i + 1 < perComponent.size(); ++i)
                if (perComponent[i] == 0xFF && perComponent[i + 1] == 0xDA)
                    return i;
            return perComponent.size();
        };
        const size_t first = sos(0);
        const size_t eoi = perComponent.size() - 2;
        QVERIFY(first < eoi);
        std::vector<uint8_t> repeated(perComponent.begin(), perComponent.begin() + long(eoi));
        for (int copy = 0; copy < 2; ++copy)
            repeated.insert(repeated.end(), perComponent.begin() + long(first),
                            perComponent.begin() + long(eoi));
        repeated.insert(repeated.end(), perComponent.end() - 2, perComponent.end());
        QCOMPARE(DecodeTo(decoder, repeated, image).status, Status::Unsupported);
        QVERIFY(decoder.DecodeFitting(repeated.data(), repeated.size(), 32, 24, fitted).status ==
                Status::Unsupported);

        // The decoder is whole again afterwards.
        QVERIFY(DecodeTo(decoder, samples::Encode(picture), image).ok());
    }
};

QTEST_GUILESS_MAIN(TestFrameDecoder)
#include "test_frame_decoder.moc"
