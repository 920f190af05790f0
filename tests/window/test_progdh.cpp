// The schedule dialog driven through its widgets, offscreen.
#include <QDateEdit>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimeEdit>
#include <QTreeWidget>
#include <QtTest>

#include "ProgDH.h"
#include "ProgDHWidgets.h"

class TestProgDH : public QObject {
    Q_OBJECT

  private:
    QDateTime now_{QDate(2024, 3, 14), QTime(10, 30, 0)};
    QStringList warnings_;

    void Prepare(TParamPgm& dlg) {
        dlg.SetClock([this] { return now_; });
        dlg.SetWarningHook([this](const QString& text) { warnings_ << text; });
    }

    static void AddDate(TParamPgm& dlg, QDate date) {
        QTest::mouseClick(Button(dlg, "NouvDate"), Qt::LeftButton);
        QVERIFY(DatePicker(dlg));
        QVERIFY(!DatePicker(dlg)->accessibleName().isEmpty());  // for screen readers
        DatePicker(dlg)->setDate(date);
        QTest::mouseClick(Button(dlg, "NouvDate"), Qt::LeftButton);
    }

    static void SelectTop(TParamPgm& dlg, int index) {
        Tree(dlg)->setCurrentItem(Tree(dlg)->topLevelItem(index));
    }

    static void AddSlot(TParamPgm& dlg, QTime start, QTime end) {
        QTest::mouseClick(Button(dlg, "NouvHeure"), Qt::LeftButton);
        QVERIFY(TimePicker(dlg));
        QVERIFY(!TimePicker(dlg)->accessibleName().isEmpty());
        TimePicker(dlg)->setTime(start);
        QTest::mouseClick(Button(dlg, "NouvHeure"), Qt::LeftButton);
        TimePicker(dlg)->setTime(end);
        QTest::mouseClick(Button(dlg, "NouvHeure"), Qt::LeftButton);
    }

  private Q_SLOTS:
    void init() { warnings_.clear(); }

    void layoutAndInitialState() {
        TParamPgm dlg;
        QCOMPARE(dlg.size(), QSize(386, 216));
        QCOMPARE(Tree(dlg)->geometry(), QRect(5, 10, 156, 161));
        QCOMPARE(Lamp(dlg)->geometry(), QRect(15, 189, 16, 16));
        QCOMPARE(Button(dlg, "NouvDate")->text(), QString("Nouvelle date"));
        QCOMPARE(Button(dlg, "NouvHeure")->text(), QString("Nouvelle tranche horaire"));
        QVERIFY(!Button(dlg, "NouvHeure")->isEnabled());
        QVERIFY(!dlg.TimerRunning());
        QVERIFY(!(dlg.windowFlags() & Qt::WindowCloseButtonHint));
    }

