// Video recording in the window, on frames of the simulated camera's scene:
// the file's codec, size, frame count and playing time as a player reads
// them, upright in a quarter turn, the codec setting kept around the
// recording, the start delay, and a file that cannot be created.
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QtWidgets>

#include "NumericEdit.h"
#include "RadioGroup.h"
#include "WindowTest.h"
#include "orkasim.h"
#include "scene.h"

namespace {

constexpr uint32_t kT0 = 7'000'000;  // ms of the window's clock at the start

int32_t StoredQuickCompress() {
    return QSettings(QStringLiteral("PCOrka"), QStringLiteral("PCOrka"))
        .value(QStringLiteral("Video/QuickCompress"), -1)
        .toInt();
}

void StoreQuickCompress(int32_t value) {
    QSettings(QStringLiteral("PCOrka"), QStringLiteral("PCOrka"))
        .setValue(QStringLiteral("Video/QuickCompress"), value);
}

// "key=value" lines of ffprobe about the first video stream.
QMap<QString, QString> Probe(const QString& file) {
    QMap<QString, QString> out;
#ifdef ORKA_FFPROBE
    QProcess p;
    p.start(QStringLiteral(ORKA_FFPROBE),
            {"-v", "error", "-select_streams", "v:0", "-count_frames", "-show_entries",
             "stream=codec_name,width,height,nb_read_frames,duration", "-of",
             "default=noprint_wrappers=1", file});
    if (!p.waitForFinished(30000))
        return out;
    for (const QString& line : QString::fromUtf8(p.readAllStandardOutput()).split('\n')) {
        const qsizetype eq = line.indexOf('=');
        if (eq > 0)
            out.insert(line.left(eq), line.mid(eq + 1).trimmed());
    }
#else
    Q_UNUSED(file);
#endif
    return out;
}

}  // namespace

class TestVideo : public TWindowTest {
    Q_OBJECT

    QTemporaryDir dir;
    uint32_t nowMs = kT0;
    orkasim::Scene scene;
    QImage landscape;                    // one decoded 544 x 408 frame of the scene
    std::vector<uint8_t> landscapeJpeg;  // the same as the camera sends it

    // The camera's frames reach the live view every 100 ms until the
    // recording ends.
    int feed(uint32_t untilMs) {
        int frames = 0;
        while (Video().VideoStart != 0 && nowMs <= untilMs) {
            ShowFrame(544, 408, landscapeJpeg);
            ++frames;
            nowMs += 100;
        }
        return frames;
    }
    void startRecording(const char* seconds) {
        get<QLineEdit>("eDureeVideo")->setText(QString::fromLatin1(seconds));
        get<QLineEdit>("eDureeVideo")->findChild<orka::TNumericEdit*>()->validateNow();
        nowMs = kT0;
        QTest::mouseClick(get<QPushButton>("SeqVideo"), Qt::LeftButton);
        QCOMPARE(Video().VideoStart, kT0);
    }

  private Q_SLOTS:
    void initTestCase() {
        QLocale::setDefault(QLocale::French);
        QVERIFY(dir.isValid());
        landscapeJpeg = scene.renderJpeg(544, 408, orkasim::SceneSettings{}, 1.0);
        const std::vector<uint8_t>& jpeg = landscapeJpeg;
        landscape = QImage::fromData(jpeg.data(), int(jpeg.size()), "JPEG")
                        .convertToFormat(QImage::Format_BGR888);
        QCOMPARE(landscape.size(), QSize(544, 408));
    }
    void init() {
        QVERIFY(OpenWindow([this] {
            SetTickSource([this] { return nowMs; });
            get<QLineEdit>("NomRep")->setText(dir.path());
        }));
        ChooseItem("DimPreView", 1);  // the large preview
        ChooseItem("MonoMultiVue", 6);
    }
    void cleanup() { DeleteWindow(); }

