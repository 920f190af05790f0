// The window tells the truth about the camera, against the simulated camera
// with its unplug and replug: the status area's messages keep their owner
// and lifetime, a picture that arrives while disconnecting reaches the
// strip, the connection says why it failed and follows the camera, the
// waits can be cancelled, the intervalometer gives the live view back, and
// the lists that follow the camera show its values.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

#include "CameraWindowTest.h"
#include "SimLog.h"
#include "orkasim.h"

using namespace std::chrono_literals;

namespace {

using orkasim::Camera;

constexpr uint16_t kCapture = 0x1006;
constexpr int kPWarnings = 57;
constexpr int kPShutterSound = 88;
constexpr int kPInfocusSound = 89;
constexpr int32_t kFlashAdvised = 0x20;

}  // namespace

class TestCameraFollow : public TCameraWindowTest {
    Q_OBJECT

    void clickConnect() { QTest::mouseClick(get<QToolButton>("ConnectAPN"), Qt::LeftButton); }
    QString status() { return get<QLabel>("InfoStatut")->text(); }
    // The tooltip without the line of the room left, which follows the disk.
    QString statusDetails() {
        QStringList lines = get<QLabel>("InfoStatut")->toolTip().split(QLatin1Char('\n'));
        lines.removeIf([](const QString& l) { return l.startsWith(QStringLiteral("Place pour")); });
        return lines.join(QLatin1Char('\n'));
    }
    QString infoConnect() { return get<QLabel>("InfoConnect")->text(); }
    void hoverShutter(bool over) {
        const QWidget* button = get<QWidget>("PriseVue");
        QCursor::setPos(over ? button->mapToGlobal(button->rect().center())
                             : base->mapToGlobal(QPoint(5, 5)));
    }
    void shoot() { QTest::mouseClick(get<QWidget>("PriseVue"), Qt::LeftButton); }
    size_t captures() { return simlog::HostCommands(kCapture).size(); }
    // Presses key on the window once the wait under way has begun.
    void pressLater(int ms, Qt::Key key) {
        QTimer::singleShot(ms, base, [this, key] { QTest::keyClick(base, key); });
    }
    // The live view started by the window's own doing (not inside a call of
    // the test): seen running once, then stopped.
    bool liveViewComesBack() {
        bool seen = false;
        QTimer probe;
        probe.setInterval(10);
        connect(&probe, &QTimer::timeout, this, [&] {
            if (Live().LiveViewOn) {
                seen = true;
                get<QCheckBox>("PreVisuActif")->setChecked(false);
            }
        });
        probe.start();
        QElapsedTimer clock;
        clock.start();
        while (!seen && clock.elapsed() < 5000)
            QTest::qWait(20);
        return seen;
    }

  private Q_SLOTS:
    void initTestCase() { QVERIFY(images.isValid()); }
    void init() {
        Camera::instance().reset();
        QVERIFY(OpenCameraWindow([this] { get<QCheckBox>("PreVisuActif")->setChecked(false); }));
        hoverShutter(false);
    }
    void cleanup() {
        hoverShutter(false);
        const std::string errors = CloseWindow();
        Camera::instance().reset();
        QVERIFY2(errors.empty(), errors.c_str());
    }

