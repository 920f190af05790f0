// Capture on motion in the window, on synthetic brightness: the rectangle's
// storage for both preview sizes and the thumbnail, the rectangle mapped
// through a quarter turn, the gauge, the threshold, the skip after a capture
// and the caption of the detection button.
#include <QTest>
#include <QtWidgets>

#include <algorithm>

#include "OrkaCapture.h"
#include "RadioGroup.h"
#include "WindowTest.h"

class TestMotion : public TWindowTest {
    Q_OBJECT

    void drag(int x1, int y1, int x2, int y2) {
        RoiMouseDownEvent(Qt::LeftButton, x1, y1);
        RoiMouseMoveEvent(Qt::LeftButton, Qt::NoModifier, x2, y2);
        RoiMouseUpEvent(x2, y2);
    }
    // One frame as the live view hands it over: the rectangle's brightness,
    // the block arrays exchanged, then the window's detection step.
    void frame(const std::vector<int32_t>& luma) {
        QCOMPARE(luma.size(), Detector().RoiLumaValues().size());
        Detector().ExchangeBlockArrays();
        std::copy(luma.begin(), luma.end(), Detector().RoiLuma());
        DetectionAfterAnalyse();
    }
    // A 3 x 6 rectangle: two blocks, the upper one dark, the lower one with
    // the given sum (8 of its 9 pixels at sum / 9, the last one the rest).
    static std::vector<int32_t> twoBlocks(int lowerSum) {
        std::vector<int32_t> luma(18, 0);
        for (int i = 9; i < 18; ++i)
            luma[size_t(i)] = lowerSum / 9;
        luma[17] += lowerSum % 9;
        return luma;
    }

  private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale::French); }
    void init() {
        QVERIFY(OpenWindow());
        PreviewWidth() = 544;  // frames of the large preview, chosen at start
        PreviewHeight() = 408;
        get<TRadioGroup>("MonoMultiVue")->setItemIndex(3);
        MonoMultiVueClick();
    }
    void cleanup() {
        Connected() = false;
        DeleteWindow();
    }

    // Drawn on the small preview, the rectangle is kept for the large one
    // and the thumbnail; a size change loads it and resizes the buffers.
    void rectangleStoredForBothSizes() {
        get<TRadioGroup>("DimPreView")->setItemIndex(0);
        PreviewWidth() = 320;
        PreviewHeight() = 240;
        QVERIFY(!get<QPushButton>("DetectEvent")->isEnabled());
        drag(90, 60, 30, 30);
        QVERIFY(get<QPushButton>("DetectEvent")->isEnabled());
        QCOMPARE(Roi().RoiSmall, (orka::RoiBox{30, 30, 90, 60}));
        QCOMPARE(Roi().RoiLarge, (orka::RoiBox{51, 51, 153, 102}));
        QCOMPARE(Roi().RoiThumb, (orka::RoiBox{12, 12, 36, 24}));
        QVERIFY(RoiThumbDirty());
        QCOMPARE(Detector().RoiLumaValues().size(), size_t(60 * 30));

        LoadDetectionRectangle(1);
        QCOMPARE(RoiEditor().Corner1, QPoint(51, 51));
        QCOMPARE(RoiEditor().Corner2, QPoint(153, 102));
        QCOMPARE(Detector().Rectangle(), (orka::RoiBox{51, 51, 153, 102}));
        QCOMPARE(Detector().RoiLumaValues().size(), size_t(102 * 51));

        // The thumbnail shows the rectangle in white.
        LiveImage() = QImage(544, 408, QImage::Format_BGR888);
        LiveImage().fill(Qt::black);
        DrawRoiThumbnailIfDirty();
        QVERIFY(!RoiThumbDirty());
        QCOMPARE(RoiThumbImage().pixelColor(12, 16 + 12), QColor(Qt::white));
        QCOMPARE(RoiThumbImage().pixelColor(0, 0).rgb(),
                 base->palette().color(QPalette::Dark).rgb());
    }

    // 300 x 150 pixels give 5000 blocks; a click alone leaves no rectangle
    // and puts the threshold back to 50.
    void blockCountAndEmptyRectangle() {
        drag(10, 10, 310, 160);
        QCOMPARE(Detector().BlockDiffs().size(), size_t(5000));
        get<QSlider>("Seuil")->setValue(70);
        QCOMPARE(get<QLabel>("lbSeuil")->text(), QStringLiteral("70 %"));
        drag(40, 40, 40, 40);
        QVERIFY(!get<QPushButton>("DetectEvent")->isEnabled());
        QCOMPARE(get<QSlider>("Seuil")->value(), 50);
        QCOMPARE(get<QLabel>("lbSeuil")->text(), QStringLiteral("50 %"));
        QCOMPARE(Detector().Rectangle().width(), 0);
    }

    // With the threshold at 50, a measure of 50 does not fire and 51 does;
    // the frame after a capture measures 0 and leaves the gauge alone.
    void thresholdFiftyAgainstFiftyOne() {
        drag(100, 100, 103, 106);
        QTest::mouseClick(get<QPushButton>("DetectEvent"), Qt::LeftButton);
        QCOMPARE(get<QPushButton>("DetectEvent")->text(),
                 QStringLiteral("Désactiver la détection"));
        auto* gauge = get<QProgressBar>("AffdImg");

        frame(twoBlocks(0));  // first frame of a new rectangle: not measured
        frame(twoBlocks(0));
        QCOMPARE(gauge->value(), 0);
        frame(twoBlocks(71));  // spread 71 / sqrt 2 = 50.2
        QCOMPARE(gauge->value(), 50);
        QVERIFY(!Detector().JustTriggered());

        frame(twoBlocks(71));  // no change: back near the average
        frame(twoBlocks(71));
        frame(twoBlocks(71));
        frame(twoBlocks(71));
        frame(twoBlocks(71));
        QVERIFY(!Detector().JustTriggered());
        frame(twoBlocks(71 + 72));  // 72 / sqrt 2 = 50.9 against an average of 0
        QCOMPARE(gauge->value(), 51);
        QVERIFY(Detector().JustTriggered());
        QCOMPARE(LastResult() != 0, true);  // no camera: the capture fails, latched

        frame(twoBlocks(0));  // skipped after the capture
        QCOMPARE(gauge->value(), 51);
        QVERIFY(!Detector().JustTriggered());
    }

    // Detection off: the gauge moves but nothing fires.
    void buttonUpNeverFires() {
        drag(100, 100, 103, 106);
        frame(twoBlocks(0));
        frame(twoBlocks(0));
        frame(twoBlocks(900));
        QCOMPARE(get<QProgressBar>("AffdImg")->value(), 100);
        QVERIFY(!Detector().JustTriggered());
    }

    // In a quarter turn the watched area is the one outlined on screen.
    void rectangleFollowsOrientation() {
        get<QToolButton>("ImgVertD")->setChecked(true);  // clockwise
        // Displayed 408 x 544: the displayed column X is frame row 407 - X.
        drag(0, 0, 30, 60);
        QCOMPARE(Detector().Rectangle(), (orka::RoiBox{0, 378, 60, 408}));
        // Turned back: the next frame's area follows.
        get<QToolButton>("ImgHorz0")->setChecked(true);
        frame(std::vector<int32_t>(60 * 30, 0));
        QCOMPARE(Detector().Rectangle(), (orka::RoiBox{0, 0, 30, 60}));
    }
};

QTEST_MAIN(TestMotion)
#include "test_motion.moc"
