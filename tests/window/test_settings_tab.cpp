// The " Paramétrages " tab against the simulated camera: the clock, the image
// folder and prefixes, the two sounds.
#include <QTemporaryDir>
#include <QTest>
#include <QtWidgets>

#include "CameraWindowTest.h"
#include "SimLog.h"

using namespace simlog;

namespace {

constexpr int kShutterSound = 88;
constexpr int kInfocusSound = 89;

void Choose(QComboBox* box, int entry) {
    box->setCurrentIndex(entry);
    Q_EMIT box->activated(entry);
}

}  // namespace

class TestSettingsTab : public TCameraWindowTest {
    Q_OBJECT
    QStringList dialogStarts;  // where each directory dialog started
    QString dialogAnswer;      // what it returns; empty = cancel

    void connectCamera() {
        QVERIFY(ConnectWithoutLiveView());
        QTest::mouseClick(get<QLabel>("InfoErreur"),
                          Qt::LeftButton);  // what the connection latched is not under test
        cam.clearLog();
    }

  private Q_SLOTS:
    void initTestCase() {
        QLocale::setDefault(QLocale::French);
        QVERIFY(images.isValid());
    }
    void init() {
        QVERIFY(OpenCameraWindow([this] {
            dialogStarts.clear();
            dialogAnswer.clear();
            DialogHooks().ChooseDirectory = [this](const QString& start) {
                dialogStarts << start;
                return dialogAnswer;
            };
        }));
        get<QTabWidget>("CommandeAPN")->setCurrentIndex(4);
    }
    void cleanup() {
        const std::string errors = CloseWindow();
        QVERIFY2(errors.empty(), errors.c_str());
    }

    void defaultFolderIsThePicturesFolder() {
        TBase fresh;
        QCOMPARE(fresh.findChild<QLineEdit*>(QStringLiteral("NomRep"))->text(),
                 QStandardPaths::writableLocation(QStandardPaths::PicturesLocation));
    }

    // Without a camera only the box is filled; with one, the camera gets the
    // date and time the box shows.
    void synchroniseTheClock() {
        auto* box = get<QLineEdit>("DateHeure");
        QVERIFY(box->text().isEmpty());
        QTest::mouseClick(get<QPushButton>("SynchroNow"), Qt::LeftButton);
        QVERIFY(box->text().startsWith(QLatin1Char(' ')));
        QVERIFY(QDateTime::fromString(box->text().mid(1), QStringLiteral("dd/MM/yyyy HH:mm:ss"))
                    .isValid());
        QVERIFY(cam.log().empty());

        connectCamera();
        QTest::mouseClick(get<QPushButton>("SynchroNow"), Qt::LeftButton);
        const QDateTime shown =
            QDateTime::fromString(box->text().mid(1), QStringLiteral("dd/MM/yyyy HH:mm:ss"));
        QVERIFY(shown.isValid());
        const auto sent = HostCommands(kSetDateTime);
        QCOMPARE(sent.size(), size_t{1});
        QVERIFY(sent[0].bytes.size() >= 20);
        const std::vector<uint8_t> date(sent[0].bytes.begin() + 12, sent[0].bytes.begin() + 16);
        const std::vector<uint8_t> time(sent[0].bytes.begin() + 16, sent[0].bytes.begin() + 20);
        const int year = shown.date().year();
        QCOMPARE(date, (std::vector<uint8_t>{uint8_t(year), uint8_t(year >> 8),
                                             uint8_t(shown.date().month()),
                                             uint8_t(shown.date().day())}));
        QCOMPARE(time,
                 (std::vector<uint8_t>{uint8_t(shown.time().hour()), uint8_t(shown.time().minute()),
                                       uint8_t(shown.time().second()), 0}));
        QCOMPARE(Camera().LastResult, 0);
    }

    // Typing in the folder box opens the directory dialog at the folder shown;
    // cancelling keeps it, a choice replaces it. Keys that only move around
    // the window do not open it.
    void typingInTheFolderBoxOpensTheDialog() {
        auto* folder = get<QLineEdit>("NomRep");
        const QString before = folder->text();
        QTest::keyClick(folder, Qt::Key_A);
        QCOMPARE(dialogStarts, QStringList{before});
        QTest::mouseClick(folder, Qt::LeftButton);  // a click opens it too
        QCOMPARE(dialogStarts.size(), 2);
        dialogStarts.removeLast();
        QCOMPARE(folder->text(), before);

        QTest::keyClick(folder, Qt::Key_F1);
        QTest::keyClick(folder, Qt::Key_Shift);
        QCOMPARE(dialogStarts.size(), 1);
        if (QWidget* help = base->findChild<QDialog*>())
            help->close();

        const QString other = images.filePath(QStringLiteral("autre"));
        QVERIFY(QDir().mkpath(other));
        dialogAnswer = other;
        QTest::keyClick(folder, Qt::Key_Backspace);
        QCOMPARE(dialogStarts.size(), 2);
        QCOMPARE(folder->text(), QDir::toNativeSeparators(other));
    }

    // Both prefixes take at most 16 characters from the keyboard.
    void prefixesAreAtMostSixteenCharacters() {
        for (const char* name : {"PrefixImg", "PrefixVideo"}) {
            auto* box = get<QLineEdit>(name);
            box->clear();
            QTest::keyClicks(box, QStringLiteral("abcdefghijklmnopqrstuvwxyz"));
            QCOMPARE(box->text(), QStringLiteral("abcdefghijklmnop"));
        }
    }

    // Each sound list sends its own sound only, as the entry's index.
    void soundsGoToTheirOwnSetting() {
        connectCamera();
        Choose(get<QComboBox>("SonDecl"), 2);
        QCOMPARE(SentSettings(), (std::vector<Setting>{{kShutterSound, 2}}));
        cam.clearLog();
        Choose(get<QComboBox>("SonMap"), 1);
        QCOMPARE(SentSettings(), (std::vector<Setting>{{kInfocusSound, 1}}));
        QCOMPARE(Camera().Status.shutterSound, 2);
        QCOMPARE(Camera().Status.infocusSound, 1);
        QCOMPARE(get<QLabel>("InfoErreur")->text(), QStringLiteral("O"));
    }
};

QTEST_MAIN(TestSettingsTab)
#include "test_settings_tab.moc"
