// Where every picture is, in the window: the backup folder and the command
// remembered, an unfinished session of the picture folder said and finished
// at start, the strip's marks, the backup failing in red, the warning when
// few pictures fit and the shot refused when none does.
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QToolButton>

#include <atomic>
#include <optional>

#include "CameraWindowTest.h"
#include "FileDigest.h"
#include "Safekeeping.h"
#include "orkasim.h"

namespace {

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The grab of the window into $ORKA_SHOT_DIR/name.png, when set.
void Shot(QWidget* window, const char* name) {
    const QString dir = qEnvironmentVariable("ORKA_SHOT_DIR");
    if (!dir.isEmpty())
        window->grab().save(dir + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".png"));
}

}  // namespace

class TestSafekeeping : public TCameraWindowTest {
    Q_OBJECT

    QString statusDetails() { return get<QLabel>("InfoStatut")->toolTip(); }
    bool statusRed() { return get<QLabel>("InfoStatut")->styleSheet().contains("#d00000"); }
    void shoot() { QTest::mouseClick(get<QWidget>("PriseVue"), Qt::LeftButton); }
    std::optional<orka::FileMark> newestMark() { return Strip()->KeptAt(0); }

  private Q_SLOTS:
    // A session that died with a copy owed: the next window says so at
    // start and makes the copy; the backup folder and the command come back
    // from the last run, and a folder chosen in the settings tab is kept.
    void unfinishedSessionFinishedAtStart() {
        QTemporaryDir folder, backup, other;
        const QString picture = folder.filePath(QStringLiteral("ImageOrka00001.JPG"));
        WriteFile(picture, QByteArray(5000, 'x'));
        {
            const std::string path = QFile::encodeName(picture).toStdString();
            auto journal =
                orka::JournalWriter::Create(QFile::encodeName(folder.path()).toStdString());
            QVERIFY(journal);
            journal->Append(orka::JournalSessionStart{"PCOrka", folder.path().toStdString(),
                                                      "ImageOrka", backup.path().toStdString(),
                                                      ""});
            orka::JournalFile saved;
            saved.path = path;
            saved.size = 5000;
            saved.sha256 = orka::DigestFile(path)->sha256;
            journal->Append(saved);
            journal->Flush();
        }  // no close marker: the program died here
        {
            QSettings store(QStringLiteral("PCOrka"), QStringLiteral("PCOrka"));
            store.setValue(QStringLiteral("Choix/dossier"), folder.path());
            store.setValue(QStringLiteral("Choix/dossierSauvegarde"), backup.path());
            store.setValue(QStringLiteral("Choix/commandeApresImage"), QStringLiteral("true"));
        }
        keepChoices = true;
        QVERIFY(OpenWindow());
        QCOMPARE(get<QLineEdit>("DossierSauvegarde")->text(), backup.path());
        QCOMPARE(get<QLineEdit>("CommandeImage")->text(), QStringLiteral("true"));
        QVERIFY2(statusDetails().contains(QStringLiteral("ne s'est pas terminée normalement")) &&
                     statusDetails().contains(QStringLiteral("1 copie de sécurité reste à faire")),
                 qPrintable(statusDetails()));
        QTRY_COMPARE_WITH_TIMEOUT(ReadFile(backup.filePath(QStringLiteral("ImageOrka00001.JPG"))),
                                  QByteArray(5000, 'x'), 10000);
        QTRY_VERIFY(statusDetails().contains(QStringLiteral("Les copies en attente sont faites.")));
        Shot(base, "safe_recovery");
        get<QTabWidget>("CommandeAPN")->setCurrentWidget(get<QWidget>("Parametres"));
        Shot(base, "safe_settings");

        // Off, then another folder chosen in its dialog.
        QTest::mouseClick(get<QToolButton>("SansSauvegarde"), Qt::LeftButton);
        QVERIFY(get<QLineEdit>("DossierSauvegarde")->text().isEmpty());
        DialogHooks().ChooseDirectory = [&](const QString&) { return other.path(); };
        QTest::mousePress(get<QLineEdit>("DossierSauvegarde"), Qt::LeftButton);
        QTRY_COMPARE(get<QLineEdit>("DossierSauvegarde")->text(), other.path());
        DeleteWindow();
        QVERIFY(OpenWindow());
        QCOMPARE(get<QLineEdit>("DossierSauvegarde")->text(), other.path());
        DeleteWindow();
        keepChoices = false;
    }

