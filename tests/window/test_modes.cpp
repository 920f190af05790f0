// The choice of a shooting mode against the simulated camera: the calls on
// the wire in their order, the window caption, the mode's box, the after-view
// check box, and the sequences a new choice stops.
#include <QTemporaryDir>
#include <QTest>
#include <QtWidgets>

#include <algorithm>
#include <utility>
#include <vector>

#include "CameraWindowTest.h"
#include "NumericEdit.h"
#include "ProgDH.h"
#include "ProgDHWidgets.h"
#include "RadioGroup.h"
#include "SimLog.h"
#include "orkasim.h"

namespace {

using namespace simlog;

constexpr uint16_t kCapture = 0x1006;
constexpr uint16_t kTerminateCapture = 0x1007;
constexpr int kDriveModeParam = 5;
constexpr int kBracketStepParam = 17;

// Drive-mode and bracket-step changes the host sent, in order.
std::vector<Setting> SentModeSettings() {
    std::vector<Setting> out;
    for (const Setting& s : SentSettings())
        if (s.first == kDriveModeParam || s.first == kBracketStepParam)
            out.push_back(s);
    return out;
}

// Operation codes the host sent, in order.
std::vector<uint16_t> SentCodes() {
    std::vector<uint16_t> out;
    for (const auto& e : orkasim::Camera::instance().log())
        if (e.direction == orkasim::Direction::HostToCamera)
            out.push_back(e.code);
    return out;
}

}  // namespace

class TestModes : public TCameraWindowTest {
    Q_OBJECT

    void choose(int mode) {
        QTest::mouseClick(get<TRadioGroup>("MonoMultiVue")->item(mode), Qt::LeftButton);
        QCOMPARE(get<TRadioGroup>("MonoMultiVue")->itemIndex(), mode);
    }

  private Q_SLOTS:
    void initTestCase() {
        QLocale::setDefault(QLocale::French);
        QVERIFY(images.isValid());
    }
    void init() {
        QVERIFY(OpenCameraWindow());
        QVERIFY(ConnectWithoutLiveView());
        get<QTabWidget>("CommandeAPN")->setCurrentIndex(2);
        cam.clearLog();
    }
    void cleanup() {
        const std::string errors = CloseWindow();
        QVERIFY2(errors.empty(), errors.c_str());
    }