    // A date, then a slot: captions, pickers at their places, the tree.
    void entriesThroughTheButtons() {
        TParamPgm dlg;
        Prepare(dlg);
        QTest::mouseClick(Button(dlg, "NouvDate"), Qt::LeftButton);
        QVERIFY(DatePicker(dlg));
        QCOMPARE(DatePicker(dlg)->geometry().topLeft(), QPoint(120, 22));
        QCOMPARE(DatePicker(dlg)->width(), 80);
        QCOMPARE(DatePicker(dlg)->date(), now_.date());
        QCOMPARE(Button(dlg, "NouvDate")->text(), QString("Valider la date"));
        QVERIFY(!Button(dlg, "NouvHeure")->isEnabled());
        QTest::mouseClick(Button(dlg, "NouvDate"), Qt::LeftButton);
        QVERIFY(!DatePicker(dlg));
        QCOMPARE(Tree(dlg)->topLevelItemCount(), 1);
        QCOMPARE(Tree(dlg)->topLevelItem(0)->text(0), QString("Le 14/03/2024"));
        QVERIFY(Tree(dlg)->topLevelItem(0)->isSelected());
        QVERIFY(Button(dlg, "NouvHeure")->isEnabled());

        // The same date again: warning, the entry stays open.
        AddDate(dlg, now_.date());
        QCOMPARE(warnings_, QStringList{"La date du 14/03/2024 est déjà utilisée. En choisir "
                                        "une autre."});
        QVERIFY(DatePicker(dlg));
        DatePicker(dlg)->setDate(QDate(2024, 3, 1));
        QTest::mouseClick(Button(dlg, "NouvDate"), Qt::LeftButton);
        QCOMPARE(Tree(dlg)->topLevelItem(0)->text(0), QString("Le 01/03/2024"));  // by value

        SelectTop(dlg, 1);
        QTest::mouseClick(Button(dlg, "NouvHeure"), Qt::LeftButton);
        QVERIFY(TimePicker(dlg));
        QCOMPARE(TimePicker(dlg)->geometry().topLeft(), QPoint(65, 60));
        QCOMPARE(Button(dlg, "NouvHeure")->text(), QString("Valider l'heure de Début"));
        QVERIFY(!Button(dlg, "NouvDate")->isEnabled());
        TimePicker(dlg)->setTime(QTime(10, 0));
        QTest::mouseClick(Button(dlg, "NouvHeure"), Qt::LeftButton);
        QCOMPARE(Button(dlg, "NouvHeure")->text(), QString("Valider l'heure de Fin"));
        QTreeWidgetItem* day = Tree(dlg)->topLevelItem(1);
        QCOMPARE(day->childCount(), 1);
        QCOMPARE(day->child(0)->text(0), QString("Début : 10:00:00"));
        QVERIFY(day->isExpanded());
        // The end goes under the start's date even if another node is selected now.
        SelectTop(dlg, 0);
        TimePicker(dlg)->setTime(QTime(10, 0));
        QTest::mouseClick(Button(dlg, "NouvHeure"), Qt::LeftButton);
        QCOMPARE(warnings_.last(), QString("L'heure de Fin de tranche horaire doit être "
                                           "supérieure à l'heure de début."));
        TimePicker(dlg)->setTime(QTime(11, 0));
        QTest::mouseClick(Button(dlg, "NouvHeure"), Qt::LeftButton);
        QVERIFY(!TimePicker(dlg));
        day = Tree(dlg)->topLevelItem(1);
        QCOMPARE(day->childCount(), 2);
        QCOMPARE(day->child(1)->text(0), QString("Fin : 11:00:00"));
        QCOMPARE(Button(dlg, "NouvHeure")->text(), QString("Nouvelle tranche horaire"));
        QVERIFY(Button(dlg, "NouvDate")->isEnabled());
        QCOMPARE(Tree(dlg)->topLevelItem(0)->childCount(), 0);
    }

    void deleteKey() {
        TParamPgm dlg;
        Prepare(dlg);
        AddDate(dlg, now_.date());
        AddSlot(dlg, QTime(8, 0), QTime(9, 0));
        AddSlot(dlg, QTime(12, 0), QTime(13, 0));
        QTreeWidgetItem* day = Tree(dlg)->topLevelItem(0);
        QCOMPARE(day->childCount(), 4);
        Tree(dlg)->setCurrentItem(day->child(3));  // "Fin : 13:00:00"
        QTest::keyClick(Tree(dlg), Qt::Key_Delete);
        day = Tree(dlg)->topLevelItem(0);
        QCOMPARE(day->childCount(), 2);
        QCOMPARE(day->child(0)->text(0), QString("Début : 08:00:00"));

        // Ignored while an entry is open.
        SelectTop(dlg, 0);
        QTest::mouseClick(Button(dlg, "NouvDate"), Qt::LeftButton);
        SelectTop(dlg, 0);
        QTest::keyClick(Tree(dlg), Qt::Key_Delete);
        QCOMPARE(Tree(dlg)->topLevelItemCount(), 1);
        QTest::mouseClick(Button(dlg, "NouvDate"), Qt::LeftButton);  // refused duplicate
        DatePicker(dlg)->setDate(QDate(2024, 4, 1));
        QTest::mouseClick(Button(dlg, "NouvDate"), Qt::LeftButton);

        SelectTop(dlg, 0);
        QTest::keyClick(Tree(dlg), Qt::Key_Delete);
        SelectTop(dlg, 0);
        QTest::keyClick(Tree(dlg), Qt::Key_Delete);
        QCOMPARE(Tree(dlg)->topLevelItemCount(), 0);
        QVERIFY(!Button(dlg, "NouvHeure")->isEnabled());
    }

