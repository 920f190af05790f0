// Configuration templates through the window, against the simulated camera:
// what a saved file holds, what loading one applies and shows, the messages
// of a bad file, the live view around a load, and "Modèle par défaut".
#include <QTemporaryDir>
#include <QTest>
#include <QtWidgets>

#include <cstring>

#include "CameraWindowTest.h"
#include "FchConf.h"
#include "RadioGroup.h"
#include "SimLog.h"

using namespace simlog;
using Kind = TEventPump::MessageKind;

namespace {

constexpr int kImageSizeParam = 3;

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

}  // namespace

class TestTemplates : public TCameraWindowTest {
    Q_OBJECT

    QTemporaryDir dir;
    QString chosen;  // the file the dialogs return; empty = cancel
    QList<std::pair<Kind, QString>> messages;

    QString modCour() { return get<QLineEdit>("ModCour")->text(); }
    bool modDefaut() { return get<QCheckBox>("ModDefaut")->isChecked(); }
    // Connected with the live view stopped; "Prévisualisation active" is
    // then checked again without starting it (or left unchecked), so that a
    // load has a box to follow.
    void connectCamera(bool boxChecked = false) {
        QVERIFY(ConnectWithoutLiveView());
        auto* box = get<QCheckBox>("PreVisuActif");
        const QSignalBlocker quiet(box);
        box->setChecked(boxChecked);
        QTest::mouseClick(get<QLabel>("InfoErreur"),
                          Qt::LeftButton);  // what the connection latched is not under test
        cam.clearLog();
    }
    // The settings at connection with the exposure, flash and sound settings
    // changed: a template a user could have saved.
    CameraStatusData changedSettings() {
        CameraStatusData r = Camera().StatusAtConnect;
        r.imageSize = 7;        // 2560 x 1920
        r.imageQuality = 2;     // "Fin"
        r.exposureProgram = 3;  // manual: shutter and aperture are sent
        r.shutterSpeed = 30;    // "1/8"
        r.aperture = 9;         // F/8
        r.flashMode = 2;        // rear curtain
        r.meteringMode = 1;     // centre-weighted
        r.sensitivity = 2;      // 400 ISO
        r.exposureCompensation = 9;
        r.flashCompensation = 3;
        r.infocusSound = 1;
        r.shutterSound = 2;
        return r;
    }
    QString templateFile(const char* name, const CameraStatusData& settings) {
        const QString path = dir.filePath(QLatin1String(name));
        WriteFile(path, orka::EncodeTemplate(settings));
        return path;
    }
    // Loads `path`; reports whether the live view ran right after the load,
    // stopping it if so (a real live-view loop runs until stopped).
    bool load(const QString& path) {
        chosen = path;
        bool ranAfter = false, looked = false;
        QTimer::singleShot(0, base, [&] {
            ranAfter = Live().LiveViewOn;
            looked = true;
            StopLiveView();
        });
        QTest::mouseClick(get<QPushButton>("OuvrModele"), Qt::LeftButton);
        [&] { QTRY_VERIFY(looked); }();
        return ranAfter;
    }

  private Q_SLOTS:
    void initTestCase() {
        QLocale::setDefault(QLocale::French);
        QVERIFY(dir.isValid());
    }
    void init() {
        QVERIFY(OpenCameraWindow([this] {
            chosen.clear();
            messages.clear();
            DialogHooks().ChooseTemplateToSave = [this] { return chosen; };
            DialogHooks().ChooseTemplateToOpen = [this] { return chosen; };
            DialogHooks().ShowMessage = [this](Kind kind, const QString& text) {
                messages << std::pair(kind, text);
            };
        }));
    }
    void cleanup() {
        const std::string errors = CloseWindow();
        QVERIFY2(errors.empty(), errors.c_str());
    }