    // Two seconds at 10 frames/s: 21 Motion-JPEG frames of 544 x 408 that
    // play for 2 s; the codec setting is 1 during the recording only, and
    // choosing a mode without a recording leaves it alone.
    void landscapeRecording() {
        StoreQuickCompress(7);
        ChooseItem("MonoMultiVue", 6);
        QCOMPARE(StoredQuickCompress(), 7);

        startRecording("2");
        QCOMPARE(StoredQuickCompress(), 1);
        QCOMPARE(Video().VideoOptions.FrameRate, 5);  // the large preview
        QCOMPARE(feed(kT0 + 5000), 21);
        QCOMPARE(Video().VideoStart, 0u);
        QCOMPARE(get<QPushButton>("SeqVideo")->text(), QStringLiteral("Lancer la séquence"));
        QCOMPARE(get<QLineEdit>("eDureeVideo")->text(), QStringLiteral("2"));
        QCOMPARE(StoredQuickCompress(), 7);

        const QString file = Video().VideoFileName;
        QCOMPARE(QFileInfo(file).fileName(), QStringLiteral("VideoOrka00001.avi"));
        // The file is named where the pictures are.
        QCOMPARE(get<QLabel>("InfoStatut")->toolTip(),
                 QStringLiteral("Vidéo enregistrée : ") + QDir::toNativeSeparators(file));
        QCOMPARE(Strip()->Count(), 1);
        QVERIFY(Strip()->VideoAt(0));
        QCOMPARE(Strip()->PathAt(0), file);
#ifndef ORKA_FFPROBE
        QSKIP("ffprobe not found");
#endif
        const auto info = Probe(file);
        QCOMPARE(info.value("codec_name"), QStringLiteral("mjpeg"));
        QCOMPARE(info.value("width"), QStringLiteral("544"));
        QCOMPARE(info.value("height"), QStringLiteral("408"));
        QCOMPARE(info.value("nb_read_frames"), QStringLiteral("21"));
        QCOMPARE(info.value("duration").toDouble(), 2.0);
    }

    // During an unlimited recording the duration box is read-only: a key in
    // it runs no range check, and the recording goes on.
    void durationBoxIsLeftAloneWhileRecording() {
        startRecording("0");
        auto* box = get<QLineEdit>("eDureeVideo");
        const QString shown = box->text();
        box->setFocus();
        QTest::keyClick(box, Qt::Key_5);
        QVERIFY(!box->findChild<orka::TNumericEdit*>()->pending());
        box->findChild<orka::TNumericEdit*>()->validateNow();
        QCOMPARE(box->text(), shown);
        QCOMPARE(feed(kT0 + 3000), 31);
        QVERIFY(Video().VideoStart != 0);
        QTest::mouseClick(get<QPushButton>("SeqVideo"), Qt::LeftButton);
        QCOMPARE(Video().VideoStart, 0u);
    }

    // A quarter turn: the stream is upright, 408 x 544.
    void quarterTurnRecording() {
        get<QToolButton>("ImgVertD")->setChecked(true);
        startRecording("1");
        QCOMPARE(Video().VideoOptions.Width, 408);
        QCOMPARE(Video().VideoOptions.Height, 544);
        QCOMPARE(feed(kT0 + 5000), 11);  // turned upright by the live view
#ifndef ORKA_FFPROBE
        QSKIP("ffprobe not found");
#endif
        const auto info = Probe(Video().VideoFileName);
        QCOMPARE(info.value("codec_name"), QStringLiteral("mjpeg"));
        QCOMPARE(info.value("width"), QStringLiteral("408"));
        QCOMPARE(info.value("height"), QStringLiteral("544"));
        QCOMPARE(info.value("nb_read_frames"), QStringLiteral("11"));
        QCOMPARE(info.value("duration").toDouble(), 1.0);
    }

