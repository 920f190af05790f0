// The review from the main window, against the simulated camera: it opens
// from the strip on the picture selected there, follows the newest picture
// unless the photographer browses, keeps the strip's selection in step,
// carries the shot's status; ratings show on the strip and come back from
// the sidecars (never taken for pictures); a rating that cannot be saved is said; each picture's
// time from the release to the screen is in the status area.
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSignalSpy>

#include "CameraWindowTest.h"
#include "ReviewWindow.h"
#include "XmpSidecar.h"

class TestReviewFollow : public TCameraWindowTest {
    Q_OBJECT

    void shoot() { QTest::mouseClick(get<QWidget>("PriseVue"), Qt::LeftButton); }
    QString status() { return get<QLabel>("InfoStatut")->toolTip(); }
    QListWidget* list() { return get<QListWidget>("Vignettes"); }
    // A picture taken and in the strip, its thumbnail shown.
    bool shootOne() {
        const int before = Strip()->Count();
        shoot();
        return QTest::qWaitFor([&] { return Strip()->Count() == before + 1; }, 10000) &&
               QTest::qWaitFor([&] { return Strip()->HasThumbnailAt(0); }, 10000);
    }

  private Q_SLOTS:
    void initTestCase() { QVERIFY(images.isValid()); }
    void init() {
        QVERIFY(OpenCameraWindow([this] { get<QCheckBox>("PreVisuActif")->setChecked(false); }));
        QVERIFY(ConnectWithoutLiveView());
    }
    void cleanup() {
        const std::string errors = CloseWindow();
        QVERIFY2(errors.empty(), errors.c_str());
        for (const QString& name : QDir(images.path()).entryList(QDir::Files))
            QFile::remove(images.filePath(name));
    }

    // Opened with R on the strip, the review shows the newest picture with
    // the status the window held and the centre as the focus point (central
    // zone); it follows each new picture, and the strip's selection with it.
    // Each picture's time to the screen is said after its place.
    void followsTheNewest() {
        QVERIFY(shootOne());
        const QRegularExpression onScreen(
            QStringLiteral("^Image enregistrée : .*, à l'écran en \\d+,\\d s$"),
            QRegularExpression::MultilineOption);
        QTRY_VERIFY2_WITH_TIMEOUT(onScreen.match(status()).hasMatch(), qPrintable(status()), 15000);

        list()->setFocus();
        QTest::keyClick(list(), Qt::Key_R);
        TReviewWindow* review = Review()->Window();
        QVERIFY(review && review->isVisible());
        QCOMPARE(review->CurrentPath(), Strip()->PathAt(0));
        const ReviewItem& item = Review()->Items().back();
        QVERIFY(item.status.has_value());
        QCOMPARE(item.status->shutterSpeed, Camera().Status.shutterSpeed);
        QCOMPARE(item.focusPoint[0], orka::CameraFrameWidth / 2);

        QVERIFY(shootOne());
        QTRY_COMPARE_WITH_TIMEOUT(review->CurrentPath(), Strip()->PathAt(0), 15000);
        QCOMPARE(Strip()->SelectedPath(), Strip()->PathAt(0));
        QTRY_VERIFY_WITH_TIMEOUT(review->PictureOnScreen(), 15000);
        QTRY_VERIFY2_WITH_TIMEOUT(onScreen.match(status()).hasMatch() &&
                                      status().contains(QFileInfo(Strip()->PathAt(0)).fileName()),
                                  qPrintable(status()), 15000);
    }

    // With a focus point chosen on the preview, the picture carries that
    // point, where the review's loupe goes.
    void carriesTheChosenFocusPoint() {
        get<QRadioButton>("ModeFFP")->setChecked(true);
        MouseOnPreview(QEvent::MouseButtonPress, 60, 50, Qt::LeftButton);
        MouseOnPreview(QEvent::MouseButtonRelease, 60, 50, Qt::NoButton);
        const std::array<int32_t, 2> chosen = Live().FocusPoint;
        QVERIFY(chosen[0] < orka::CameraFrameWidth / 2);
        QTRY_COMPARE_WITH_TIMEOUT((CheckResult(0), IdleRefresh(), Camera().Status.focusPointMode),
                                  0, 15000);
        QVERIFY(shootOne());
        QCOMPARE(Review()->Items().back().focusPoint, chosen);
    }

    // Choosing an older picture in the strip shows it in the review, which
    // then stays on it when a newer one lands (and says so); browsing in
    // the review moves the strip's selection; "Revoir" brings a closed
    // review back on the strip's selection.
    void browsingStaysAndTheStripFollows() {
        QVERIFY(shootOne());
        QVERIFY(shootOne());
        QTest::mouseClick(get<QPushButton>("Revoir"), Qt::LeftButton);
        TReviewWindow* review = Review()->Window();
        QVERIFY(review);
        list()->setCurrentRow(1);  // the older one, as a click does
        QCOMPARE(review->CurrentPath(), Strip()->PathAt(1));

        QVERIFY(shootOne());
        QCOMPARE(review->CurrentPath(), Strip()->PathAt(2));
        QVERIFY(review->NewerWaiting());
        QTest::keyClick(review, Qt::Key_Right);
        QCOMPARE(review->CurrentPath(), Strip()->PathAt(1));
        QCOMPARE(Strip()->SelectedPath(), Strip()->PathAt(1));

        review->close();
        list()->setCurrentRow(2);
        list()->setFocus();
        QTest::keyClick(list(), Qt::Key_Return);
        QVERIFY(review->isVisible());
        QCOMPARE(review->CurrentPath(), Strip()->PathAt(2));
    }

    // A rating given in the review shows on the strip's thumbnail and is
    // signalled once; a rating another program wrote in the sidecar shows
    // when the review comes to the picture; a rating that cannot be written is said in the status
    // area.
    void ratingsOnTheStrip() {
        QVERIFY(shootOne());
        QSignalSpy changed(Review(), &TPictureReview::ratingChanged);
        QTest::mouseClick(get<QPushButton>("Revoir"), Qt::LeftButton);
        TReviewWindow* review = Review()->Window();
        QTest::keyClick(review, Qt::Key_4);
        QCOMPARE(Strip()->RatingAt(0), 4);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).toString(), Strip()->PathAt(0));
        QTest::keyClick(review, Qt::Key_X);
        QCOMPARE(Strip()->RatingAt(0), -1);
        QTest::keyClick(review, Qt::Key_0);
        QCOMPARE(Strip()->RatingAt(0), std::nullopt);

        // A rating another program gave shows when the review comes to it.
        QVERIFY(shootOne());
        const QString next = Strip()->PathAt(0);
        QTRY_COMPARE_WITH_TIMEOUT(review->CurrentPath(), next, 15000);
        QTest::keyClick(review, Qt::Key_Left);
        QVERIFY(orka::WriteRating(next, 2, {}, nullptr));
        QTest::keyClick(review, Qt::Key_End);
        QCOMPARE(Strip()->RatingAt(0), 2);

        // A folder where the sidecar goes: the rating cannot be saved.
        QVERIFY(QFile::remove(orka::SidecarPath(next)));
        QVERIFY(QDir().mkdir(orka::SidecarPath(next)));
        QTest::keyClick(review, Qt::Key_5);
        QCOMPARE(Strip()->RatingAt(0), 2);
        QVERIFY2(
            status().startsWith(
                QStringLiteral("Note de %1 non enregistrée : ").arg(QFileInfo(next).fileName())),
            qPrintable(status()));
        QDir().rmdir(orka::SidecarPath(next));
    }
};

QTEST_MAIN(TestReviewFollow)
#include "test_review_follow.moc"