    // The saved file is the signature and the window's status record, every
    // field in place; saving changes neither ModCour nor ModDefaut.
    void savedFileHoldsTheStatusRecord() {
        // The window's record: without a camera, the record it last applied.
        CameraStatusData record{};
        for (int i = 0; i < orka::kStatusFieldCount; ++i)
            orka::SetStatusField(record, i, int32_t(0x80000001u + uint32_t(i) * 0x01020304u));
        uint8_t restore = 0;
        ApplySettingsRecord(record, restore);
        QVERIFY(std::memcmp(&Camera().Status, &record, sizeof record) == 0);
        chosen = dir.filePath(QStringLiteral("exact.cfg"));
        QTest::mouseClick(get<QPushButton>("EnrgModele"), Qt::LeftButton);
        QVERIFY(messages.isEmpty());
        QFile file(chosen);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QCOMPARE(bytes.size(), 192);
        QCOMPARE(int(bytes[0]), 21);
        QCOMPARE(bytes.mid(1, 21), QByteArray("Configuration du Orka"));
        QCOMPARE(bytes.mid(22, 14), QByteArray(14, '\0'));
        for (int i = 0; i < orka::kStatusFieldCount; ++i) {
            const uint32_t v = 0x80000001u + uint32_t(i) * 0x01020304u;
            const char expected[4] = {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
            QCOMPARE(bytes.mid(36 + 4 * i, 4), QByteArray(expected, 4));
        }
        QCOMPARE(modCour(), QString());
        QVERIFY(modDefaut());

        // A folder that does not exist: a French error box and no file.
        chosen = dir.filePath(QStringLiteral("absent/x.cfg"));
        QTest::mouseClick(get<QPushButton>("EnrgModele"), Qt::LeftButton);
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages[0].first, Kind::Error);
        QVERIFY(!QFile::exists(chosen));
    }

    // Loading applies the template through the controls; saving again gives
    // the same settings; "Modèle par défaut" brings back the settings at
    // connection, and sends nothing when they are already in force.
    void loadAndBackToTheDefault() {
        connectCamera();
        QCOMPARE(modCour(), QStringLiteral("Configuration par défaut"));
        QVERIFY(modDefaut());
        const CameraStatusData wanted = changedSettings();
        QVERIFY(!load(templateFile("changed.cfg", wanted)));
        QVERIFY(messages.isEmpty());
        QCOMPARE(modCour(), QStringLiteral("changed.cfg"));
        QVERIFY(!modDefaut());
        QCOMPARE(get<QComboBox>("DefImg")->currentText(), QStringLiteral("2560 x 1920"));
        QCOMPARE(get<QComboBox>("ISOImg")->currentText(), QStringLiteral("400 ISO"));
        QCOMPARE(get<QComboBox>("SonDecl")->currentIndex(), 2);
        // The camera took every value: its status reads them back.
        for (int i : {0, 1, 2, 3, 9, 10, 13, 14, 16, 22, 37, 38})
            QVERIFY2(orka::StatusField(Camera().Status, i) == orka::StatusField(wanted, i),
                     qPrintable(QString::number(i)));

        chosen = dir.filePath(QStringLiteral("again.cfg"));
        QTest::mouseClick(get<QPushButton>("EnrgModele"), Qt::LeftButton);
        const orka::TemplateRead again = orka::ReadTemplate(chosen);
        QCOMPARE(again.error, orka::TemplateError::None);
        QVERIFY(std::memcmp(&again.settings, &Camera().Status, sizeof Camera().Status) == 0);

        cam.clearLog();
        QTest::mouseClick(get<QCheckBox>("ModDefaut"), Qt::LeftButton);
        QVERIFY(modDefaut());
        QCOMPARE(modCour(), QStringLiteral("Configuration par défaut"));
        QVERIFY(!SentSettings().empty());
        QVERIFY(orka::SameTemplateFields(Camera().Status, Camera().StatusAtConnect));

        // Nothing changed since: a click sends nothing, even on a checked box.
        cam.clearLog();
        QTest::mouseClick(get<QCheckBox>("ModDefaut"), Qt::LeftButton);
        QVERIFY(modDefaut());
        QVERIFY(SentSettings().empty());
    }

