// The intervalometer and the trigger schedule in the window, with the
// window's clock replaced: shots on an absolute schedule, the counter, the
// stop after the total, the boxes' rules; the schedule's label and lamp.
#include <QTest>
#include <QtWidgets>

#include "NumericEdit.h"
#include "ProgDH.h"
#include "ProgDHWidgets.h"
#include "RadioGroup.h"
#include "WindowTest.h"

class TestIntervalometer : public TWindowTest {
    Q_OBJECT

    uint32_t nowMs = 0;
    QStringList messages;

    QString shots() { return get<QLineEdit>("eNbImgP")->text(); }
    void at(uint32_t secondsFromStart) {
        nowMs = 500'000'000u + secondsFromStart * 1000u;
        IdleRefresh();
    }
    // Types a value into a box and lets its range rule run.
    void type(const char* box, const QString& text) {
        get<QLineEdit>(box)->setText(text);
        get<QLineEdit>(box)->findChild<orka::TNumericEdit*>()->validateNow();
    }
    void start(int total, int interval, int delayMinutes) {
        type("eNbImgT", QString::number(total));
        type("eInterImg", QString::number(interval));
        type("eDepImg", QString::number(delayMinutes));
        nowMs = 500'000'000u;
        QTest::mouseClick(get<QPushButton>("SeqInterV"), Qt::LeftButton);
        QCOMPARE(Interval().IntervalStart, 500'000u);
    }

  private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale::French); }
    void init() {
        messages.clear();
        QVERIFY(OpenWindow([this] {
            SetTickSource([this] { return nowMs; });
            for (orka::TNumericEdit* rule : base->findChildren<orka::TNumericEdit*>())
                rule->setMessageHook(
                    [this](QMessageBox::Icon, const QString& t) { messages << t; });
        }));
        ChooseItem("MonoMultiVue", 2);
    }
    void cleanup() { DeleteWindow(); }

    // Total 2, 5 s, no delay: the first shot at once, the second 5 s later,
    // then the sequence stops and the counter shows what it took.
    void twoShotsFiveSecondsApart() {
        start(2, 5, 0);
        QVERIFY(get<QPushButton>("SeqInterV")->isChecked());
        QCOMPARE(get<QPushButton>("SeqInterV")->text(), QStringLiteral("Stopper la séquence"));
        QVERIFY(!get<QCheckBox>("PreVisuActif")->isChecked());
        at(0);
        QCOMPARE(shots(), QStringLiteral("1"));
        at(4);
        QCOMPARE(Interval().IntervalShots, 1);
        at(5);
        QCOMPARE(Interval().IntervalStart, 0u);
        QCOMPARE(shots(), QStringLiteral("2"));
        QCOMPARE(Interval().IntervalShots, 0);
        QVERIFY(!get<QPushButton>("SeqInterV")->isChecked());
        QCOMPARE(get<QPushButton>("SeqInterV")->text(), QStringLiteral("Lancer la séquence"));
        QVERIFY(!get<QLineEdit>("eInterImg")->isReadOnly());
    }

    // A delay of one minute: nothing before 60 s.
    void startDelay() {
        start(3, 10, 1);
        QCOMPARE(Interval().IntervalDelay, 60);
        at(0);
        at(59);
        QCOMPARE(Interval().IntervalShots, 0);
        at(60);
        QCOMPARE(Interval().IntervalShots, 1);
        at(69);
        QCOMPARE(Interval().IntervalShots, 1);
        at(70);
        QCOMPARE(Interval().IntervalShots, 2);
    }

    // Busy for 25 s in a 10 s sequence: the two overdue shots come back to
    // back, one per tick, and the schedule stays absolute afterwards.
    void overdueShotsBackToBack() {
        start(5, 10, 0);
        at(0);
        QCOMPARE(Interval().IntervalShots, 1);
        at(25);
        QCOMPARE(Interval().IntervalShots, 2);
        at(25);
        QCOMPARE(Interval().IntervalShots, 3);
        at(25);
        QCOMPARE(Interval().IntervalShots, 3);
        at(29);
        QCOMPARE(Interval().IntervalShots, 3);
        at(30);
        QCOMPARE(Interval().IntervalShots, 4);
        at(40);
        QCOMPARE(Interval().IntervalStart, 0u);  // five shots: done
    }

    // The idle refresh drives the tick too; a stop by the user keeps the
    // counter until the next start, and a one-day interval waits a day.
    void idleRefreshAndStop() {
        start(2, 86400, 0);
        at(0);
        at(86399);
        IdleRefresh();
        QCOMPARE(Interval().IntervalShots, 1);
        nowMs = 500'000'000u + 86400u * 1000u;
        IdleRefresh();
        QCOMPARE(Interval().IntervalStart, 0u);

        start(10, 5, 0);
        at(0);
        QCOMPARE(shots(), QStringLiteral("1"));
        QTest::mouseClick(get<QPushButton>("SeqInterV"), Qt::LeftButton);
        QCOMPARE(Interval().IntervalStart, 0u);
        QCOMPARE(shots(), QStringLiteral("1"));
        at(100);
        QCOMPARE(Interval().IntervalShots, 0);
        start(3, 5, 0);
        QCOMPARE(shots(), QStringLiteral("0"));
    }

    // The range rules of the boxes: out of range gives the warning and the
    // default; while a sequence runs the boxes cannot be edited.
    void boxRules() {
        type("eNbImgT", QStringLiteral("1"));
        QCOMPARE(messages.size(), 1);
        QCOMPARE(get<QLineEdit>("eNbImgT")->text(), QStringLiteral("2"));
        QCOMPARE(Interval().IntervalTotal, 2);
        type("eInterImg", QStringLiteral("86401"));
        QCOMPARE(Interval().IntervalSeconds, 10);
        type("eDepImg", QStringLiteral("60"));
        QCOMPARE(Interval().IntervalDelay, 3600);
        type("RetDecl", QStringLiteral("0"));
        QCOMPARE(get<QLineEdit>("RetDecl")->text(), QStringLiteral("2"));
        QCOMPARE(Shutter().SelfTimerDelay, 2);
        QCOMPARE(messages.size(), 3);

        start(4, 5, 0);
        auto* total = get<QLineEdit>("eNbImgT");
        total->setFocus();
        QTest::keyClick(total, Qt::Key_9);
        QCOMPARE(total->text(), QStringLiteral("4"));
        total->findChild<orka::TNumericEdit*>()->validateNow();
        QCOMPARE(Interval().IntervalTotal, 4);
    }

    // A schedule in force shows "avec" and the lamp while connected: off
    // outside its slot, on inside; detection is let through only inside.
    void scheduleIndicatorAndGate() {
        TParamPgm* dialog = ParamPgm();
        QVERIFY(dialog);
        QDateTime now(QDate(2024, 3, 14), QTime(9, 0));
        dialog->SetClock([&now] { return now; });
        dialog->SetWarningHook([](const QString&) {});
        QTest::mouseClick(Button(*dialog, "NouvDate"), Qt::LeftButton);
        DatePicker(*dialog)->setDate(now.date());
        QTest::mouseClick(Button(*dialog, "NouvDate"), Qt::LeftButton);
        QTest::mouseClick(Button(*dialog, "NouvHeure"), Qt::LeftButton);
        TimePicker(*dialog)->setTime(QTime(10, 0));
        QTest::mouseClick(Button(*dialog, "NouvHeure"), Qt::LeftButton);
        TimePicker(*dialog)->setTime(QTime(11, 0));
        QTest::mouseClick(Button(*dialog, "NouvHeure"), Qt::LeftButton);

        auto* label = get<QLabel>("InfoPgmEv");
        auto* lamp = get<QLabel>("LampProg");
        ShowReadouts(Camera().Status, true);  // as connected
        QCOMPARE(label->text(), QStringLiteral("sans"));
        QVERIFY(lamp->isHidden());
        QVERIFY(ScheduleAllowsTrigger());

        // "Programmation": the dialog is modal; "Valider" closes it.
        QTimer::singleShot(
            0, dialog, [dialog] { QTest::mouseClick(Button(*dialog, "Valider"), Qt::LeftButton); });
        QTest::mouseClick(get<QPushButton>("PrgmEvent"), Qt::LeftButton);
        QVERIFY(dialog->ScheduleInForce());
        dialog->TimerTimer();
        ShowReadouts(Camera().Status, true);
        QCOMPARE(label->text(), QStringLiteral("avec"));
        QVERIFY(!lamp->isHidden());
        QCOMPARE(lamp->pixmap().toImage(), Glyphs()[TBase::gLampOff].toImage());
        QVERIFY(!ScheduleAllowsTrigger());

        now.setTime(QTime(10, 30));
        dialog->TimerTimer();
        ShowReadouts(Camera().Status, true);
        QCOMPARE(lamp->pixmap().toImage(), Glyphs()[TBase::gLampOn].toImage());
        QCOMPARE(Schedule().LampState, uint8_t{1});
        QVERIFY(ScheduleAllowsTrigger());

        dialog->AnnulerClick();
        ShowReadouts(Camera().Status, true);
        QCOMPARE(label->text(), QStringLiteral("sans"));
        QVERIFY(lamp->isHidden());
        QVERIFY(ScheduleAllowsTrigger());
    }
};

QTEST_MAIN(TestIntervalometer)
#include "test_intervalometer.moc"