    // Each mode: its camera calls in order, its caption, the one box shown
    // at top 120, and the after-view box available in mode 0 only.
    void everyMode_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QList<int>>("wire");  // drive mode, then bracket step if sent
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("box");
        QTest::newRow("0") << 0 << QList<int>{0}
                           << QString("PC <--> Orka         en mode de Prise de vue unique")
                           << QString("");
        QTest::newRow("1") << 1 << QList<int>{3, 0}
                           << QString("PC <--> Orka         en mode Séquence décalée de ± 0,3")
                           << QString("");
        QTest::newRow("2") << 2 << QList<int>{0}
                           << QString("PC <--> Orka         en mode Intervallomètre")
                           << QString("ModeIntervalle");
        QTest::newRow("3") << 3 << QList<int>{0}
                           << QString("PC <--> Orka         en mode Déclenchement sur évènement")
                           << QString("ClicSurEvent");
        QTest::newRow("4") << 4 << QList<int>{3, 1}
                           << QString("PC <--> Orka         en mode Séquence décalée de ± 0,5")
                           << QString("");
        QTest::newRow("5") << 5 << QList<int>{0}
                           << QString("PC <--> Orka         en mode Retardateur")
                           << QString("Retardateur");
        QTest::newRow("6") << 6 << QList<int>{0}
                           << QString("PC <--> Orka    en mode Séquence Vidéo")
                           << QString("SequenceVideo");
    }
    void everyMode() {
        QFETCH(int, mode);
        QFETCH(QList<int>, wire);
        QFETCH(QString, caption);
        QFETCH(QString, box);
        auto* postVisu = get<QCheckBox>("PostVisuActif");
        postVisu->setChecked(true);
        choose(mode);

        std::vector<Setting> expected{{kDriveModeParam, wire[0]}};
        if (wire.size() > 1)
            expected.emplace_back(kBracketStepParam, wire[1]);
        QVERIFY(SentModeSettings() == expected);
        QCOMPARE(cam.parameter(kDriveModeParam), wire[0]);
        QCOMPARE(Camera().Status.driveMode, wire[0]);
        QCOMPARE(base->windowTitle(), caption);
        for (const char* name :
             {"ModeIntervalle", "ClicSurEvent", "Retardateur", "SequenceVideo"}) {
            auto* group = get<QGroupBox>(name);
            QCOMPARE(!group->isHidden(), box == QLatin1String(name));
            if (!group->isHidden())
                QCOMPARE(group->y(), 120);
        }
        QCOMPARE(postVisu->isEnabled(), mode == 0);
        QCOMPARE(Shutter().AfterViewOn, mode == 0);
        QCOMPARE(get<QLabel>("InfoErreur")->text(), QStringLiteral("O"));
    }

    // The boxes of the mode are reset by its choice; the self-timer and the
    // intervalometer read theirs.
    void boxesAreResetAndRead() {
        get<QLineEdit>("RetDecl")->setText(QStringLiteral("7"));
        choose(5);
        QCOMPARE(Shutter().SelfTimerDelay, 7);

        get<QLineEdit>("eDepImg")->setText(QStringLiteral("5"));
        get<QLineEdit>("eNbImgT")->setText(QStringLiteral("12"));
        get<QLineEdit>("eInterImg")->setText(QStringLiteral("30"));
        choose(2);
        QCOMPARE(get<QLineEdit>("eDepImg")->text(), QStringLiteral("0"));
        QCOMPARE(get<QLineEdit>("eNbImgP")->text(), QStringLiteral("0"));
        QCOMPARE(Interval().IntervalTotal, 12);
        QCOMPARE(Interval().IntervalSeconds, 30);
        QCOMPARE(Interval().IntervalDelay, 0);

        get<QLineEdit>("eDureeVideo")->setText(QStringLiteral("15"));
        get<QLineEdit>("eDepVideo")->setText(QStringLiteral("1"));
        get<QLineEdit>("eDepVideo")->findChild<orka::TNumericEdit*>()->validateNow();
        QCOMPARE(Video().VideoDelay, 60000);
        choose(6);
        QCOMPARE(get<QLineEdit>("eDureeVideo")->text(), QStringLiteral("0"));
        QCOMPARE(get<QLineEdit>("eDepVideo")->text(), QStringLiteral("0"));
        QCOMPARE(Video().VideoDuration, 0);
        QCOMPARE(Video().VideoDelay, 0);
    }

    // A new choice, the same mode included, stops what was running.
    void choosingStopsRunningSequences() {
        choose(2);
        QTest::mouseClick(get<QPushButton>("SeqInterV"), Qt::LeftButton);
        QVERIFY(Interval().IntervalStart != 0);
        QCOMPARE(get<QPushButton>("SeqInterV")->text(), QStringLiteral("Stopper la séquence"));
        QVERIFY(get<QLineEdit>("eNbImgT")->isReadOnly());
        IdleRefresh();  // the first shot, due at once
        QCOMPARE(Interval().IntervalShots, 1);
        QCOMPARE(get<QLineEdit>("eNbImgP")->text(), QStringLiteral("1"));
        choose(2);
        QCOMPARE(Interval().IntervalStart, 0u);
        QCOMPARE(get<QLineEdit>("eNbImgP")->text(), QStringLiteral("0"));
        QVERIFY(!get<QPushButton>("SeqInterV")->isChecked());
        QCOMPARE(get<QPushButton>("SeqInterV")->text(), QStringLiteral("Lancer la séquence"));
        QVERIFY(!get<QLineEdit>("eNbImgT")->isReadOnly());

        choose(6);
        {  // the box checked without starting the live view inside the click
            const QSignalBlocker quiet(get<QCheckBox>("PreVisuActif"));
            get<QCheckBox>("PreVisuActif")->setChecked(true);
        }
        QTest::mouseClick(get<QPushButton>("SeqVideo"), Qt::LeftButton);
        QVERIFY(Video().VideoStart != 0);
        QVERIFY(Video().VideoCompressor);
        QVERIFY(!get<QWidget>("DimPreView")->isEnabled());
        const QString file = Video().VideoFileName;
        choose(0);
        QCOMPARE(Video().VideoStart, 0u);
        QVERIFY(!Video().VideoCompressor);
        QVERIFY(get<QWidget>("DimPreView")->isEnabled());
        QCOMPARE(get<QPushButton>("SeqVideo")->text(), QStringLiteral("Lancer la séquence"));
        QVERIFY(QFileInfo::exists(file));

        // Detection: rectangle, button down, beep checked; another mode
        // clears them all.
        choose(3);
        DragOnPreview(20, 20, 80, 60);
        QTest::mouseClick(get<QPushButton>("DetectEvent"), Qt::LeftButton);
        get<QCheckBox>("BeepDecl")->setChecked(true);
        get<QSlider>("Seuil")->setValue(80);
        QCOMPARE(get<QPushButton>("DetectEvent")->text(),
                 QStringLiteral("Désactiver la détection"));
        choose(1);
        QVERIFY(!get<QPushButton>("DetectEvent")->isChecked());
        QVERIFY(!get<QPushButton>("DetectEvent")->isEnabled());
        QCOMPARE(get<QPushButton>("DetectEvent")->text(), QStringLiteral("Activer la détection"));
        QVERIFY(!get<QCheckBox>("BeepDecl")->isChecked());
        QCOMPARE(get<QLabel>("lbSeuil")->text(), QStringLiteral("50 %"));
        QCOMPARE(Motion().RoiEditor.Size, QSize(0, 0));
        QCOMPARE(Motion().Detector.Rectangle().width(), 0);
    }

    // A change inside the rectangle releases the shutter inside a slot of
    // the schedule in force, and not outside it.
    void motionCaptureInsideScheduleSlot() {
        TParamPgm* dialog = ParamPgm();
        QDateTime now(QDate(2024, 3, 14), QTime(9, 0));
        dialog->SetClock([&now] { return now; });
        QTest::mouseClick(Button(*dialog, "NouvDate"), Qt::LeftButton);
        DatePicker(*dialog)->setDate(now.date());
        QTest::mouseClick(Button(*dialog, "NouvDate"), Qt::LeftButton);
        QTest::mouseClick(Button(*dialog, "NouvHeure"), Qt::LeftButton);
        TimePicker(*dialog)->setTime(QTime(10, 0));
        QTest::mouseClick(Button(*dialog, "NouvHeure"), Qt::LeftButton);
        TimePicker(*dialog)->setTime(QTime(11, 0));
        QTest::mouseClick(Button(*dialog, "NouvHeure"), Qt::LeftButton);
        dialog->ValiderClick();
        dialog->TimerTimer();

        choose(3);
        DragOnPreview(100, 100, 103, 106);
        QTest::mouseClick(get<QPushButton>("DetectEvent"), Qt::LeftButton);
        // The upper block stays dark, the lower one jumps by 900.
        const auto frame = [this](int32_t lower) {
            std::vector<int32_t> luma(18, 0);
            std::fill(luma.begin() + 9, luma.end(), lower);
            MotionFrame(luma);
        };
        cam.clearLog();
        frame(0);
        frame(0);
        frame(100);  // outside the slot: measured, not released
        QCOMPARE(get<QProgressBar>("AffdImg")->value(), 100);
        for (int i = 0; i < 5; ++i)
            frame(100);
        QVERIFY(!Motion().Detector.JustTriggered());
        const auto before = SentCodes();
        QCOMPARE(std::count(before.begin(), before.end(), kCapture), 0);

        const auto files = [this] { return QDir(images.path()).entryList(QDir::Files).size(); };
        const qsizetype filesBefore = files();
        now.setTime(QTime(10, 30));
        dialog->TimerTimer();
        frame(200);
        QVERIFY(Motion().Detector.JustTriggered());
        const auto codes = SentCodes();
        const auto capture = std::find(codes.begin(), codes.end(), kCapture);
        QVERIFY(capture != codes.end());
        QVERIFY(std::find(capture, codes.end(), kTerminateCapture) != codes.end());
        QCOMPARE(Camera().LastResult, 0);
        QCOMPARE(std::count(codes.begin(), codes.end(), kCapture), 1);
        // The picture lands in the image folder.
        QTRY_COMPARE_WITH_TIMEOUT(files(), filesBefore + 1, 10000);
    }

    // Two shots 5 s apart on the window's own clock: the first at the next
    // tick, the second 5 s later, both pictures on disk, then the sequence
    // ends by itself.
    void twoShotIntervalometerRun() {
        choose(2);
        for (auto [box, value] :
             {std::pair("eNbImgT", "2"), std::pair("eInterImg", "5"), std::pair("eDepImg", "0")}) {
            get<QLineEdit>(box)->setText(QString::fromLatin1(value));
            get<QLineEdit>(box)->findChild<orka::TNumericEdit*>()->validateNow();
        }
        const auto files = [this] { return QDir(images.path()).entryList(QDir::Files).size(); };
        const qsizetype before = files();
        QElapsedTimer clock;
        clock.start();
        QTest::mouseClick(get<QPushButton>("SeqInterV"), Qt::LeftButton);
        QVERIFY(Interval().IntervalStart != 0);
        QTRY_VERIFY_WITH_TIMEOUT(Interval().IntervalStart == 0, 15000);
        // The schedule counts whole seconds from the start.
        QVERIFY2(clock.elapsed() >= 4000, qPrintable(QString::number(clock.elapsed())));
        const auto codes = SentCodes();
        QCOMPARE(std::count(codes.begin(), codes.end(), kCapture), 2);
        QTRY_COMPARE_WITH_TIMEOUT(files(), before + 2, 10000);
        QCOMPARE(get<QPushButton>("SeqInterV")->text(), QStringLiteral("Lancer la séquence"));
    }

    // Disconnecting goes back to mode 0 and runs its selection.
    void disconnectingChoosesSingleShot() {
        choose(4);
        QTest::mouseClick(get<QToolButton>("ConnectAPN"), Qt::LeftButton);
        QVERIFY(!Camera().Connected);
        QCOMPARE(get<TRadioGroup>("MonoMultiVue")->itemIndex(), 0);
        QCOMPARE(base->windowTitle(),
                 QStringLiteral("PC <--> Orka         en mode de Prise de vue unique"));
        QVERIFY(get<QCheckBox>("PostVisuActif")->isEnabled());
    }
};

QTEST_MAIN(TestModes)
#include "test_modes.moc"
