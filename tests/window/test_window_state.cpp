// The window's state without a camera: the error indicator's rules, the
// read-outs of the idle refresh, and the exposure program's enabling rules.
#include <QTest>
#include <QtWidgets>

#include <cstring>

#include "NumericEdit.h"
#include "ProgDH.h"
#include "ProgDHWidgets.h"
#include "UtilsOrka.h"
#include "WindowTest.h"

class TestWindowState : public TWindowTest {
    Q_OBJECT

    QString error() { return get<QLabel>("InfoErreur")->text(); }

    // The range check of a numeric box, its message boxes caught in `messages`.
    orka::TNumericEdit* checkOf(QLineEdit* edit) {
        auto* check = edit->findChild<orka::TNumericEdit*>();
        check->setMessageHook([this](QMessageBox::Icon, const QString& text) { messages << text; });
        return check;
    }
    QStringList messages;

  private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale::French); }
    void init() { QVERIFY(OpenWindow()); }
    void cleanup() {
        messages.clear();
        DeleteWindow();
    }

    // Without a connection a failure latches but the panel keeps "O" and the
    // status record is not read.
    void failureWhileDisconnectedShowsO() {
        const CameraStatusData before = Camera().Status;
        QCOMPARE(CheckResult(1), 1);
        QCOMPARE(Camera().LastResult, 1);
        QCOMPARE(Camera().ErrorLatch, uint8_t{1});
        QCOMPARE(error(), QStringLiteral("O"));
        QVERIFY(std::memcmp(&before, &Camera().Status, sizeof before) == 0);
        // A user's change of a setting goes to the library, which refuses it.
        get<QComboBox>("QualImg")->setFocus();
        QTest::keyClick(get<QComboBox>("QualImg"), Qt::Key_Down);
        QCOMPARE(get<QComboBox>("QualImg")->currentText(), QStringLiteral("Fin"));
        QCOMPARE(Camera().LastResult, 1);
        QCOMPARE(error(), QStringLiteral("O"));
    }

    // The flash and macro labels change when the camera's value changes,
    // and are not written again while it stays the same.
    void flashAndMacroFollowChangesOnly() {
        CameraStatusData status{};
        bool connected = false;
        auto* flash = get<QLabel>("lbFLASH");
        auto* gauge = get<QProgressBar>("NivFlash");
        auto* macro = get<QLabel>("lbMACRO");
        QCOMPARE(flash->text(), QStringLiteral("FLASH INACTIF"));

        status.flashActive = 1;
        status.flashCharge = 1;
        ShowReadouts(status, connected);
        QCOMPARE(flash->text(), QStringLiteral("FLASH ACTIF"));
        QVERIFY(!gauge->isHidden() && !get<QLabel>("lbCharge")->isHidden());
        QCOMPARE(gauge->value(), 50);
        status.flashCharge = 5;  // out of the gauge's range: clamped
        ShowReadouts(status, connected);
        QCOMPARE(gauge->value(), 100);

        flash->setText(QStringLiteral("marker"));
        ShowReadouts(status, connected);
        QCOMPARE(flash->text(), QStringLiteral("marker"));

        status.flashActive = 0;
        ShowReadouts(status, connected);
        QCOMPARE(flash->text(), QStringLiteral("FLASH INACTIF"));
        QVERIFY(gauge->isHidden() && get<QLabel>("lbCharge")->isHidden());

        status.macro = 1;
        ShowReadouts(status, connected);
        QCOMPARE(macro->text(), QStringLiteral("MODE MACRO"));
        macro->setText(QStringLiteral("marker"));
        ShowReadouts(status, connected);
        QCOMPARE(macro->text(), QStringLiteral("marker"));
        status.macro = 0;
        ShowReadouts(status, connected);
        QVERIFY(macro->text().isEmpty());
    }

    void widestApertureFollowsStatus() {
        CameraStatusData status{};
        bool connected = false;
        status.maxAperture = 3;
        ShowReadouts(status, connected);
        QCOMPARE(get<QLabel>("OuvMax")->text(), QStringLiteral("F/4"));
        status.maxAperture = 13;
        ShowReadouts(status, connected);
        QVERIFY(get<QLabel>("OuvMax")->text().isEmpty());
    }

    // The battery icon is drawn on the first refresh after connecting and
    // then only when the level changes.
    void batteryIconSwapsOnChangeOnly() {
        CameraStatusData status{};
        bool connected = false;
        auto* battery = get<QLabel>("ImgBatt");
        status.battery = 0;
        ShowReadouts(status, connected);
        QVERIFY(battery->pixmap().isNull());  // not connected: nothing drawn

        connected = true;
        ResetReadouts();
        ShowReadouts(status, connected);
        QCOMPARE(battery->pixmap().toImage(), Glyphs()[TBase::gBattPlein].toImage());
        QCOMPARE(Readout().ShownBattery, 0);

        battery->clear();  // a redraw would bring the icon back
        ShowReadouts(status, connected);
        QVERIFY(battery->pixmap().isNull());

        status.battery = 1;
        ShowReadouts(status, connected);
        QCOMPARE(battery->pixmap().toImage(), Glyphs()[TBase::gBattDemi].toImage());
        status.battery = 2;
        ShowReadouts(status, connected);
        QCOMPARE(battery->pixmap().toImage(), Glyphs()[TBase::gBattVide].toImage());
        status.battery = 9;  // not a level the camera reports: no icon
        ShowReadouts(status, connected);
        QVERIFY(battery->pixmap().isNull());

        // Same level as shown before a reconnection: drawn again all the same.
        status.battery = 2;
        ShowReadouts(status, connected);
        battery->clear();
        ResetReadouts();
        ShowReadouts(status, connected);
        QCOMPARE(battery->pixmap().toImage(), Glyphs()[TBase::gBattVide].toImage());
    }

    void manualFocusDistance_data() {
        QTest::addColumn<int>("millimetres");
        QTest::addColumn<QString>("shown");
        QTest::newRow("infinity") << 0 << "Infini";
        QTest::newRow("1500 mm") << 1500 << "1,5";
        QTest::newRow("350 mm") << 350 << "0,35";
        QTest::newRow("12 m") << 12000 << "12";
        QTest::newRow("two digits") << 2468 << "2,5";
    }
    void manualFocusDistance() {
        QFETCH(int, millimetres);
        QFETCH(QString, shown);
        CameraStatusData status{};
        bool connected = false;
        connected = true;
        status.focusMode = 1;
        status.focusDistance = millimetres;
        ShowReadouts(status, connected);
        QCOMPARE(get<QLineEdit>("DistFoc")->text(), shown);
    }

    void autofocusLeavesDistanceAlone() {
        CameraStatusData status{};
        bool connected = false;
        connected = true;
        status.focusMode = 0;
        status.focusDistance = 1500;
        ShowReadouts(status, connected);
        QVERIFY(get<QLineEdit>("DistFoc")->text().isEmpty());
    }

    // The exposure program decides which of shutter speed and aperture can
    // be chosen; a disabled list keeps its entry.
    void exposureProgramEnablesItsLists() {
        auto* mode = get<QComboBox>("ModeAPN");
        auto* speed = get<QComboBox>("VitAPN");
        auto* aperture = get<QComboBox>("OuvAPN");
        const std::tuple<int, bool, bool> rules[] = {
            {3, true, true}, {0, false, false}, {2, true, false}, {1, false, true}};
        for (const auto& [entry, speedOn, apertureOn] : rules) {
            mode->setCurrentIndex(entry);
            Q_EMIT mode->activated(entry);
            QCOMPARE(speed->isEnabled(), speedOn);
            QCOMPARE(aperture->isEnabled(), apertureOn);
        }
        QCOMPARE(speed->currentText(), QStringLiteral("1/160"));
        // No program chosen: the lists stay as they are.
        mode->setCurrentIndex(-1);
        Q_EMIT mode->activated(-1);
        QVERIFY(!speed->isEnabled() && aperture->isEnabled());
    }

    // A choice of the user runs the handler once; a choice made by code
    // runs nothing by itself.
    void listsRunTheirHandlerOnUserChoiceOnly() {
        auto* mode = get<QComboBox>("ModeAPN");
        mode->setCurrentIndex(3);
        QVERIFY(!get<QComboBox>("VitAPN")->isEnabled());
        mode->setCurrentIndex(0);
        mode->setFocus();
        QTest::keyClick(mode, Qt::Key_Down);
        QCOMPARE(mode->currentIndex(), 1);
        QVERIFY(get<QComboBox>("OuvAPN")->isEnabled());
    }

    // With a schedule in force the window says "avec" and its lamp shows
    // whether the present moment lies in a slot, redrawn only on change.
    void scheduleIndicator() {
        TParamPgm* pgm = ParamPgm();
        QVERIFY(pgm);
        QDateTime now(QDate::currentDate(), QTime(10, 0));
        pgm->SetClock([&] { return now; });
        pgm->SetWarningHook([](const QString& text) { QFAIL(qPrintable(text)); });
        pgm->NouvDateClick();
        pgm->NouvDateClick();  // today
        pgm->NouvHeureClick();
        QVERIFY(TimePicker(*pgm));
        TimePicker(*pgm)->setTime(QTime(9, 0));
        pgm->NouvHeureClick();
        TimePicker(*pgm)->setTime(QTime(11, 0));
        pgm->NouvHeureClick();
        pgm->ValiderClick();
        QVERIFY(pgm->ScheduleInForce());
        pgm->TimerTimer();
        QVERIFY(pgm->InScheduledSlot());

        auto* lamp = get<QLabel>("LampProg");
        IdleRefresh();  // not connected: nothing shown yet
        QCOMPARE(get<QLabel>("InfoPgmEv")->text(), QStringLiteral("sans"));
        ShowReadouts(Camera().Status, true);  // as connected
        QCOMPARE(get<QLabel>("InfoPgmEv")->text(), QStringLiteral("avec"));
        QVERIFY(!lamp->isHidden());
        QCOMPARE(lamp->pixmap().toImage(), Glyphs()[TBase::gLampOn].toImage());
        lamp->clear();
        ShowReadouts(Camera().Status, true);
        QVERIFY(lamp->pixmap().isNull());

        now.setTime(QTime(12, 0));
        pgm->TimerTimer();
        ShowReadouts(Camera().Status, true);
        QCOMPARE(lamp->pixmap().toImage(), Glyphs()[TBase::gLampOff].toImage());

        pgm->AnnulerClick();
        ShowReadouts(Camera().Status, true);
        QCOMPARE(get<QLabel>("InfoPgmEv")->text(), QStringLiteral("sans"));
        QVERIFY(lamp->isHidden());
    }

    // One second after the last key release the box is checked: out of range
    // gives the warning and the default, which is stored.
    void numericBoxOutOfRange() {
        auto* edit = get<QLineEdit>("eNbImgT");
        auto* check = checkOf(edit);
        edit->clear();
        QTest::keyClicks(edit, "12");
        check->validateNow();
        QCOMPARE(Interval().IntervalTotal, 12);

        edit->clear();
        QTest::keyClicks(edit, "1500");
        QVERIFY(check->pending());
        QTRY_COMPARE_WITH_TIMEOUT(messages.size(), 1, 3000);
        QCOMPARE(messages[0], QStringLiteral("1500 n'est pas dans l'intervalle spécifié 2..1000"));
        QCOMPARE(edit->text(), QStringLiteral("2"));
        QCOMPARE(Interval().IntervalTotal, 2);
    }

    // Typing on within the second restarts it: the value read is the text
    // one second after the last key.
    void numericBoxWaitsForTheLastKey() {
        auto* edit = get<QLineEdit>("RetDecl");
        auto* check = checkOf(edit);
        edit->clear();
        QTest::keyClicks(edit, "3");
        QTest::qWait(600);
        QTest::keyClicks(edit, "0");
        QTest::qWait(600);
        QVERIFY(check->pending());
        QCOMPARE(Shutter().SelfTimerDelay, 2);
        QTRY_COMPARE_WITH_TIMEOUT(Shutter().SelfTimerDelay, 30, 3000);
        QVERIFY(messages.isEmpty());
    }

    // An empty box is not a number: the error is shown and the setting keeps
    // its last value.
    void numericBoxNotANumber() {
        auto* edit = get<QLineEdit>("eInterImg");
        auto* check = checkOf(edit);
        edit->clear();
        QTest::keyClicks(edit, "25");
        check->validateNow();
        QCOMPARE(Interval().IntervalSeconds, 25);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QVERIFY(edit->text().isEmpty());
        QVERIFY(check->pending());
        check->validateNow();
        QCOMPARE(messages, QStringList{QStringLiteral("'' n'est pas une valeur entière correcte")});
        QCOMPARE(Interval().IntervalSeconds, 25);
    }

    // Letters never stay in a numeric box; minutes are stored in the unit
    // their setting uses.
    void numericBoxesFilterAndConvert() {
        auto* focal = get<QLineEdit>("eDFoc");
        auto* check = checkOf(focal);
        focal->clear();
        QTest::keyClicks(focal, "3a5");
        QCOMPARE(focal->text(), QStringLiteral("35"));
        check->validateNow();
        QCOMPARE(Focus().FocalLength, 35);

        for (const char* name : {"eDepImg", "eDepVideo"}) {
            auto* edit = get<QLineEdit>(name);
            edit->clear();
            QTest::keyClicks(edit, "x1");
            QCOMPARE(edit->text(), QStringLiteral("1"));
            checkOf(edit)->validateNow();
        }
        QCOMPARE(Interval().IntervalDelay, 60);
        QCOMPARE(Video().VideoDelay, 60000);
        QVERIFY(messages.isEmpty());
    }

    // The photographer's choices come back in the next window: folder,
    // prefix, preview size and orientation, aids, peaking; a folder that has
    // gone gives way to the default one, with a note.
    void choicesComeBackInTheNextWindow() {
        QTemporaryDir session;
        get<QLineEdit>("NomRep")->setText(session.path());
        get<QLineEdit>("PrefixImg")->setText(QStringLiteral("Mariage"));
        ChooseItem("DimPreView", 0);
        get<QToolButton>("ImgVertD")->click();
        get<QCheckBox>("Grille")->setChecked(true);
        get<QCheckBox>("FocusPeaking")->setChecked(true);
        get<QSlider>("PeakSeuil")->setValue(100);
        QCOMPARE(get<QLabel>("PeakValeur")->text(), QStringLiteral("10 %"));
        DeleteWindow();

        keepChoices = true;
        QVERIFY(OpenWindow());
        QCOMPARE(get<QLineEdit>("NomRep")->text(), session.path());
        QCOMPARE(get<QLineEdit>("PrefixImg")->text(), QStringLiteral("Mariage"));
        QCOMPARE(base->PreviewSize(), QSize(320, 240));
        QCOMPARE(base->width(), TBase::kClientWidthSmall);
        QVERIFY(get<QToolButton>("ImgVertD")->isChecked());
        QCOMPARE(get<QLabel>("LiveView")->size(), QSize(240, 320));
        QVERIFY(get<QCheckBox>("Grille")->isChecked() &&
                get<QCheckBox>("FocusPeaking")->isChecked());
        QCOMPARE(get<QSlider>("PeakSeuil")->value(), 100);
        QCOMPARE(get<QLabel>("PeakValeur")->text(), QStringLiteral("10 %"));
        DeleteWindow();

        const QString gone = session.path();
        session.remove();
        QVERIFY(OpenWindow());
        keepChoices = false;
        QVERIFY(get<QLineEdit>("NomRep")->text() != gone);
        QVERIFY2(
            get<QLabel>("InfoStatut")
                ->toolTip()
                .startsWith(QStringLiteral("Le dossier des images %1 n'existe plus").arg(gone)),
            qPrintable(get<QLabel>("InfoStatut")->toolTip()));
    }

    // A message longer than the panel is cut in the middle, whole in the
    // tooltip.
    void longMessageElidedInTheMiddle() {
        const QString path = QStringLiteral("/home/photographe/") + QString(200, QLatin1Char('x')) +
                             QStringLiteral("/ImageOrka00001.jpg");
        Say(orka::status::Picture, QStringLiteral("Image enregistrée : ") + path);
        auto* label = get<QLabel>("InfoStatut");
        QVERIFY(label->text().startsWith(QStringLiteral("Image enregistrée : /home")));
        QVERIFY(label->text().endsWith(QStringLiteral("ImageOrka00001.jpg")));
        QVERIFY(label->text().contains(QChar(0x2026)));
        QVERIFY(label->fontMetrics().horizontalAdvance(label->text()) <=
                label->contentsRect().width());
        QCOMPARE(label->toolTip(), QStringLiteral("Image enregistrée : ") + path);
    }

    // A double click on a picture no program opens says so and offers the
    // folder.
    void pictureWithoutViewerOffersTheFolder() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("ImageOrka00001.jpg"));
        Strip()->AddPicture(path, false);
        QList<QUrl> asked;
        Strip()->OpenUrlHook = [&](const QUrl& url) {
            asked << url;
            return url.toLocalFile() != path;  // only the folder opens
        };
        QString said;
        QTimer answer;  // the box's answer, once it is up
        connect(&answer, &QTimer::timeout, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            answer.stop();
            said = box->text();
            for (QAbstractButton* button : box->buttons())
                if (button->text() == QStringLiteral("Ouvrir le dossier"))
                    button->click();
        });
        answer.start(10);
        auto* list = Strip()->findChild<QListWidget*>("Vignettes");
        const QRect item = list->visualItemRect(list->item(0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, item.center());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, item.center());
        QCOMPARE(said, QStringLiteral("Aucun programme installé sur cet ordinateur n'ouvre "
                                      "« ImageOrka00001.jpg »."));
        QCOMPARE(asked, (QList<QUrl>{QUrl::fromLocalFile(path), QUrl::fromLocalFile(dir.path())}));
    }
};

QTEST_MAIN(TestWindowState)
#include "test_window_state.moc"
