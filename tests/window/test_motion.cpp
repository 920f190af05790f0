// Capture on motion in the window, on synthetic brightness: the rectangle's
// storage for both preview sizes and the thumbnail, the rectangle mapped
// through a quarter turn, the gauge, the threshold, the skip after a capture
// and the caption of the detection button.
#include <QTest>
#include <QtWidgets>

#include <algorithm>

#include "RadioGroup.h"
#include "WindowTest.h"
#include "jpeg_samples.h"

class TestMotion : public TWindowTest {
    Q_OBJECT

    void drag(int x1, int y1, int x2, int y2) { DragOnPreview(x1, y1, x2, y2); }
    // One frame as the live view hands it over: the rectangle's brightness,
    // then the window's detection step.
    void frame(const std::vector<int32_t>& luma) { MotionFrame(luma); }
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
        ChooseItem("DimPreView", 1);  // frames of the large preview, chosen at start
        ChooseItem("MonoMultiVue", 3);
    }
    void cleanup() { DeleteWindow(); }

    // Drawn on the small preview, the rectangle is kept for the large one
    // and the thumbnail; a size change loads it and resizes the buffers.
    void rectangleStoredForBothSizes() {
        ChooseItem("DimPreView", 0);
        QCOMPARE(Live().PreviewWidth, 320);
        QVERIFY(!get<QPushButton>("DetectEvent")->isEnabled());
        drag(90, 60, 30, 30);
        QVERIFY(get<QPushButton>("DetectEvent")->isEnabled());
        QCOMPARE(Motion().Roi.RoiSmall, (orka::RoiBox{30, 30, 90, 60}));
        QCOMPARE(Motion().Roi.RoiLarge, (orka::RoiBox{51, 51, 153, 102}));
        QCOMPARE(Motion().Roi.RoiThumb, (orka::RoiBox{12, 12, 36, 24}));
        QVERIFY(Motion().RoiThumbDirty);
        QCOMPARE(Motion().Detector.RoiLumaValues().size(), size_t(60 * 30));

        ChooseItem("DimPreView", 1);  // the large preview loads its rectangle
        QCOMPARE(Motion().RoiEditor.Corner1, QPoint(51, 51));
        QCOMPARE(Motion().RoiEditor.Corner2, QPoint(153, 102));
        QCOMPARE(Motion().Detector.Rectangle(), (orka::RoiBox{51, 51, 153, 102}));
        QCOMPARE(Motion().Detector.RoiLumaValues().size(), size_t(102 * 51));

        // The thumbnail shows the rectangle in white.
        QVERIFY(ShowFrame(544, 408, samples::Solid(544, 408, Qt::black)));
        QVERIFY(!Motion().RoiThumbDirty);
        QCOMPARE(Motion().RoiThumbImage.pixelColor(12, 16 + 12), QColor(Qt::white));
        QCOMPARE(Motion().RoiThumbImage.pixelColor(0, 0).rgb(),
                 base->palette().color(QPalette::Dark).rgb());
    }

    // 300 x 150 pixels give 5000 blocks; a click alone leaves no rectangle
    // and puts the threshold back to 50.
    void blockCountAndEmptyRectangle() {
        drag(10, 10, 310, 160);
        QCOMPARE(Motion().Detector.BlockDiffs().size(), size_t(5000));
        get<QSlider>("Seuil")->setValue(70);
        QCOMPARE(get<QLabel>("lbSeuil")->text(), QStringLiteral("70 %"));
        drag(40, 40, 40, 40);
        QVERIFY(!get<QPushButton>("DetectEvent")->isEnabled());
        QCOMPARE(get<QSlider>("Seuil")->value(), 50);
        QCOMPARE(get<QLabel>("lbSeuil")->text(), QStringLiteral("50 %"));
        QCOMPARE(Motion().Detector.Rectangle().width(), 0);
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
        QVERIFY(!Motion().Detector.JustTriggered());

        frame(twoBlocks(71));  // no change: back near the average
        frame(twoBlocks(71));
        frame(twoBlocks(71));
        frame(twoBlocks(71));
        frame(twoBlocks(71));
        QVERIFY(!Motion().Detector.JustTriggered());
        frame(twoBlocks(71 + 72));  // 72 / sqrt 2 = 50.9 against an average of 0
        QCOMPARE(gauge->value(), 51);
        QVERIFY(Motion().Detector.JustTriggered());
        QCOMPARE(Camera().LastResult != 0, true);  // no camera: the capture fails, latched

        frame(twoBlocks(0));  // skipped after the capture
        QCOMPARE(gauge->value(), 51);
        QVERIFY(!Motion().Detector.JustTriggered());
    }

    // Detection off: the gauge moves but nothing fires.
    void buttonUpNeverFires() {
        drag(100, 100, 103, 106);
        frame(twoBlocks(0));
        frame(twoBlocks(0));
        frame(twoBlocks(900));
        QCOMPARE(get<QProgressBar>("AffdImg")->value(), 100);
        QVERIFY(!Motion().Detector.JustTriggered());
    }

    // In a quarter turn the watched area is the one outlined on screen.
    void rectangleFollowsOrientation() {
        get<QToolButton>("ImgVertD")->setChecked(true);  // clockwise
        // Displayed 408 x 544: the displayed column X is frame row 407 - X.
        drag(0, 0, 30, 60);
        QCOMPARE(Motion().Detector.Rectangle(), (orka::RoiBox{0, 378, 60, 408}));
        // Turned back: the next frame's area follows.
        get<QToolButton>("ImgHorz0")->setChecked(true);
        frame(std::vector<int32_t>(60 * 30, 0));
        QCOMPARE(Motion().Detector.Rectangle(), (orka::RoiBox{0, 0, 30, 60}));
    }
};

QTEST_MAIN(TestMotion)
#include "test_motion.moc"
