// The live-view side of the window without a camera: preview points in the
// four orientations, the layout for each orientation and preview size, the
// frame path (decode, turn, analyse, a corrupt frame among good ones), the
// overlays and the depth-of-field read-out.
#include <QTest>
#include <QtWidgets>

#include "NumericEdit.h"
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
    // One frame of w x h as the camera delivers it, through the window's path.
    bool feed(uint32_t w, uint32_t h, const std::vector<uint8_t>& jpeg) {
        return ShowFrame(w, h, jpeg);
    }
    // A click on the preview at (x, y) with the flexible focus point chosen:
    // the point the camera is given.
    QPoint pickFocusPoint(int x, int y) {
        get<QRadioButton>("ModeFFP")->setChecked(true);
        // Sent as they are: QTest would take (0, 0) for the widget's centre.
        QLabel* live = get<QLabel>("LiveView");
        for (const auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            const Qt::MouseButtons held =
                type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
            QMouseEvent event(type, QPointF(x, y), live->mapToGlobal(QPointF(x, y)), Qt::LeftButton,
                              held, Qt::NoModifier);
            QApplication::sendEvent(live, &event);
        }
        return QPoint(Live().FocusPoint[0], Live().FocusPoint[1]);
    }

  private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale::French); }
    void init() { QVERIFY(OpenWindow()); }
    void cleanup() { DeleteWindow(); }

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
        QCOMPARE(pickFocusPoint(preview.x(), preview.y()), camera);
        const QLabel* live = get<QLabel>("LiveView");
        QCOMPARE(live->size(), shown);
        const QWidget* box = get<QWidget>("ViewBox");
        QCOMPARE(live->geometry().center(), box->rect().center());
    }

    // Every orientation change brings the focus back to the centre.
    void orientationResetsFocusPoint() {
        for (int t : {Clockwise, UpsideDown, Anticlockwise, Normal}) {
            pickFocusPoint(7, 9);
            QCOMPARE(Live().FocusMark, (std::array<int32_t, 2>{7, 9}));
            QVERIFY(Live().FocusPoint != (std::array<int32_t, 2>{1632, 1224}));
            QVERIFY(feed(320, 240, samples::Solid(320, 240, Qt::gray)));  // draws the thumbnail
            QVERIFY(!Motion().RoiThumbDirty);
            turn(t);
            QCOMPARE(Live().FocusPoint[0], 1632);
            QCOMPARE(Live().FocusPoint[1], 1224);
            const bool tall = t == Clockwise || t == Anticlockwise;
            QCOMPARE(Live().FocusMark[0], tall ? 120 : 160);
            QCOMPARE(Live().FocusMark[1], tall ? 160 : 120);
            QVERIFY(Motion().RoiThumbDirty);
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
        QCOMPARE(QSize(Live().PreviewWidth, Live().PreviewHeight), QSize(320, 240));
        QCOMPARE(get<QLabel>("InfoErreur")->text(), QStringLiteral("O"));

        turn(Clockwise);
        sizes->item(1)->click();
        QCOMPARE(base->width(), TBase::kClientWidthLarge);
        QCOMPARE(get<QWidget>("ViewBox")->size(), QSize(546, 546));
        QCOMPARE(get<QWidget>("InfoStatut")->width(), 601);
        QCOMPARE(QSize(Live().PreviewWidth, Live().PreviewHeight), QSize(544, 408));
        QCOMPARE(get<QLabel>("LiveView")->size(), QSize(408, 544));
        QCOMPARE(Live().FocusPoint[0], 1632);
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
        this->turn(turn);
        QVERIFY(feed(64, 48, samples::Encode(samples::Quadrants(64, 48))));
        QCOMPARE(Live().LiveImage.size(), shown);
        QCOMPARE(Live().LiveImage.format(), QImage::Format_BGR888);
        QVERIFY(samples::Near(Live().LiveImage.pixelColor(2, 2), topLeft));
        // Every quadrant has a channel at full scale: one bin holds almost all.
        QVERIFY(Live().Histogram.bins[255] + Live().Histogram.bins[254] +
                    Live().Histogram.bins[253] >=
                64 * 48 * 9 / 10);
        QCOMPARE(get<QLabel>("ImgHisto")->pixmap().size(), QSize(256, 100));
    }

    // A broken frame between good ones is skipped: the picture shown and the
    // histogram stay those of the last good frame, and the next one shows.
    void corruptFrameInStream() {
        const auto red = samples::Solid(64, 48, Qt::red);
        const auto blue = samples::Solid(64, 48, Qt::blue);
        auto broken = blue;
        broken.resize(broken.size() * 2 / 3);

        QVERIFY(feed(64, 48, red));
        const auto histogram = Live().Histogram.bins;
        QVERIFY(!feed(64, 48, broken));
        QVERIFY(samples::Near(Live().LiveImage.pixelColor(60, 44), Qt::red));
        QVERIFY(
            samples::Near(get<QLabel>("LiveView")->pixmap().toImage().pixelColor(60, 44), Qt::red));
        QVERIFY(Live().Histogram.bins == histogram);
        QVERIFY(feed(64, 48, blue));
        QVERIFY(samples::Near(Live().LiveImage.pixelColor(60, 44), Qt::blue));
    }

    // A picture of another size than announced is fitted into the preview.
    void otherSizeIsFitted() {
        QVERIFY(feed(64, 48, samples::Encode(samples::Quadrants(256, 96))));
        QCOMPARE(Live().LiveImage.size(), QSize(64, 48));
        // 256 x 96 fitted into 64 x 48 is 64 x 24, centred: black above and below.
        QVERIFY(samples::Near(Live().LiveImage.pixelColor(5, 2), Qt::black));
        QVERIFY(samples::Near(Live().LiveImage.pixelColor(5, 15), Qt::red));
        QVERIFY(samples::Near(Live().LiveImage.pixelColor(60, 30), Qt::white));
    }

    // Reticle: full lines through the centre from a tenth to nine tenths,
    // with ticks; grid: dotted lines at the odd tenths.
    void reticleAndGrid() {
        const auto black = samples::Solid(320, 240, Qt::black);
        get<QCheckBox>("Reticule")->setChecked(true);
        QVERIFY(feed(320, 240, black));
        const QImage& img = Live().LiveImage;
        const QColor white(Qt::white);
        QCOMPARE(img.pixelColor(32, 120), white);
        QCOMPARE(img.pixelColor(288, 120), white);
        QCOMPARE(img.pixelColor(31, 120), QColor(Qt::black));
        QCOMPARE(img.pixelColor(160, 24), white);
        QCOMPARE(img.pixelColor(64, 115), white);  // tick at 2 W / 10
        QCOMPARE(img.pixelColor(64, 114), QColor(Qt::black));
        QCOMPARE(img.pixelColor(155, 48), white);  // tick at 2 H / 10

        get<QCheckBox>("Reticule")->setChecked(false);
        get<QCheckBox>("Grille")->setChecked(true);
        QVERIFY(feed(320, 240, black));
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
        QCOMPARE(Focus().FocalLength, 50);
        CameraStatusData status{};
        status.focusMode = 1;  // manual focus at distance
        status.focusDistance = int32_t(distance);
        status.aperture = 6;
        ShowReadouts(status, true);
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
        QCOMPARE(Focus().FocalLength, 135);
        edit->setText(QStringLiteral("300"));
        numeric->validateNow();
        QCOMPARE(Focus().FocalLength, 50);
    }
};

QTEST_MAIN(TestLiveWindow)
#include "test_live_window.moc"
