// The live-view side of the window without a camera: preview points in the
// four orientations, the layout for each orientation and preview size, the
// frame path (decode, turn, analyse, a corrupt frame among good ones), the
// overlays and the depth-of-field read-out.
#include <QTest>
#include <QtWidgets>

#include "NumericEdit.h"
#include "OrkaCapture.h"
#include "RadioGroup.h"
#include "UtilsOrka.h"
#include "WindowTest.h"
#include "jpeg_samples.h"

namespace {

enum Turn { Normal, UpsideDown, Anticlockwise, Clockwise };
const char* const kTurnButtons[] = {"ImgHorz0", "ImgHorz1", "ImgVertG", "ImgVertD"};

}  // namespace

class TestLiveWindow : public TWindowTest {
    Q_OBJECT

    void turn(int t) { QTest::mouseClick(get<QToolButton>(kTurnButtons[t]), Qt::LeftButton); }
    void setFrameSize(uint32_t w, uint32_t h) {
        LiveInfo() = LiveViewInfo{w, h, 0};
        ApplyFrameSize();
    }
    // One frame through the window's path, shown when it decodes.
    bool feed(const std::vector<uint8_t>& jpeg) {
        FrameBuffer() = jpeg;
        if (!DecodeFrame(true))
            return false;
        get<QLabel>("LiveView")->setPixmap(QPixmap::fromImage(LiveImage()));
        return true;
    }

