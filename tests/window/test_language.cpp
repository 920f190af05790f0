// The window in English beside French: the design's captions stay byte for
// byte in French, the English translation replaces them, numbers follow the
// language, Qt's own buttons too, and the language choice is remembered for
// the next start.
#include <QTest>
#include <QtWidgets>

#include "HelpViewer.h"
#include "Language.h"
#include "Messages.h"
#include "ShotFacts.h"
#include "WindowTest.h"

class TestLanguage : public TWindowTest {
    Q_OBJECT

    QString tabText(int tab) { return get<QTabWidget>("CommandeAPN")->tabText(tab); }
    static QString cancelText() {
        QDialogButtonBox box(QDialogButtonBox::Cancel);
        return box.button(QDialogButtonBox::Cancel)->text().remove(QLatin1Char('&'));
    }
    // What the status area says after a click on the shutter button with no
    // camera connected.
    QString shutterWithoutCamera() {
        QTest::mousePress(get<QWidget>("PriseVue"), Qt::LeftButton);
        QTest::mouseRelease(get<QWidget>("PriseVue"), Qt::LeftButton);
        return get<QLabel>("InfoStatut")->text();
    }

  private Q_SLOTS:
    void cleanup() {
        DeleteWindow();
        orka::InstallLanguage(orka::Language::French);
    }

    void frenchIsTheDesignsOwnText() {
        QVERIFY(orka::InstallLanguage(orka::Language::French));
        QVERIFY(OpenWindow());
        QCOMPARE(tabText(0), QString::fromUtf8("Réglages"));
        QCOMPARE(tabText(4), QString::fromUtf8("Paramétrages"));
        QCOMPARE(get<QLabel>("Label30")->text(), QString::fromUtf8("Modèle en cours"));
        QCOMPARE(get<QGroupBox>("GrpSons")->title(), QStringLiteral(" Sons "));
        QCOMPARE(get<QComboBox>("Langue")->currentText(), QString::fromUtf8("Français"));
        QCOMPARE(get<QComboBox>("CompExp")->currentText(), QStringLiteral(" 0,0 EV"));
        QVERIFY(shutterWithoutCamera().startsWith(
            QString::fromUtf8("Pas de prise de vue : l'APN n'est pas connecté")));
        QCOMPARE(orka::FileFactsLines("/photos/P1.JPG", 2516582).at(1),
                 QStringLiteral("Taille : 2,4 Mo"));
        QCOMPARE(cancelText(), QStringLiteral("Annuler"));  // qtbase_fr
    }

    void englishReplacesEveryKindOfText() {
        QVERIFY(orka::InstallLanguage(orka::Language::English));
        QVERIFY(OpenWindow());
        QCOMPARE(tabText(0), QStringLiteral("Settings"));  // the form
        QCOMPARE(get<QLabel>("Label30")->text(), QStringLiteral("Current template"));
        QCOMPARE(get<QComboBox>("Langue")->currentText(), QStringLiteral("English"));
        // The camera's value lists, filled by the code from its tables.
        QCOMPARE(get<QComboBox>("BalBlanc")->itemText(1), QStringLiteral("Daylight"));
        QCOMPARE(get<QComboBox>("CompExp")->currentText(), QStringLiteral(" 0.0 EV"));
        QVERIFY(shutterWithoutCamera().startsWith(
            QStringLiteral("No shot: the camera is not connected")));
        QCOMPARE(orka::FileFactsLines("/photos/P1.JPG", 2516582).at(1),
                 QStringLiteral("Size: 2.4 MB"));
        QCOMPARE(cancelText(), QStringLiteral("Cancel"));
        // The safekeeping's texts, made by code shared with orkactl.
        QCOMPARE(orka::Message(QT_TRANSLATE_NOOP("Safekeeping", "Place pour environ %1"),
                               {orka::Count(12, "image", "images")}),
                 std::string("Room for about 12 pictures"));
        // The help in English, the French page where none is translated.
        QTest::mouseClick(get<QPushButton>("Aide"), Qt::LeftButton);
        auto* help = base->findChild<THelpViewer*>(QString(), Qt::FindDirectChildrenOnly);
        QVERIFY(help != nullptr);
        QCOMPARE(help->PageTitle(), QStringLiteral("Help contents"));
    }

    // The choice is saved at once and read at the next start; the command
    // line and PCORKA_LANG come before it.
    void choiceRememberedForTheNextStart() {
        QVERIFY(orka::InstallLanguage(orka::Language::French));
        QVERIFY(OpenWindow());
        auto* language = get<QComboBox>("Langue");
        language->setCurrentIndex(1);
        Q_EMIT language->activated(1);
        QVERIFY(
            get<QLabel>("InfoStatut")->text().contains(QString::fromUtf8("prochain démarrage")));
        QSettings store(QStringLiteral("PCOrka"), QStringLiteral("PCOrka"));
        QCOMPARE(orka::StoredLanguage(store), orka::Language::English);

        const auto start = [](QStringList args, const char* env, orka::Language stored) {
            args.prepend(QStringLiteral("PCOrka"));
            return orka::StartLanguage(args, QString::fromLatin1(env), stored);
        };
        using orka::Language;
        QCOMPARE(start({}, "", Language::English), Language::English);
        QCOMPARE(start({}, "en_GB.UTF-8", Language::French), Language::English);
        QCOMPARE(start({}, "de", Language::English), Language::English);  // unknown: stored
        QCOMPARE(start({"--lang", "fr"}, "en", Language::English), Language::French);
        QCOMPARE(start({"--lang=en"}, "fr", Language::French), Language::English);
        QCOMPARE(start({"--lang"}, "", Language::French), Language::French);  // no value
    }
};

QTEST_MAIN(TestLanguage)
#include "test_language.moc"
