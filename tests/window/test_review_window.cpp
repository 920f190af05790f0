// The review window on its own, offscreen: following the newest picture and
// browsing, the keys, the click and the drag of the 100 % view, what it says
// of raw, cut-off and broken pictures, and its remembered place. With
// ORKA_REVIEW_SHOTS set to a folder it also saves pictures of itself there,
// on the simulated camera's pictures, to be looked at.
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "ReviewGeometry.h"
#include "ReviewWindow.h"
#include "XmpSidecar.h"
#include "jpeg_samples.h"
#include "scene.h"

class TestReviewWindow : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir dir_;
    int next_ = 1;

    // A picture of the session written as the library names it.
    ReviewItem Picture(const std::vector<uint8_t>& jpeg, const QString& extension = "JPG") {
        ReviewItem item;
        item.path =
            dir_.filePath(QStringLiteral("P%1.%2").arg(next_++, 5, 10, QChar('0')).arg(extension));
        QFile f(item.path);
        f.open(QIODevice::WriteOnly);
        f.write(reinterpret_cast<const char*>(jpeg.data()), qint64(jpeg.size()));
        item.shownFile = item.path;
        CameraStatusData status{};
        status.shutterSpeed = 37;
        status.aperture = 6;
        item.status = status;
        return item;
    }

    ReviewItem Quadrants() { return Picture(samples::Encode(samples::Quadrants(1200, 900))); }

    static QWidget* View(TReviewWindow& w) { return w.findChild<QWidget*>("vue"); }

    static void Open(TReviewWindow& w) {
        w.resize(900, 700);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
    }

  private Q_SLOTS:
    void initTestCase() { QVERIFY(dir_.isValid()); }

    // The newest picture shows as it lands; once the photographer browses
    // back, a new one only raises the marker, until End brings it.
    void followsTheNewestUnlessBrowsing() {
        TReviewWindow w;
        Open(w);
        QSignalSpy shown(&w, &TReviewWindow::pictureShown);
        const ReviewItem a = Quadrants(), b = Quadrants(), c = Quadrants(), d = Quadrants();
        w.AddPicture(a);
        w.AddPicture(b);
        QCOMPARE(w.CurrentPath(), b.path);
        QTRY_VERIFY(w.PictureOnScreen());
        QTRY_COMPARE(shown.count() > 0 ? shown.last().at(0).toString() : QString(), b.path);
        QTest::keyClick(&w, Qt::Key_Left);
        QCOMPARE(w.CurrentPath(), a.path);
        w.AddPicture(c);
        QCOMPARE(w.CurrentPath(), a.path);
        QVERIFY(w.NewerWaiting());
        QVERIFY(w.findChild<QLabel*>("plusRecente")->isVisible());
        QTest::keyClick(&w, Qt::Key_End);
        QCOMPARE(w.CurrentPath(), c.path);
        QVERIFY(!w.NewerWaiting());
        w.AddPicture(d);
        QCOMPARE(w.CurrentPath(), d.path);
        QTest::keyClick(&w, Qt::Key_Home);
        QCOMPARE(w.CurrentIndex(), 0);
        QTest::keyClick(&w, Qt::Key_Left);  // nothing before the first
        QCOMPARE(w.CurrentIndex(), 0);
    }

    // 1-5, 0 and X save the rating beside the picture with the exposure; Z
    // goes to 100 % at the shot's focus point and back; F and C switch the
    // focus mask and the clipping.
    void keysRateZoomAndMarks() {
        TReviewWindow w;
        Open(w);
        ReviewItem item = Quadrants();
        item.focusPoint = {3264 / 4, 2448 / 4};  // the top left quadrant's centre
        w.SetPictures({item});
        QSignalSpy rated(&w, &TReviewWindow::rated);
        QTest::keyClick(&w, Qt::Key_4);
        orka::SidecarFacts facts;
        QVERIFY(orka::ReadSidecar(item.path, facts, nullptr));
        QCOMPARE(facts.rating, std::optional<int>(4));
        QCOMPARE(facts.exposure.exposureTime->denominator, 160);
        QCOMPARE(w.CurrentRating(), std::optional<int>(4));
        QTest::keyClick(&w, Qt::Key_X);
        QCOMPARE(w.CurrentRating(), std::optional<int>(-1));
        QTest::keyClick(&w, Qt::Key_0);
        QVERIFY(orka::ReadSidecar(item.path, facts, nullptr));
        QCOMPARE(facts.rating, std::optional<int>(0));
        QCOMPARE(rated.count(), 3);
        QVERIFY(w.findChild<QLabel*>("note")->text().contains("Sans note"));

        QTRY_VERIFY(w.PictureOnScreen());
        QTest::keyClick(&w, Qt::Key_Z);
        QVERIFY(w.Zoomed());
        QTRY_VERIFY(w.PictureOnScreen());
        const QSize view = View(w)->size();
        QCOMPARE(w.Viewport().size(), QSizeF(view));
        // The focus point (300, 225) lies near the corner: the viewport stops
        // at the picture's edges.
        QCOMPARE(w.Viewport().topLeft(), QPointF(std::max(0.0, 300.0 - view.width() / 2),
                                                 std::max(0.0, 225.0 - view.height() / 2)));
        QTest::keyClick(&w, Qt::Key_F);
        QTest::keyClick(&w, Qt::Key_C);
        QVERIFY(w.FocusMask() && w.Clipping());
        QVERIFY(!View(w)->grab().isNull());
        QTest::keyClick(&w, Qt::Key_Escape);
        QVERIFY(!w.Zoomed());
        QTRY_VERIFY(w.PictureOnScreen());
    }

    // A click on the fit view goes to 100 % around the point clicked; a drag
    // moves the picture with the mouse; a click goes back.
    void clickZoomsAtThePointAndDragPans() {
        TReviewWindow w;
        Open(w);
        w.SetPictures({Quadrants()});
        QTRY_VERIFY(w.PictureOnScreen());
        QWidget* view = View(w);
        const QRectF fit = orka::FitRect({1200, 900}, QSizeF(view->size()));
        const QPoint click =
            (fit.topLeft() + QPointF(fit.width() * 0.75, fit.height() / 2)).toPoint();
        QTest::mouseClick(view, Qt::LeftButton, {}, click);
        QVERIFY(w.Zoomed());
        const QPointF at = orka::FitToPicture(click, {1200, 900}, fit);
        const QRectF expected = orka::LoupeViewport({1200, 900}, QSizeF(view->size()), at);
        QCOMPARE(w.Viewport(), expected);
        QTest::mousePress(view, Qt::LeftButton, {}, QPoint(300, 300));
        QTest::mouseMove(view, QPoint(320, 290));
        QTest::mouseMove(view, QPoint(340, 280));
        QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(340, 280));
        QCOMPARE(w.Viewport(), orka::PanViewport(expected, {1200, 900}, {40, -20}));
        QVERIFY(w.Zoomed());
        QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(100, 100));
        QVERIFY(!w.Zoomed());
    }

    // A raw picture shows its companion and says so, or says it has none;
    // a cut-off picture shows as far as its data goes; a file that is not a
    // JPEG says so; the settings and the file facts are shown.
    void rawCutOffAndBrokenPicturesSaySo() {
        TReviewWindow w;
        Open(w);
        const ReviewItem jpeg = Quadrants();
        ReviewItem raw = jpeg;
        raw.path = QString(jpeg.path).replace(".JPG", ".qrw");
        const std::vector<uint8_t> whole = samples::Encode(samples::Quadrants(1200, 900));
        ReviewItem cut = Picture({whole.begin(), whole.begin() + long(whole.size() / 2)});
        cut.complete = false;
        ReviewItem broken = Picture({'n', 'o', 't'});
        ReviewItem lonely = raw;
        lonely.path = dir_.filePath("P09999.qrw");
        lonely.shownFile.clear();
        w.SetPictures({raw, cut, broken, lonely});

        QVERIFY(w.MessageText().contains("pas encore d'aperçu"));
        QTest::keyClick(&w, Qt::Key_Home);
        QVERIFY(w.MessageText().contains(
            QStringLiteral("affichée par son compagnon %1").arg(QFileInfo(jpeg.path).fileName())));
        QVERIFY(w.SettingsText().contains("Vitesse : 1/160"));
        QVERIFY(w.FileText().contains(QFileInfo(raw.path).fileName()));
        QTRY_VERIFY(w.PictureOnScreen());
        QTest::keyClick(&w, Qt::Key_Right);
        QTRY_VERIFY(w.MessageText().contains(QStringLiteral("Image tronquée")));
        QVERIFY(w.MessageText().contains(".partiel"));
        QTRY_VERIFY(w.PictureOnScreen());
        QTest::keyClick(&w, Qt::Key_Right);
        QTRY_VERIFY(w.MessageText().contains("n'est pas une image JPEG"));
        QVERIFY(!w.PictureOnScreen());
    }

    // The window comes back where it was left.
    void remembersItsGeometry() {
        QRect where;
        {
            TReviewWindow w;
            Open(w);
            w.setGeometry(60, 70, 800, 640);
            where = w.geometry();
            w.close();
        }
        TReviewWindow again;
        again.show();
        QVERIFY(QTest::qWaitForWindowExposed(&again));
        QCOMPARE(again.geometry().size(), where.size());
    }

    // Pictures of the window to look at: the fit view with the loupe's
    // place, 100 % at the focus point with the focus mask, the clipping.
    void screenshots() {
        const QString out = qEnvironmentVariable("ORKA_REVIEW_SHOTS");
        if (out.isEmpty())
            QSKIP("ORKA_REVIEW_SHOTS is not set");
        orkasim::Scene scene;
        TReviewWindow w;
        w.resize(1280, 960);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        ReviewItem item = Picture(scene.renderJpeg(3264, 2448, orkasim::SceneSettings{}, 0.5, 95));
        item.focusPoint = {1500, 1300};
        w.SetPictures({item});
        QTest::keyClick(&w, Qt::Key_3);
        QTRY_VERIFY_WITH_TIMEOUT(w.PictureOnScreen(), 20000);
        QTest::qWait(300);
        w.grab().save(out + "/review_fit.png");
        QTest::keyClick(&w, Qt::Key_F);
        QTest::qWait(100);
        w.grab().save(out + "/review_fit_mask.png");
        QTest::keyClick(&w, Qt::Key_Z);
        QTRY_VERIFY_WITH_TIMEOUT(w.PictureOnScreen(), 20000);
        QTest::qWait(100);
        w.grab().save(out + "/review_100_mask.png");
        QTest::keyClick(&w, Qt::Key_F);
        QTest::keyClick(&w, Qt::Key_C);
        QTest::qWait(100);
        w.grab().save(out + "/review_100_clipping.png");
    }
};

QTEST_MAIN(TestReviewWindow)
#include "test_review_window.moc"
