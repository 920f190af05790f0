// The about box and the help of the window, without a camera: F1 on each tab,
// "&Aide", the schedule dialog's "Aide", the version line.
#include <QTest>
#include <QtWidgets>

#include "CameraClock.h"
#include "HelpViewer.h"
#include "InfosPgm.h"
#include "ProgDH.h"
#include "WindowTest.h"

class TestSettingsHelp : public TWindowTest {
    Q_OBJECT

    THelpViewer* viewer() {
        return base->findChild<THelpViewer*>(QString(), Qt::FindDirectChildrenOnly);
    }

  private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale::French); }
    void init() { QVERIFY(OpenWindow()); }
    void cleanup() { DeleteWindow(); }

    // F1 opens the page of the tab in front, from the window or from a control
    // of the tab; "&Aide" opens the contents.
    void f1OpensTheTopicOfTheActiveTab() {
        auto* tabs = get<QTabWidget>("CommandeAPN");
        const char* titles[] = {"Réglages", "Compensations", "Automatismes", "Présentation",
                                "Paramétrages"};
        for (int tab = 0; tab < 5; ++tab) {
            tabs->setCurrentIndex(tab);
            QTest::keyClick(tab == 4 ? get<QWidget>("NomRep") : static_cast<QWidget*>(base),
                            Qt::Key_F1);
            QVERIFY(viewer() != nullptr);
            QVERIFY(viewer()->isVisible());
            QCOMPARE(viewer()->PageTitle(), QString::fromUtf8(titles[tab]));
        }
        QTest::mouseClick(get<QPushButton>("Aide"), Qt::LeftButton);
        QCOMPARE(viewer()->PageTitle(), QStringLiteral("Sommaire de l'aide"));
        QCOMPARE(base->findChildren<THelpViewer*>().size(), 1);  // one help window
    }

    void scheduleDialogOpensItsOwnPage() {
        TParamPgm schedule(base);
        QTest::mouseClick(schedule.findChild<QPushButton*>("Aide"), Qt::LeftButton);
        auto* own = schedule.findChild<THelpViewer*>();
        QVERIFY(own != nullptr);
        QCOMPARE(own->PageTitle(), QStringLiteral("Programmateur Date et Heure"));
    }

    // The about box: its size and captions, the fallback without version
    // information, and the link that opens in the browser.
    void aboutBox() {
        TInfosPgm* about = InfosPgm();
        QVERIFY(about != nullptr);
        QCOMPARE(about->windowTitle(), QStringLiteral("A propos"));
        QCOMPARE(about->size(), QSize(214, 123));
        QCOMPARE(about->findChild<QLabel*>("VersionPgm")->text(),
                 QStringLiteral("PC <--> Orka " PCORKA_VERSION));
        QVERIFY(about->findChild<QLabel*>("VersionPgm")->font().bold());
        QVERIFY(!about->findChild<QLabel*>("CopyRight")->text().isEmpty());
        QVERIFY(about->findChild<QPushButton*>("Ok")->isDefault());

        about->SetVersionInfo(QString(), QStringLiteral("ignored"));
        QCOMPARE(about->findChild<QLabel*>("VersionPgm")->text(), QStringLiteral("PC <--> Orka"));
        QVERIFY(about->findChild<QLabel*>("CopyRight")->text().isEmpty());

        // "A propos ..." shows it modally, with the version read again; OK
        // closes it with the OK result.
        QTimer::singleShot(0, about, [about] {
            QVERIFY(about->isModal() && about->isVisible());
            QTest::mouseClick(about->findChild<QPushButton*>("Ok"), Qt::LeftButton);
        });
        QTest::mouseClick(get<QPushButton>("APropos"), Qt::LeftButton);
        QCOMPARE(about->result(), int(QDialog::Accepted));
        QCOMPARE(about->findChild<QLabel*>("VersionPgm")->text(),
                 QStringLiteral("PC <--> Orka " PCORKA_VERSION));

        // The program has no web page: the box names none.
        for (const QLabel* label : about->findChildren<QLabel*>())
            QVERIFY(!label->text().contains(QStringLiteral("http")));
    }

    // The camera clock words: the bytes of 6 December 2026, 11:21:04 are
    // EA 07 0C 06 and 0B 15 04 00; milliseconds are dropped.
    void clockWordsAndText() {
        const QDateTime when(QDate(2026, 12, 6), QTime(11, 21, 4, 987));
        const orka::ClockWords words = orka::CameraClockWords(when);
        QCOMPARE(words.date, 0x060C07EAu);
        QCOMPARE(words.time, 0x0004150Bu);
        QCOMPARE(orka::ClockText(when, QLocale(QLocale::French)),
                 QStringLiteral(" 06/12/2026 11:21:04"));
    }
};

QTEST_MAIN(TestSettingsHelp)
#include "test_settings_help.moc"