  private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale::French); }
    void init() {
        QVERIFY(OpenWindow());
    }
    void cleanup() {
        DeleteWindow();
    }

    void previewToCamera_data() {
        QTest::addColumn<int>("turn");
        QTest::addColumn<QPoint>("preview");
        QTest::addColumn<QPoint>("camera");
        QTest::addColumn<QSize>("shown");
        const QSize wide(320, 240), tall(240, 320);
        QTest::newRow("normal, top left") << int(Normal) << QPoint(0, 0) << QPoint(0, 0) << wide;
        QTest::newRow("normal, bottom right")
            << int(Normal) << QPoint(320, 240) << QPoint(3264, 2448) << wide;
        QTest::newRow("upside down, top left")
            << int(UpsideDown) << QPoint(0, 0) << QPoint(3264, 2448) << wide;
        QTest::newRow("anticlockwise, top left")
            << int(Anticlockwise) << QPoint(0, 0) << QPoint(3264, 0) << tall;
        QTest::newRow("anticlockwise, bottom right")
            << int(Anticlockwise) << QPoint(240, 320) << QPoint(0, 2448) << tall;
        QTest::newRow("clockwise, top left")
            << int(Clockwise) << QPoint(0, 0) << QPoint(0, 2448) << tall;
        QTest::newRow("clockwise, top right")
            << int(Clockwise) << QPoint(240, 0) << QPoint(0, 0) << tall;
        // 3264 x 1 / 320 = 10.2 and 2448 x 3 / 240 = 30.6: rounded to nearest.
        QTest::newRow("normal, rounding") << int(Normal) << QPoint(1, 3) << QPoint(10, 31) << wide;
    }
    // Points clicked on the turned preview land where the camera sees them,
    // and the preview is laid out turned, centred in ViewBox.
    void previewToCamera() {
        QFETCH(int, turn);
        QFETCH(QPoint, preview);
        QFETCH(QPoint, camera);
        QFETCH(QSize, shown);
        this->turn(turn);
        std::array<int32_t, 2> point{-1, -1};
        PreviewToCamera(preview.x(), preview.y(), point);
        QCOMPARE(QPoint(point[0], point[1]), camera);
        const QLabel* live = get<QLabel>("LiveView");
        QCOMPARE(live->size(), shown);
        const QWidget* box = get<QWidget>("ViewBox");
        QCOMPARE(live->geometry().center(), box->rect().center());
    }

    // Every orientation change brings the focus back to the centre.
    void orientationResetsFocusPoint() {
        for (int t : {Clockwise, UpsideDown, Anticlockwise, Normal}) {
            FocusMark()[0] = 7;
            FocusMark()[1] = 9;
            FocusPoint()[0] = 100;
            FocusPoint()[1] = 200;
            RoiThumbDirty() = false;
            turn(t);
            QCOMPARE(FocusPoint()[0], 1632);
            QCOMPARE(FocusPoint()[1], 1224);
            const bool tall = t == Clockwise || t == Anticlockwise;
            QCOMPARE(FocusMark()[0], tall ? 120 : 160);
            QCOMPARE(FocusMark()[1], tall ? 160 : 120);
            QVERIFY(RoiThumbDirty());
        }
    }

    // The preview size sets the window width and a square ViewBox; without a
    // camera the preview is laid out for the size chosen.
    void previewSizeLayout() {
        auto* sizes = get<TRadioGroup>("DimPreView");
        sizes->item(0)->click();
        QCOMPARE(base->width(), TBase::kClientWidthSmall);
        QCOMPARE(get<QWidget>("ViewBox")->size(), QSize(322, 322));
        QCOMPARE(get<QWidget>("InfoStatut")->width(), 377);
        QCOMPARE(QSize(PreviewWidth(), PreviewHeight()), QSize(320, 240));
        QCOMPARE(get<QLabel>("InfoErreur")->text(), QStringLiteral("O"));

        turn(Clockwise);
        sizes->item(1)->click();
        QCOMPARE(base->width(), TBase::kClientWidthLarge);
        QCOMPARE(get<QWidget>("ViewBox")->size(), QSize(546, 546));
        QCOMPARE(get<QWidget>("InfoStatut")->width(), 601);
        QCOMPARE(QSize(PreviewWidth(), PreviewHeight()), QSize(544, 408));
        QCOMPARE(get<QLabel>("LiveView")->size(), QSize(408, 544));
        QCOMPARE(FocusPoint()[0], 1632);
    }

    void frameTurns_data() {
        QTest::addColumn<int>("turn");
        QTest::addColumn<QColor>("topLeft");
        QTest::addColumn<QSize>("shown");
        QTest::newRow("normal") << int(Normal) << QColor(Qt::red) << QSize(64, 48);
        QTest::newRow("upside down") << int(UpsideDown) << QColor(Qt::white) << QSize(64, 48);
        QTest::newRow("anticlockwise") << int(Anticlockwise) << QColor(Qt::green) << QSize(48, 64);
        QTest::newRow("clockwise") << int(Clockwise) << QColor(Qt::blue) << QSize(48, 64);
    }
    // A frame is shown turned, and analysed as the camera delivered it.
    void frameTurns() {
        QFETCH(int, turn);
        QFETCH(QColor, topLeft);
        QFETCH(QSize, shown);
        setFrameSize(64, 48);
        this->turn(turn);
        QVERIFY(feed(samples::Encode(samples::Quadrants(64, 48))));
        QCOMPARE(LiveImage().size(), shown);
        QCOMPARE(LiveImage().format(), QImage::Format_BGR888);
        QVERIFY(samples::Near(LiveImage().pixelColor(2, 2), topLeft));
        // Every quadrant has a channel at full scale: one bin holds almost all.
        QVERIFY(Histogram().bins[255] + Histogram().bins[254] + Histogram().bins[253] >=
                64 * 48 * 9 / 10);
        QCOMPARE(get<QLabel>("ImgHisto")->pixmap().size(), QSize(256, 100));
    }

    // A broken frame between good ones is skipped: the picture shown and the
    // histogram stay those of the last good frame, and the next one shows.
    void corruptFrameInStream() {
        setFrameSize(64, 48);
        const auto red = samples::Solid(64, 48, Qt::red);
        const auto blue = samples::Solid(64, 48, Qt::blue);
        auto broken = blue;
        broken.resize(broken.size() * 2 / 3);

        QVERIFY(feed(red));
        const auto histogram = Histogram().bins;
        QVERIFY(!feed(broken));
        QVERIFY(samples::Near(LiveImage().pixelColor(60, 44), Qt::red));
        QVERIFY(
            samples::Near(get<QLabel>("LiveView")->pixmap().toImage().pixelColor(60, 44), Qt::red));
        QVERIFY(Histogram().bins == histogram);
        QVERIFY(feed(blue));
        QVERIFY(samples::Near(LiveImage().pixelColor(60, 44), Qt::blue));
    }

    // An after-view picture of another size is fitted into the preview.
    void otherSizeIsFitted() {
        setFrameSize(64, 48);
        FrameBuffer() = samples::Encode(samples::Quadrants(256, 96));
        QVERIFY(DecodeFrame(false));
        QCOMPARE(LiveImage().size(), QSize(64, 48));
        // 256 x 96 fitted into 64 x 48 is 64 x 24, centred: black above and below.
        QVERIFY(samples::Near(LiveImage().pixelColor(5, 2), Qt::black));
        QVERIFY(samples::Near(LiveImage().pixelColor(5, 15), Qt::red));
        QVERIFY(samples::Near(LiveImage().pixelColor(60, 30), Qt::white));
    }

    // Reticle: full lines through the centre from a tenth to nine tenths,
    // with ticks; grid: dotted lines at the odd tenths.
    void reticleAndGrid() {
        LiveImage() = QImage(320, 240, QImage::Format_BGR888);
        LiveImage().fill(Qt::black);
        {
            QPainter painter(&LiveImage());
            DrawReticle(painter);
        }
        const QImage& img = LiveImage();
        const QColor white(Qt::white);
        QCOMPARE(img.pixelColor(32, 120), white);
        QCOMPARE(img.pixelColor(288, 120), white);
        QCOMPARE(img.pixelColor(31, 120), QColor(Qt::black));
        QCOMPARE(img.pixelColor(160, 24), white);
        QCOMPARE(img.pixelColor(64, 115), white);  // tick at 2 W / 10
        QCOMPARE(img.pixelColor(64, 114), QColor(Qt::black));
        QCOMPARE(img.pixelColor(155, 48), white);  // tick at 2 H / 10

        LiveImage().fill(Qt::black);
        {
            QPainter painter(&LiveImage());
            DrawGrid(painter);
        }
        int on = 0;
        for (int y = 24; y <= 216; ++y)
            on += img.pixelColor(96, y) == white;
        QVERIFY2(on > 30 && on < 180, qPrintable(QString::number(on)));  // dotted
        on = 0;
        for (int x = 32; x <= 288; ++x)
            on += img.pixelColor(x, 72) == white;
        QVERIFY2(on > 40 && on < 220, qPrintable(QString::number(on)));
        QCOMPARE(img.pixelColor(97, 100), QColor(Qt::black));
    }

    void depthOfField_data() {
        QTest::addColumn<uint>("distance");
        QTest::addColumn<QString>("nearText");
        QTest::addColumn<QString>("farText");
        QTest::newRow("2 m") << 2000u << "1,294"
                             << "4,467";
        QTest::newRow("infinity") << 0u << "3,643"
                                  << "Inf.";
        QTest::newRow("beyond the hyperfocal") << 5000u << "3,643"
                                               << "Inf.";
        QTest::newRow("3 m") << 3000u << "1,649"
                             << "17,3";
        // H = 3.6447 m, f = 12.8 mm: 3.64 m leaves the far denominator negative.
        QTest::newRow("just short of the hyperfocal") << 3640u << "1,824"
                                                      << "Inf.";
    }
    // F/5,6 and a 50 mm equivalent focal length.
    void depthOfField() {
        QFETCH(uint, distance);
        QFETCH(QString, nearText);
        QFETCH(QString, farText);
        FocalLength() = 50;
        ShowDepthOfField(distance, 6);
        QCOMPARE(get<QLineEdit>("eDProc")->text(), nearText);
        QCOMPARE(get<QLineEdit>("eDLoin")->text(), farText);
    }

    // The focal length comes from eDFoc once typing has stopped; out of range
    // it is the default.
    void focalLengthEdit() {
        auto* edit = get<QLineEdit>("eDFoc");
        auto* numeric = edit->findChild<orka::TNumericEdit*>();
        QVERIFY(numeric);
        numeric->setMessageHook([](QMessageBox::Icon, const QString&) {});
        edit->setText(QStringLiteral("135"));
        numeric->validateNow();
        QCOMPARE(FocalLength(), 135);
        edit->setText(QStringLiteral("300"));
        numeric->validateNow();
        QCOMPARE(FocalLength(), 50);
    }
};

QTEST_MAIN(TestLiveWindow)
#include "test_live_window.moc"