    // Readings such as the battery level or the focus distance are not
    // settings: only the compared fields make "Modèle par défaut" send.
    void defaultComparesSettingsNotReadings() {
        connectCamera();
        // The camera reports a new battery level, focus distance and flash
        // charge; the window reads them with the next status.
        cam.changeParameter(37, 2);
        cam.changeParameter(27, 1234);
        cam.changeParameter(70, 1);
        QTRY_VERIFY([&] {
            CheckResult(0);
            const CameraStatusData& s = Camera().Status;
            return s.battery == 2 && s.focusDistance == 1234 && s.flashCharge == 1;
        }());
        QTest::mouseClick(get<QCheckBox>("ModDefaut"), Qt::LeftButton);
        QVERIFY(SentSettings().empty());

        const int32_t param28 = Camera().StatusAtConnect.param28 + 1;
        cam.changeParameter(28, param28);
        QTRY_VERIFY([&] {
            CheckResult(0);
            return Camera().Status.param28 == param28;
        }());
        QTest::mouseClick(get<QCheckBox>("ModDefaut"), Qt::LeftButton);
        QVERIFY(!SentSettings().empty());
        QCOMPARE(modCour(), QStringLiteral("Configuration par défaut"));
    }

    // The signature: its count must be 21, the rest of its slot is free.
    void signatureRules() {
        connectCamera();
        QByteArray bytes = orka::EncodeTemplate(changedSettings());
        bytes[0] = 19;
        const QString wrongCount = dir.filePath(QStringLiteral("count19.cfg"));
        WriteFile(wrongCount, bytes);
        QVERIFY(!load(wrongCount));
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages[0],
                 std::pair(Kind::Warning, QStringLiteral("Fichier de configuration invalide")));
        QVERIFY(SentSettings().empty());
        QCOMPARE(modCour(), QStringLiteral("Configuration par défaut"));