    // Against the camera: saved twice, then owed in red when the backup
    // folder went; a warning when few pictures fit, and no release when
    // none does.
    void marksRoomAndRefusal() {
        QTemporaryDir drive;
        const QString backup = drive.filePath(QStringLiteral("copies"));
        QVERIFY(QDir().mkpath(backup));
        std::atomic<uint64_t> freeBytes{uint64_t(1) << 40};
        QVERIFY(OpenCameraWindow([&] {
            get<QLineEdit>("DossierSauvegarde")->setText(backup);
            Safety().FreeBytesHook = [&freeBytes](const std::string&) {
                return std::optional<uint64_t>(freeBytes.load());
            };
        }));
        QVERIFY(ConnectWithoutLiveView());
        // A command that fails after each picture is said, and the picture kept.
        get<QLineEdit>("CommandeImage")->setText(QStringLiteral("exit 3"));
        Q_EMIT get<QLineEdit>("CommandeImage")->editingFinished();
        shoot();
        QTRY_COMPARE_WITH_TIMEOUT(Strip()->Count(), 1, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(newestMark(), std::optional(orka::FileMark::SavedTwice), 10000);
        QTRY_VERIFY2(statusDetails().contains(QStringLiteral("code de sortie 3")),
                     qPrintable(statusDetails()));

        // The drive unplugged: the next picture's copy waits, said in red.
        QVERIFY(QDir(backup).removeRecursively());
        shoot();
        QTRY_COMPARE_WITH_TIMEOUT(Strip()->Count(), 2, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(newestMark(), std::optional(orka::FileMark::Owed), 10000);
        QCOMPARE(Strip()->KeptAt(1), std::optional(orka::FileMark::SavedTwice));
        QTRY_VERIFY(statusRed());
        QVERIFY2(statusDetails().contains(QStringLiteral("absent")), qPrintable(statusDetails()));
        Shot(base, "safe_backup_failing");

        // Room for a few pictures only: warned; none: the shot is refused.
        freeBytes = 30u << 20;
        QTRY_VERIFY_WITH_TIMEOUT(statusDetails().contains(QStringLiteral("bientôt plus de place")),
                                 5000);
        freeBytes = 0;
        shoot();
        QVERIFY2(statusDetails().contains(QStringLiteral("Plus assez de place")),
                 qPrintable(statusDetails()));
        // An interval run that cannot fit does not start.
        ChooseItem("MonoMultiVue", 2);
        QTest::mouseClick(get<QPushButton>("SeqInterV"), Qt::LeftButton);
        QVERIFY(!get<QPushButton>("SeqInterV")->isChecked());
        QVERIFY2(statusDetails().contains(QStringLiteral("Séquence non lancée")),
                 qPrintable(statusDetails()));
        QTest::qWait(1000);
        QCOMPARE(Strip()->Count(), 2);

        // Room again, the backup turned off: saved once, the red line gone.
        freeBytes = uint64_t(1) << 40;
        QTest::mouseClick(get<QToolButton>("SansSauvegarde"), Qt::LeftButton);
        shoot();
        QTRY_COMPARE_WITH_TIMEOUT(Strip()->Count(), 3, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(newestMark(), std::optional(orka::FileMark::SavedOnce), 10000);
        QVERIFY(!statusDetails().contains(QStringLiteral("absent")));
        QVERIFY(QDir().mkpath(backup));
        QCOMPARE(CloseWindow(), std::string());
    }
};

QTEST_MAIN(TestSafekeeping)
#include "test_safekeeping.moc"