    // "Valider" with a slot puts the schedule in force; the evaluation goes
    // on every second while the dialog is hidden; "Annuler" ends it.
    void validateCancelAndTimerWhileHidden() {
        TParamPgm dlg;
        Prepare(dlg);
        dlg.show();
        QVERIFY(dlg.TimerRunning());  // opening the dialog starts the evaluation
        QVERIFY(dlg.windowTitle().startsWith("Programmateur Date et Heure    14/03/2024 10:30:00"));
        AddDate(dlg, now_.date());
        QTest::mouseClick(Button(dlg, "Valider"),
                          Qt::LeftButton);  // two nodes or fewer: not in force
        QVERIFY(!dlg.ScheduleInForce());
        QVERIFY(!dlg.isVisible());

        dlg.show();
        AddSlot(dlg, QTime(11, 0), QTime(12, 0));
        QTest::mouseClick(Button(dlg, "Valider"), Qt::LeftButton);
        QVERIFY(dlg.ScheduleInForce());
        QVERIFY(!dlg.InScheduledSlot());
        const QString hiddenTitle = dlg.windowTitle();
        now_ = QDateTime(QDate(2024, 3, 14), QTime(11, 0, 0));
        QTRY_VERIFY_WITH_TIMEOUT(dlg.InScheduledSlot(), 3000);
        QCOMPARE(dlg.windowTitle(), hiddenTitle);  // no caption updates while hidden

        dlg.show();
        QVERIFY(dlg.windowTitle().endsWith("14/03/2024 11:00:00"));
        QTest::mouseClick(Button(dlg, "Annuler"), Qt::LeftButton);
        QVERIFY(!dlg.ScheduleInForce());
        QVERIFY(!dlg.InScheduledSlot());
        QVERIFY(!dlg.TimerRunning());
        QCOMPARE(Tree(dlg)->topLevelItemCount(), 1);
    }

    // An unfinished slot survives closing; its start counts as no slot.
    void unfinishedEntrySurvivesClosing() {
        TParamPgm dlg;
        Prepare(dlg);
        AddDate(dlg, now_.date());
        AddSlot(dlg, QTime(9, 0), QTime(10, 0));
        QTest::mouseClick(Button(dlg, "NouvHeure"), Qt::LeftButton);
        TimePicker(dlg)->setTime(QTime(10, 15));
        QTest::mouseClick(Button(dlg, "NouvHeure"), Qt::LeftButton);
        dlg.show();
        QTest::mouseClick(Button(dlg, "Valider"), Qt::LeftButton);
        QVERIFY(dlg.ScheduleInForce());
        dlg.TimerTimer();
        QVERIFY(!dlg.InScheduledSlot());
        dlg.show();
        QVERIFY(TimePicker(dlg));
        QCOMPARE(Button(dlg, "NouvHeure")->text(), QString("Valider l'heure de Fin"));
        TimePicker(dlg)->setTime(QTime(11, 0));
        QTest::mouseClick(Button(dlg, "NouvHeure"), Qt::LeftButton);
        dlg.TimerTimer();
        QVERIFY(dlg.InScheduledSlot());
    }

    void escapeIsAnnulerAndHelpSignal() {
        TParamPgm dlg;
        Prepare(dlg);
        QSignalSpy help(&dlg, &TParamPgm::helpRequested);
        dlg.show();
        QTest::mouseClick(Button(dlg, "Aide"), Qt::LeftButton);
        QCOMPARE(help.count(), 1);
        QCOMPARE(help.at(0).at(0).toString(), QString("ProgDH"));
        QTest::keyClick(&dlg, Qt::Key_Escape);
        QVERIFY(!dlg.isVisible());
        QVERIFY(!dlg.TimerRunning());
    }

    // Without a hook the warnings are real message boxes with the exact text.
    void warningBox() {
        TParamPgm dlg;
        dlg.SetClock([this] { return now_; });
        AddDate(dlg, now_.date());
        QString shown;
        QTimer::singleShot(0, [&shown] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box) {
                shown = box->text();
                QCOMPARE(box->icon(), QMessageBox::Warning);
                box->accept();
            }
        });
        AddDate(dlg, now_.date());
        QCOMPARE(shown, QString("La date du 14/03/2024 est déjà utilisée. En choisir une autre."));
    }
};

QTEST_MAIN(TestProgDH)
#include "test_progdh.moc"