        bytes = orka::EncodeTemplate(changedSettings());
        for (int i = 22; i < 36; ++i)
            bytes[i] = char(0xA5 + i);
        const QString noisy = dir.filePath(QStringLiteral("noisy.cfg"));
        WriteFile(noisy, bytes);
        load(noisy);
        QCOMPARE(messages.size(), 1);
        QCOMPARE(modCour(), QStringLiteral("noisy.cfg"));
        QVERIFY(!SentSettings().empty());
    }

    // A missing file and a short one apply nothing; the live view runs again
    // after both, as the box asks.
    void missingAndShortFiles() {
        connectCamera(true);
        bool ranAfter = false;
        InsideLiveView([&] { ranAfter = load(dir.filePath(QStringLiteral("nowhere.cfg"))); });
        QVERIFY(ranAfter);
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages[0], std::pair(Kind::Warning, QStringLiteral("Fichier inexistant")));

        const QString shortFile = dir.filePath(QStringLiteral("short.cfg"));
        WriteFile(shortFile, orka::EncodeTemplate(changedSettings()).left(191));
        InsideLiveView([&] { ranAfter = load(shortFile); });
        QVERIFY(ranAfter);
        QCOMPARE(messages.size(), 2);
        QCOMPARE(messages[1],
                 std::pair(Kind::Error, QStringLiteral("Lecture au-delà de la fin de fichier")));
        QVERIFY(SentSettings().empty());
        QCOMPARE(modCour(), QStringLiteral("Configuration par défaut"));
        QVERIFY(modDefaut());

        // Cancelling the dialog does nothing at all.
        bool stillRunning = false;
        InsideLiveView([&] {
            chosen.clear();
            QTest::mouseClick(get<QPushButton>("OuvrModele"), Qt::LeftButton);
            stillRunning = Live().LiveViewOn;
        });
        QVERIFY(stillRunning);
    }

    // After a load the live view runs exactly when "Prévisualisation active"
    // is checked, whatever the low byte of field 35 says and whether it ran
    // before.
    void liveViewFollowsTheBoxAfterALoad_data() {
        QTest::addColumn<int32_t>("param13");
        QTest::addColumn<bool>("runningBefore");
        QTest::addColumn<bool>("boxChecked");
        QTest::newRow("0, was stopped, box checked") << int32_t{0} << false << true;
        QTest::newRow("0x100, was running, box checked") << int32_t{0x100} << true << true;
        QTest::newRow("3, was running, box unchecked") << int32_t{3} << true << false;
        QTest::newRow("3, was stopped, box unchecked") << int32_t{3} << false << false;
    }
    void liveViewFollowsTheBoxAfterALoad() {
        QFETCH(int32_t, param13);
        QFETCH(bool, runningBefore);
        QFETCH(bool, boxChecked);
        connectCamera(boxChecked);
        CameraStatusData r = changedSettings();
        r.param13 = param13;
        const QString file = templateFile("live.cfg", r);
        bool ranAfter = false;
        if (runningBefore)
            InsideLiveView([&] { ranAfter = load(file); });
        else
            ranAfter = load(file);
        QCOMPARE(ranAfter, boxChecked);
        QCOMPARE(Live().LiveViewOn, false);  // stopped by load(), and not marked running after
    }

    // A setting the camera refuses: the template is not in force; the live
    // view still follows the box.
    void refusalWhileApplying() {
        connectCamera(true);
        cam.failOperation(kSetCamStat, 1);
        CameraStatusData r = changedSettings();
        r.param13 = 3;
        bool ranAfter = false;
        InsideLiveView([&] { ranAfter = load(templateFile("refused.cfg", r)); });
        QVERIFY(ranAfter);
        cam.failOperation(kSetCamStat, 0);
        QCOMPARE(modCour(), QStringLiteral("Configuration par défaut"));
        QVERIFY(modDefaut());
        QCOMPARE(get<QLabel>("InfoErreur")->text(), QStringLiteral("X"));
    }

    // An image size the list does not know leaves the list as it is and still
    // sends what it shows; a drive mode of 3 with a 0.5 EV step selects the
    // 0.5 EV bracketing; black and white shows the monochrome filter.
    void applyingUnusualRecords() {
        connectCamera();
        auto* size = get<QComboBox>("DefImg");
        size->setCurrentIndex(3);
        CameraStatusData r = changedSettings();
        r.imageSize = 2;
        r.driveMode = 3;
        r.bracketStep = 1;
        r.colorMode = 1;
        r.colorFilter = 7;
        r.bwFilter = 9;
        uint8_t restore = 0xEE;
        r.param13 = 0x1200;
        ApplySettingsRecord(r, restore);
        QCOMPARE(restore, uint8_t{0});
        QCOMPARE(size->currentIndex(), 3);
        QCOMPARE(SentSettings().front(), (Setting{kImageSizeParam, 6}));  // 2080 x 1560
        QCOMPARE(get<TRadioGroup>("MonoMultiVue")->itemIndex(), 4);
        QCOMPARE(get<QComboBox>("RCouleur")->currentText(), QStringLiteral("Noir et Blanc"));
        QCOMPARE(get<QSlider>("FCoul")->value(), 4);
    }

    // A record from a hostile file, every field at an extreme, moves no list
    // and no track bar (positions are computed without wrapping around).
    void extremeRecordsMoveNothing() {
        connectCamera();
        const int shutter = get<QComboBox>("VitAPN")->currentIndex();
        const int saturation = get<QSlider>("Sat")->value();
        const int contrast = get<QSlider>("Contr")->value();
        const int filter = get<QSlider>("FCoul")->value();
        for (const int32_t extreme : {INT32_MIN, INT32_MAX}) {
            CameraStatusData r{};
            for (int i = 0; i < orka::kStatusFieldCount; ++i)
                orka::SetStatusField(r, i, extreme);
            uint8_t restore = 0;
            ApplySettingsRecord(r, restore);
            QCOMPARE(get<QComboBox>("VitAPN")->currentIndex(), shutter);
            QCOMPARE(get<QSlider>("Sat")->value(), saturation);
            QCOMPARE(get<QSlider>("Contr")->value(), contrast);
            QCOMPARE(get<QSlider>("FCoul")->value(), filter);
        }
    }

    // The return value is the error latch at the end, including a failure
    // latched before the call.
    void returnsTheErrorLatch() {
        connectCamera();
        uint8_t restore = 0;
        QCOMPARE(ApplySettingsRecord(Camera().StatusAtConnect, restore), uint8_t{1});
        CheckResult(1);
        QCOMPARE(ApplySettingsRecord(Camera().StatusAtConnect, restore), uint8_t{0});
    }
};

QTEST_MAIN(TestTemplates)
#include "test_templates.moc"
