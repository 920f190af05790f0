// The window against the simulated camera: connecting (four attempts),
// the settings pushed on connection in their order, the error indicator
// while connected, the exposure handlers on the wire, and disconnecting.
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QtWidgets>

#include <utility>
#include <vector>

#include "CameraWindowTest.h"
#include "SimLog.h"
#include "orkasim.h"

using namespace std::chrono_literals;
using namespace simlog;

namespace {

constexpr uint16_t kEndLV = 0x1009;
constexpr uint16_t kClose = 0x1002;

// Every command the host sent, in order.
std::vector<orkasim::LogEntry> HostCommands() {
    std::vector<orkasim::LogEntry> out;
    for (auto& e : orkasim::Camera::instance().log())
        if (e.direction == orkasim::Direction::HostToCamera)
            out.push_back(std::move(e));
    return out;
}

// A choice of the user in a list.
void Choose(QComboBox* box, int entry) {
    box->setCurrentIndex(entry);
    Q_EMIT box->activated(entry);
}

}  // namespace

class TestConnection : public TCameraWindowTest {
    Q_OBJECT

    void clickConnect() { QTest::mouseClick(get<QToolButton>("ConnectAPN"), Qt::LeftButton); }
    QString infoConnect() { return get<QLabel>("InfoConnect")->text(); }

  private Q_SLOTS:
    void initTestCase() {
        QLocale::setDefault(QLocale::French);
        QVERIFY(images.isValid());
    }
    void init() {
        QVERIFY(OpenCameraWindow([this] {
            // The live view would run inside the connection's click: unchecking
            // the box first makes the connection leave it off.
            get<QCheckBox>("PreVisuActif")->setChecked(false);
        }));
    }
    void cleanup() {
        const std::string errors = CloseWindow();
        QVERIFY2(errors.empty(), errors.c_str());
    }