    // The place of the last picture stays; the exposure warning of the half
    // press shows over it and goes when the condition is gone or the mouse
    // leaves, giving the picture back; the tooltip holds both in full.
    void warningNeverErasesThePicture() {
        QVERIFY(ConnectWithoutLiveView());
        cam.setParameter(kPWarnings, kFlashAdvised);
        shoot();
        QTRY_COMPARE(Strip()->Count(), 1);
        // The place of the picture, then the time it took to the screen.
        const QString place = QStringLiteral("Image enregistrée : ") + Strip()->PathAt(0);
        QTRY_VERIFY(statusDetails().startsWith(place + QStringLiteral(", à l'écran en ")));
        const QString saved = statusDetails();

        hoverShutter(true);
        QTRY_VERIFY(Shutter().HalfPressed);
        const QString warning = orka::WarningText(kFlashAdvised);
        QCOMPARE(status(), warning);
        QCOMPARE(statusDetails(), warning + QLatin1Char('\n') + saved);

        cam.changeParameter(kPWarnings, 0);  // the camera no longer advises it
        // A call reads the status again, once the camera's notice is in.
        QTRY_VERIFY((CheckResult(0), IdleRefresh(), statusDetails() == saved));

        cam.setParameter(kPWarnings, kFlashAdvised);
        hoverShutter(false);
        QTRY_VERIFY(!Shutter().HalfPressed);
        hoverShutter(true);
        QTRY_COMPARE(status(), warning);
        hoverShutter(false);
        QTRY_COMPARE(statusDetails(), saved);

        // A disconnect keeps the place of the last picture.
        clickConnect();
        QVERIFY(!Camera().Connected);
        QCOMPARE(statusDetails(), saved);
        // A click on the shutter without a camera is answered.
        shoot();
        QVERIFY2(status().contains(QStringLiteral("l'APN n'est pas connecté")),
                 qPrintable(status()));
    }

    // A picture still on its way when the photographer disconnects reaches
    // the strip and the status area once it has arrived: every picture in
    // the folder is in the strip.
    void pictureArrivingDuringTheDisconnect() {
        QVERIFY(ConnectWithoutLiveView());
        const QStringList before =
            QDir(images.path()).entryList({QStringLiteral("*.jpg"), QStringLiteral("*.qrw")});
        cam.setChunkSize(1024);  // a slow transfer: the files are still coming
        shoot();
        int32_t waiting = 0;
        GetWaitingFileNumber(&waiting);
        QVERIFY(waiting > 0);
        clickConnect();
        QVERIFY(!Camera().Connected);
        const QStringList pictures =
            QDir(images.path()).entryList({QStringLiteral("*.jpg"), QStringLiteral("*.qrw")});
        QVERIFY(pictures.size() > before.size());
        for (const QString& name : pictures)
            if (!before.contains(name))
                QVERIFY2(Strip()->Contains(images.filePath(name)), qPrintable(name));
        QVERIFY(status().startsWith(QStringLiteral("Image enregistrée : ")));
    }

    // No camera on the bus: the attempt ends at once and says so, the
    // button stays down and the window keeps looking; the camera plugged in
    // is connected. Unplugged while connected, it is looked for again and
    // reconnected when it comes back, and the window says so.
    void connectionFollowsTheCamera() {
        cam.unplug();
        QElapsedTimer clock;
        clock.start();
        clickConnect();
        QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(!Camera().Connected);
        QVERIFY(Searching());
        QVERIFY(get<QToolButton>("ConnectAPN")->isChecked());
        QCOMPARE(infoConnect(), QStringLiteral("Recherche de l'APN"));
        QVERIFY2(statusDetails().startsWith(QStringLiteral("Aucun Orka n'est branché")),
                 qPrintable(statusDetails()));
        SearchTick();  // still nothing
        QVERIFY(!Camera().Connected && Searching());

        cam.replug();
        SearchTick();
        QVERIFY(Camera().Connected);
        QVERIFY(!Searching());
        QCOMPARE(infoConnect(), QStringLiteral("APN connecté"));
        QVERIFY(!statusDetails().contains(QStringLiteral("Aucun Orka")));

        cam.unplug();
        QTRY_VERIFY(!Camera().Connected);  // the idle refresh notices it
        QVERIFY(Searching());
        QVERIFY(get<QToolButton>("ConnectAPN")->isChecked());
        QVERIFY2(status().startsWith(QStringLiteral("L'APN a été débranché.")),
                 qPrintable(status()));
        cam.replug();
        SearchTick();
        QVERIFY(Camera().Connected);
        QCOMPARE(status(), QStringLiteral("L'APN a été rebranché : il est de nouveau connecté."));
        // And on its own, from the search's timer.
        cam.unplug();
        QTRY_VERIFY(!Camera().Connected);
        cam.replug();
        QTRY_VERIFY_WITH_TIMEOUT(Camera().Connected, 5000);
    }