    // A delay of one minute and 10 s: the file at once, frames from 60 s,
    // the end 70 s after the start.
    void startDelay() {
        get<QLineEdit>("eDepVideo")->setText(QStringLiteral("1"));
        get<QLineEdit>("eDepVideo")->findChild<orka::TNumericEdit*>()->validateNow();
        QCOMPARE(Video().VideoDelay, 60000);
        startRecording("10");
        const QString file = Video().VideoFileName;
        QVERIFY(QFileInfo::exists(file));
        QCOMPARE(feed(kT0 + 59900), 600);
        QCOMPARE(Video().VideoCompressor->FileName(), file);
        const qint64 headersOnly = QFileInfo(file).size();
        QCOMPARE(feed(kT0 + 80000), 101);
        QCOMPARE(nowMs - 100, kT0 + 70000);
        QVERIFY(QFileInfo(file).size() > headersOnly);
    }

    // A folder that does not exist: one message in the status panel, and the
    // frames that follow add none.
    void fileCannotBeCreated() {
        get<QLineEdit>("NomRep")->setText(dir.filePath(QStringLiteral("absent/deeper")));
        startRecording("1");
        auto* status = get<QLabel>("InfoStatut");
        QVERIFY2(status->text().startsWith(QStringLiteral("Impossible de créer le fichier vidéo")),
                 qPrintable(status->text()));
        auto* seen = new TPaintedTexts(status);
        feed(kT0 + 5000);
        QVERIFY2(seen->texts.size() <= 1, qPrintable(seen->texts.join(" | ")));
        QCOMPARE(Video().VideoStart, 0u);
        QCOMPARE(Strip()->Count(), 0);  // no file: no entry
    }

    // Ten seconds recorded from the simulated camera's live view on the
    // window's own clock: the file plays for the time it was recorded.
    void tenSecondsFromTheSimulatedCamera() {
        orkasim::Camera::instance().reset();
        SetTickSource(orka::TickClock::TickSource{});
        bool started = false, ended = false;
        QElapsedTimer clock;
        QTimer steps;
        steps.setInterval(20);
        connect(&steps, &QTimer::timeout, this, [&] {
            if (!Live().LiveViewOn)
                return;
            if (!started && Live().FramesShown >= 3) {
                ChooseItem("MonoMultiVue", 6);
                get<QLineEdit>("eDureeVideo")->setText(QStringLiteral("10"));
                get<QLineEdit>("eDureeVideo")->findChild<orka::TNumericEdit*>()->validateNow();
                QTest::mouseClick(get<QPushButton>("SeqVideo"), Qt::LeftButton);
                started = Video().VideoStart != 0;
                clock.start();
            } else if (started && Video().VideoStart == 0) {
                ended = true;
            }
            if (ended || (clock.isValid() && clock.elapsed() > 20000)) {
                steps.stop();
                get<QCheckBox>("PreVisuActif")->setChecked(false);  // ends the live view
            }
        });
        steps.start();
        // The live view runs inside the connection click.
        QTest::mouseClick(get<QToolButton>("ConnectAPN"), Qt::LeftButton);
        QVERIFY(started);
        QVERIFY(ended);
        const qint64 recordedMs = clock.elapsed();
        QVERIFY2(recordedMs >= 10000 && recordedMs < 11500,
                 qPrintable(QString::number(recordedMs)));
#ifndef ORKA_FFPROBE
        QSKIP("ffprobe not found");
#endif
        const auto info = Probe(Video().VideoFileName);
        QCOMPARE(info.value("codec_name"), QStringLiteral("mjpeg"));
        QCOMPARE(info.value("width").toInt(), Video().VideoOptions.Width);
        QCOMPARE(info.value("height").toInt(), Video().VideoOptions.Height);
        QVERIFY2(info.value("nb_read_frames").toInt() >= 40,
                 qPrintable(info.value("nb_read_frames")));
        const double duration = info.value("duration").toDouble();
        QVERIFY2(duration > 9.5 && duration < 10.5, qPrintable(info.value("duration")));
    }
};

QTEST_MAIN(TestVideo)
#include "test_video.moc"