    // The camera is ready only after 2.5 s: three pauses of one second, and
    // the fourth attempt enters PC-control mode.
    void connectsAtTheFourthAttempt() {
        cam.setStateNoticeDelay(2500ms);
        auto* seen = new TPaintedTexts(get<QLabel>("InfoStatut"));
        QElapsedTimer clock;
        clock.start();
        clickConnect();
        QVERIFY2(clock.elapsed() >= 3000, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(clock.elapsed() < 4500);
        QVERIFY(Camera().Connected);
        QCOMPARE(infoConnect(), QStringLiteral("APN connecté"));
        QVERIFY(get<QToolButton>("ConnectAPN")->isChecked());
        QVERIFY(get<QWidget>("MonoMultiVue")->isEnabled());
        QCOMPARE(get<QLabel>("InfoErreur")->text(), QStringLiteral("O"));
        QCOMPARE(Camera().ErrorLatch, uint8_t{0});  // the failed attempts are forgotten
        for (int n = 1; n <= 4; ++n)  // each attempt said while the window took no input
            QVERIFY2(seen->texts.contains(
                         QStringLiteral("Essai de connexion … (%1/4) — Échap pour annuler").arg(n)),
                     qPrintable(seen->texts.join(" | ")));
        QVERIFY(std::memcmp(&Camera().Status, &Camera().StatusAtConnect, sizeof Camera().Status) ==
                0);
        QCOMPARE(Readout().ShownBattery, -1);
        QVERIFY(cam.snapshot().liveView);

        // Disconnecting leaves PC-control mode and closes the session.
        cam.clearLog();
        clickConnect();
        QVERIFY(!Camera().Connected);
        QCOMPARE(infoConnect(), QStringLiteral("APN non connecté"));
        QVERIFY(!get<QToolButton>("ConnectAPN")->isChecked());
        QVERIFY(!get<QWidget>("MonoMultiVue")->isEnabled());
        const auto sent = HostCommands();
        QVERIFY(sent.size() >= 2);
        QCOMPARE(sent[sent.size() - 2].code, kEndLV);
        QCOMPARE(sent.back().code, kClose);
        QVERIFY(!cam.snapshot().sessionOpen);
    }

    // A camera that never gets ready: four attempts, then the window says so
    // and releases the button; the session is closed again.
    void failsAfterFourAttempts() {
        cam.setStateNoticeDelay(60s);
        QElapsedTimer clock;
        clock.start();
        clickConnect();
        QVERIFY(clock.elapsed() >= 3000 && clock.elapsed() < 4500);
        QVERIFY(!Camera().Connected);
        QCOMPARE(infoConnect(), QStringLiteral("Echec de la connexion"));
        QVERIFY(!get<QToolButton>("ConnectAPN")->isChecked());
        QVERIFY(!get<QWidget>("MonoMultiVue")->isEnabled());
        QCOMPARE(get<QLabel>("InfoErreur")->text(), QStringLiteral("O"));
        QVERIFY(!cam.snapshot().sessionOpen);
        QVERIFY(SentSettings().empty());
    }

    // Every setting the window shows reaches the camera, in this order.
    void pushesEverySettingInOrder() {
        clickConnect();
        QVERIFY(Camera().Connected);
        const std::vector<Setting> expected = {
            {53, 3},          // entering PC-control mode
            {4, 5},           // quality "Très fin"
            {3, 0},           // size 3264 x 2448
            {7, 4},           // "Auto ISO"
            {0, 0},           // "Mode Programme"
            {8, 104},         // 1/160 s (shutter index 37)
            {9, 48},          // F/5,6
            {6, 2},           // spot metering
            {15, 6},          // exposure compensation 0
            {31, 6},          // flash compensation 0
            {1, 0},           // "Flash normal"
            {55, 1},          // "Pre-flash TTL"
            {2, 0x00800000},  // white balance "Automatique"
            {47, 5},          // contrast 0
            {46, 5},          // saturation 0
            {56, 1},          // sharpness "Normale"
            {29, 0},          // colour mode "Naturel sRVB"
            {77, 5},          // colour filter 0
            {16, 0},          // no after-view
            {25, 0},          // scene selection
            {10, 0},          // autofocus
            {5, 0},           // single-shot drive mode, from the mode selection
        };
        QCOMPARE(SentSettings(), expected);
        QCOMPARE(Focus().FocalLength, 50);
        QCOMPARE(get<QLineEdit>("eDFoc")->text(), QStringLiteral("50"));
        QVERIFY(Live().LiveInfo.width > 0);
    }

    // A setting the camera refuses during the push: the window is connected
    // all the same and shows the latched failure.
    void refusedSettingShowsX() {
        // The library refuses a directory name this long.
        get<QLineEdit>("NomRep")->setText(images.path() + QLatin1Char('/') + QString(300, 'd'));
        clickConnect();
        QVERIFY(Camera().Connected);
        QCOMPARE(infoConnect(), QStringLiteral("APN connecté"));
        QVERIFY(get<QToolButton>("ConnectAPN")->isChecked());
        QCOMPARE(get<QLabel>("InfoErreur")->text(), QStringLiteral("X"));
        QTest::mouseClick(get<QLabel>("InfoErreur"), Qt::LeftButton);
        QCOMPARE(get<QLabel>("InfoErreur")->text(), QStringLiteral("O"));
    }

    // Connected, each result refreshes the status record; a failure latches
    // "X" until the user clears it, successes do not.
    void checkResultWhileConnected() {
        clickConnect();
        QVERIFY(Camera().Connected);
        cam.changeParameter(37, 1);  // the battery runs down to half
        QTRY_VERIFY([&] {
            CheckResult(0);
            return Camera().Status.battery == 1;
        }());
        IdleRefresh();
        QCOMPARE(get<QLabel>("ImgBatt")->pixmap().toImage(), Glyphs()[TBase::gBattDemi].toImage());

        cam.failOperation(kSetCamStat, 1);
        Choose(get<QComboBox>("QualImg"), 0);
        QCOMPARE(Camera().LastResult, 1);
        QCOMPARE(get<QLabel>("InfoErreur")->text(), QStringLiteral("X"));
        cam.failOperation(kSetCamStat, 0);
        Choose(get<QComboBox>("QualImg"), 1);
        QCOMPARE(Camera().LastResult, 0);
        QCOMPARE(get<QLabel>("InfoErreur")->text(), QStringLiteral("X"));
        QCOMPARE(get<QComboBox>("QualImg")->currentIndex(), 1);
    }

    // Connected, the first failure latches "X" until the user clicks the
    // error panel or the battery panel; later successes do not clear it.
    void failureWhileConnectedLatchesX() {
        QVERIFY(ConnectWithoutLiveView());
        CheckResult(0);
        QVERIFY(get<QLabel>("InfoErreur")->text() != QStringLiteral("X"));
        CheckResult(2);  // (4, "no camera", would also leave the connection)
        QCOMPARE(get<QLabel>("InfoErreur")->text(), QStringLiteral("X"));
        CheckResult(0);
        QCOMPARE(Camera().LastResult, 0);
        QCOMPARE(get<QLabel>("InfoErreur")->text(), QStringLiteral("X"));

        QTest::mouseClick(get<QLabel>("InfoErreur"), Qt::LeftButton);
        QCOMPARE(Camera().ErrorLatch, uint8_t{0});
        QCOMPARE(get<QLabel>("InfoErreur")->text(), QStringLiteral("O"));

        CheckResult(1);
        QCOMPARE(get<QLabel>("InfoErreur")->text(), QStringLiteral("X"));
        QTest::mouseClick(get<QLabel>("InfoBatterie"), Qt::LeftButton);
        QCOMPARE(Camera().ErrorLatch, uint8_t{0});
        QCOMPARE(get<QLabel>("InfoErreur")->text(), QStringLiteral("O"));
        QTest::mouseClick(get<QLabel>("InfoBatterie"), Qt::RightButton);
        QCOMPARE(get<QLabel>("InfoErreur")->text(), QStringLiteral("O"));
    }

    // The exposure program sends itself, then the values its mode uses.
    void exposureProgramOnTheWire() {
        clickConnect();
        auto* mode = get<QComboBox>("ModeAPN");
        const std::pair<int, std::vector<Setting>> cases[] = {
            {2, {{0, 2}, {8, 104}}},           // shutter priority: program, speed
            {3, {{0, 3}, {8, 104}, {9, 48}}},  // manual: program, speed, aperture
            {1, {{0, 1}, {9, 48}}},            // aperture priority: program, aperture
            {0, {{0, 0}}},                     // programme: the program alone
        };
        for (const auto& [entry, expected] : cases) {
            cam.clearLog();
            Choose(mode, entry);
            QCOMPARE(SentSettings(), expected);
        }
        QVERIFY(!get<QComboBox>("VitAPN")->isEnabled());
        QVERIFY(!get<QComboBox>("OuvAPN")->isEnabled());
    }

    void listsSendTheirValues_data() {
        QTest::addColumn<QString>("list");
        QTest::addColumn<int>("entry");
        QTest::addColumn<QList<int>>("wire");  // parameter, value, ...
        QTest::newRow("RAW & JPEG") << "QualImg" << 1 << QList<int>{4, 6};
        QTest::newRow("2560 x 1920") << "DefImg" << 2 << QList<int>{3, 7};
        QTest::newRow("64 ISO") << "ISOImg" << 1 << QList<int>{7, 5};
        QTest::newRow("centre-weighted") << "MesAPN" << 1 << QList<int>{6, 1};
        QTest::newRow("1,6 s") << "VitAPN" << 12 << QList<int>{8, 40};
        QTest::newRow("1/2000") << "VitAPN" << 47 << QList<int>{8, 133};
        QTest::newRow("F/11") << "OuvAPN" << 12 << QList<int>{9, 64};
        QTest::newRow("-2,0 EV") << "CompExp" << 0 << QList<int>{15, 0};
        QTest::newRow("+1,0 EV flash") << "CompFlash" << 9 << QList<int>{31, 9};
        QTest::newRow("rear curtain") << "MFlashAPN" << 2 << QList<int>{1, 2};
        QTest::newRow("1/8 power") << "CFlashAPN" << 5 << QList<int>{86, 3, 55, 2};
        QTest::newRow("distance") << "CFlashAPN" << 0 << QList<int>{55, 0};
    }
    void listsSendTheirValues() {
        QFETCH(QString, list);
        QFETCH(int, entry);
        QFETCH(QList<int>, wire);
        clickConnect();
        cam.clearLog();
        Choose(base->findChild<QComboBox*>(list), entry);
        std::vector<Setting> expected;
        for (int i = 0; i + 1 < wire.size(); i += 2)
            expected.emplace_back(wire[i], wire[i + 1]);
        QCOMPARE(SentSettings(), expected);
        QCOMPARE(Camera().LastResult, 0);
    }
};

QTEST_MAIN(TestConnection)
#include "test_connection.moc"