    // A camera out of reach: why, in French, with what to do; Échap stops
    // the search and releases the button.
    void unreachableCameraSaysWhy() {
        Camera::instance().setHostAccess(Camera::HostAccess::Denied);
        clickConnect();
        QVERIFY(Searching());
        QVERIFY2(statusDetails().contains(QStringLiteral("udevadm control --reload")),
                 qPrintable(statusDetails()));
        Camera::instance().setHostAccess(Camera::HostAccess::Held, "importateur (pid 4242)");
        SearchTick();
        QVERIFY2(statusDetails().contains(QStringLiteral("un autre programme l'utilise : "
                                                         "importateur (pid 4242)")),
                 qPrintable(statusDetails()));
        QTest::keyClick(base, Qt::Key_Escape);
        QVERIFY(!Searching());
        QVERIFY(!get<QToolButton>("ConnectAPN")->isChecked());
        QCOMPARE(infoConnect(), QStringLiteral("APN non connecté"));
        QVERIFY(status().startsWith(QStringLiteral("Recherche de l'APN arrêtée")));
        Camera::instance().setHostAccess(Camera::HostAccess::Granted);
        SearchTick();  // the timer is stopped; a stray tick does nothing
        QVERIFY(!Camera().Connected);
    }

    // Échap ends the pauses between the connection attempts, and a click on
    // the shutter (or Échap) the self-timer's countdown: nothing is taken.
    void waitsCanBeCancelled() {
        cam.setStateNoticeDelay(60s);
        pressLater(300, Qt::Key_Escape);
        QElapsedTimer clock;
        clock.start();
        clickConnect();
        QVERIFY2(clock.elapsed() < 2500, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(!Camera().Connected && !Searching());
        QCOMPARE(infoConnect(), QStringLiteral("APN non connecté"));
        QCOMPARE(status(), QStringLiteral("Connexion annulée."));
        QVERIFY(!cam.snapshot().sessionOpen);

        cam.setStateNoticeDelay(0ms);
        QVERIFY(ConnectWithoutLiveView());
        ChooseItem("MonoMultiVue", 5);
        get<QLineEdit>("RetDecl")->setText(QStringLiteral("10"));
        ChooseItem("MonoMultiVue", 5);
        QCOMPARE(Shutter().SelfTimerDelay, 10);
        QTimer::singleShot(300, base, [this] {
            QVERIFY(status().startsWith(QStringLiteral("Retardateur : déclenchement dans 10 s")));
            QTest::mousePress(get<QWidget>("PriseVue"), Qt::LeftButton);
        });
        clock.restart();
        shoot();
        QVERIFY(clock.elapsed() < 2000);
        QCOMPARE(captures(), size_t{0});
        QCOMPARE(status(), QStringLiteral("Retardateur annulé : aucune photo prise."));
        pressLater(300, Qt::Key_Escape);
        shoot();
        QCOMPARE(captures(), size_t{0});
    }

    // The camera unplugged during the countdown: the shot is said to be cut
    // off until the camera is back.
    void selfTimerCutOffByAnUnplug() {
        QVERIFY(ConnectWithoutLiveView());
        ChooseItem("MonoMultiVue", 5);
        QTimer::singleShot(300, base, [this] { cam.unplug(); });
        shoot();
        QCOMPARE(captures(), size_t{0});
        QCOMPARE(status(), QStringLiteral("Retardateur interrompu : l'APN a été débranché, aucune "
                                          "photo prise."));
        QTRY_VERIFY(Searching());
        QVERIFY(statusDetails().contains(QStringLiteral("Retardateur interrompu")));
        cam.replug();
        SearchTick();
        QVERIFY(Camera().Connected);
        QVERIFY(!statusDetails().contains(QStringLiteral("Retardateur interrompu")));
    }

    // A finished run of 3 shows "3" and gives the live view back; a run cut
    // short by a disconnect says so, and the live view comes back with the
    // next connection.
    void intervalRunGivesTheLiveViewBack() {
        uint32_t nowMs = 1'000'000;
        SetTickSource([&nowMs] { return nowMs; });
        QVERIFY(ConnectWithoutLiveView());
        {  // checked without starting the live view inside this call
            const QSignalBlocker quiet(get<QCheckBox>("PreVisuActif"));
            get<QCheckBox>("PreVisuActif")->setChecked(true);
        }
        get<QLineEdit>("eNbImgT")->setText(QStringLiteral("3"));
        get<QLineEdit>("eInterImg")->setText(QStringLiteral("5"));
        ChooseItem("MonoMultiVue", 2);  // reads the boxes
        QTest::mouseClick(get<QPushButton>("SeqInterV"), Qt::LeftButton);
        QVERIFY(!get<QCheckBox>("PreVisuActif")->isChecked());
        for (int shot = 0; shot < 3; ++shot) {
            IdleRefresh();
            nowMs += 5000;
        }
        QCOMPARE(Interval().IntervalStart, 0u);
        QCOMPARE(captures(), size_t{3});
        QCOMPARE(get<QLineEdit>("eNbImgP")->text(), QStringLiteral("3"));
        QVERIFY(liveViewComesBack());
        QCOMPARE(get<QLineEdit>("eNbImgP")->text(), QStringLiteral("3"));

        {
            const QSignalBlocker quiet(get<QCheckBox>("PreVisuActif"));
            get<QCheckBox>("PreVisuActif")->setChecked(true);
        }
        QTest::mouseClick(get<QPushButton>("SeqInterV"), Qt::LeftButton);
        IdleRefresh();
        clickConnect();  // disconnects: the run stops after one shot
        QVERIFY(!Camera().Connected);
        QCOMPARE(get<QLineEdit>("eNbImgP")->text(), QStringLiteral("1"));
        QCOMPARE(status(), QStringLiteral("Séquence d'intervalles arrêtée après 1 prise(s) sur "
                                          "3 : l'APN a été déconnecté."));
        QTRY_VERIFY(get<QCheckBox>("PreVisuActif")->isChecked());
        QVERIFY(!Live().LiveViewOn);
        bool ran = false;
        QTimer probe;  // the connection's click runs the live view inside it
        probe.setInterval(10);
        connect(&probe, &QTimer::timeout, this, [&] {
            if (Live().LiveViewOn) {
                ran = true;
                get<QCheckBox>("PreVisuActif")->setChecked(false);
            }
        });
        probe.start();
        clickConnect();
        QVERIFY(Camera().Connected);
        QVERIFY(ran);
    }

    // The greyed shutter-speed and aperture lists of the program mode and
    // the sound lists show the camera's values; the depth-of-field boxes say
    // nothing under autofocus.
    void listsFollowTheCamera() {
        cam.setParameter(kPShutterSound, 1);
        cam.setParameter(kPInfocusSound, 2);
        QVERIFY(ConnectWithoutLiveView());
        IdleRefresh();
        QCOMPARE(get<QComboBox>("SonDecl")->currentIndex(), 1);
        QCOMPARE(get<QComboBox>("SonMap")->currentIndex(), 2);
        QVERIFY(!get<QWidget>("VitAPN")->isEnabled());
        QVERIFY(!get<QWidget>("OuvAPN")->isEnabled());
        QCOMPARE(get<QComboBox>("VitAPN")->currentIndex(), Camera().Status.shutterSpeed - 1);
        QCOMPARE(get<QComboBox>("OuvAPN")->currentIndex(), Camera().Status.aperture);
        get<QLineEdit>("eDProc")->setText(QStringLiteral("1,2"));
        IdleRefresh();
        QCOMPARE(get<QLineEdit>("eDProc")->text(), QString());
    }
};

QTEST_MAIN(TestCameraFollow)
#include "test_camera_follow.moc"
