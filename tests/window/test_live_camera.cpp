// The window against the simulated camera: the live-view loop (frames,
// read-outs, stopping it from inside: the check box, a disconnect, closing
// the window), the half press and "Mémo focus", the full press (bracketing,
// self-timer, after-view), the focus controls and the colour and
// white-balance controls, each checked on the wire.
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QtWidgets>

#include <functional>
#include <utility>
#include <vector>

#include "CameraWindowTest.h"
#include "Histogram.h"
#include "NumericEdit.h"
#include "RadioGroup.h"
#include "UtilsOrka.h"
#include "jpeg_samples.h"
#include "orkasim.h"

using namespace std::chrono_literals;

namespace {

constexpr uint16_t kS1 = 0x1005;
constexpr uint16_t kFileIn = 0x200C;
constexpr uint16_t kCapture = 0x1006;
constexpr uint16_t kTerminateCapture = 0x1007;
constexpr uint16_t kSetCamStat = 0x100C;
constexpr uint16_t kAdjFocusAction = 0x1020;
constexpr uint16_t kAfterView = 0x1021;
constexpr uint16_t kChangeFFP = 0x1025;
constexpr uint16_t kSetSpotAEMode = 0x1027;
constexpr uint16_t kSetCustomWBGain = 0x102A;
constexpr uint16_t kGetPointWBGain = 0x102C;
// Parameters of the simulated camera.
constexpr int kPDriveMode = 5;
constexpr int kPColorMode = 29;
constexpr int kPWhiteBalance = 2;
constexpr int kPFocusMode = 10;
constexpr int kPBWFilter = 78;

// A command the host sent: its code and first payload word (0 when none).
struct Sent {
    uint16_t code;
    int64_t arg;
    bool operator==(const Sent&) const = default;
};

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

// The host's commands, with SetCamStat given as (index << 32 | value) so that
// settings read as one number, other commands with their first payload word.
std::vector<Sent> HostCommands(std::initializer_list<uint16_t> codes = {}) {
    std::vector<Sent> out;
    for (const auto& e : orkasim::Camera::instance().log()) {
        if (e.direction != orkasim::Direction::HostToCamera)
            continue;
        if (codes.size() != 0 && std::find(codes.begin(), codes.end(), e.code) == codes.end())
            continue;
        int64_t arg = 0;
        if (e.code == kSetCamStat && e.bytes.size() >= 28)
            arg = int64_t{Le32(e.bytes, 16)} << 32 | Le32(e.bytes, 24);
        else if (e.bytes.size() >= 16)
            arg = Le32(e.bytes, 12);
        else if (e.bytes.size() >= 14)
            arg = e.bytes[12] | e.bytes[13] << 8;
        out.push_back({e.code, arg});
    }
    return out;
}

Sent Setting(int index, uint32_t value) {
    return {kSetCamStat, int64_t{index} << 32 | value};
}

void Choose(QComboBox* box, int entry) {
    box->setCurrentIndex(entry);
    Q_EMIT box->activated(entry);
}

}  // namespace

class TestLiveCamera : public TCameraWindowTest {
    Q_OBJECT

    void clickConnect() { QTest::mouseClick(get<QToolButton>("ConnectAPN"), Qt::LeftButton); }
    // Connected, live view off: the check box unchecked first makes the
    // connection's toggle leave it off.
    void connectQuietly() {
        QVERIFY(ConnectWithoutLiveView());
        QVERIFY(!Live().LiveViewOn);
        cam.clearLog();
    }
    void hoverShutter(bool over) {
        const QWidget* button = get<QWidget>("PriseVue");
        QCursor::setPos(over ? button->mapToGlobal(button->rect().center())
                             : base->mapToGlobal(QPoint(5, 5)));
    }

    // Runs `script` from a timer while the live-view loop runs inside
    // `start`; each step waits for its condition, the last one is followed
    // by the end of the live view. Returns false on a time-out.
    using Step = std::pair<std::function<bool()>, std::function<void()>>;
    bool runLive(std::vector<Step> script, const std::function<void()>& start,
                 std::chrono::milliseconds limit = 20s) {
        size_t next = 0;
        bool timedOut = false;
        QElapsedTimer clock;
        clock.start();
        QTimer timer;
        timer.setInterval(5);
        QObject::connect(&timer, &QTimer::timeout, [&] {
            if (next < script.size() && script[next].first()) {
                script[next].second();
                ++next;
            }
            if (next == script.size() || clock.elapsed() > limit.count()) {
                timedOut = next < script.size();
                timer.stop();
                if (base && Live().LiveViewOn)
                    get<QCheckBox>("PreVisuActif")->setChecked(false);
            }
        });
        timer.start();
        start();
        return !timedOut;
    }
    std::function<bool()> framesAtLeast(uint64_t n) {
        const uint64_t from = Live().FramesShown;
        return [this, from, n] { return Live().FramesShown >= from + n; };
    }

  private Q_SLOTS:
    void initTestCase() {
        QLocale::setDefault(QLocale::French);
        QVERIFY(images.isValid());
    }
    void init() {
        QVERIFY(OpenCameraWindow());
        hoverShutter(false);
    }
    void cleanup() {
        const std::string errors = CloseWindow();
        QVERIFY2(errors.empty(), errors.c_str());
    }

    // Connecting starts the live view inside the click; it shows frames with
    // the read-outs, follows an orientation change, and unchecking
    // "Prévisualisation active" ends it and blanks the preview.
    void liveViewRunsAndStops() {
        QString info, rate;
        QSize landscape, portrait;
        const bool done =
            runLive({{framesAtLeast(5),
                      [&] {
                          info = get<QLabel>("CamInfos")->text();
                          rate = get<QLabel>("FreqImg")->text();
                          landscape = Live().LiveImage.size();
                          QTest::mouseClick(get<QToolButton>("ImgVertD"), Qt::LeftButton);
                      }},
                     {framesAtLeast(3), [&] { portrait = Live().LiveImage.size(); }}},
                    [&] { clickConnect(); });
        QVERIFY(done);
        QVERIFY(Camera().Connected);
        QCOMPARE(landscape, QSize(544, 408));
        QCOMPARE(portrait, QSize(408, 544));
        QVERIFY2(info.count(QStringLiteral(" - ")) == 4, qPrintable(info));
        QVERIFY2(
            QRegularExpression(QStringLiteral("^FTr = \\d+,\\d\\d Img/s$")).match(rate).hasMatch(),
            qPrintable(rate));
        QVERIFY(!Live().LiveViewOn);
        QVERIFY(get<QLabel>("CamInfos")->text().isEmpty());
        QVERIFY(get<QLabel>("FreqImg")->text().isEmpty());
        const QImage blank = get<QLabel>("LiveView")->pixmap().toImage();
        QCOMPARE(blank.pixelColor(10, 10), base->palette().color(QPalette::Button));
    }

    // Frames 100 ms apart read as 10 frames a second, in the French format.
    void frameRateText() {
        cam.delayOperation(0x100A, 100ms);
        double rate = 0;
        QVERIFY(
            runLive({{framesAtLeast(12),
                      [&] {
                          QString text = get<QLabel>("FreqImg")->text();
                          text.remove(QStringLiteral("FTr = ")).remove(QStringLiteral(" Img/s"));
                          rate = QLocale().toDouble(text);
                      }}},
                    [&] { clickConnect(); }));
        QVERIFY2(rate > 7 && rate <= 10.01, qPrintable(QString::number(rate)));
    }

    // Unplugged during the live view, with a picture on its way: the window
    // leaves the live view and the connection at once, says so and names
    // the picture cut off; it keeps looking for the camera and connects again
    // once it is back.
    void unplugLeavesTheConnectionAndReplugConnectsAgain() {
        connectQuietly();
        for (int shot = 1; shot <= 2; ++shot) {
            QTest::mouseClick(get<QToolButton>("PriseVue"), Qt::LeftButton);
            QTRY_COMPARE_WITH_TIMEOUT(Strip()->Count(), shot, 10000);
        }
        QVERIFY(runLive({{framesAtLeast(3),
                          [&] {
                              cam.unplugDuring(kFileIn, 3000);
                              QVERIFY(cam.sendFile("DSC00001.JPG", 100000));
                          }}},
                        [&] { get<QCheckBox>("PreVisuActif")->setChecked(true); }));
        QTRY_VERIFY(!Camera().Connected);
        QVERIFY(!Live().LiveViewOn);
        QVERIFY(get<QToolButton>("ConnectAPN")->isChecked());
        QCOMPARE(get<QLabel>("InfoConnect")->text(), QStringLiteral("Recherche de l'APN"));
        // The picture cut off is kept beside the others and named.
        QCOMPARE(Strip()->Count(), 3);
        QVERIFY(Strip()->IncompleteAt(0) && !Strip()->IncompleteAt(1));
        const QString cut = Strip()->PathAt(0);
        QVERIFY2(cut.endsWith(QLatin1String(".partiel.JPG")) && QFileInfo::exists(cut),
                 qPrintable(cut));
        const QString said = get<QLabel>("InfoStatut")->toolTip();
        QVERIFY2(said.contains(QStringLiteral("\nL'appareil photo a été déconnecté.")) &&
                     (said.endsWith(cut) || said.contains(cut + QLatin1Char('\n'))),
                 qPrintable(said));

        cam.replug();
        get<QCheckBox>("PreVisuActif")->setChecked(false);
        SearchTick();
        QVERIFY(Camera().Connected);
        QCOMPARE(get<QLabel>("InfoConnect")->text(), QStringLiteral("APN connecté"));
    }

    // A disconnect or the window closing from inside the loop ends it.
    void stoppedFromInside() {
        QVERIFY(runLive({{framesAtLeast(3), [&] { clickConnect(); }}}, [&] { clickConnect(); }));
        QVERIFY(!Camera().Connected);
        QVERIFY(!cam.snapshot().sessionOpen);
        QCOMPARE(get<QLabel>("InfoConnect")->text(), QStringLiteral("APN non connecté"));

        QVERIFY(runLive({{framesAtLeast(3), [&] { base->close(); }}}, [&] { clickConnect(); }));
        QVERIFY(!Camera().Connected);
        QVERIFY(!cam.snapshot().sessionOpen);
    }

    // Resting on the button runs one cycle (S1 on, warnings, S1 off) and
    // shows CLIC1 then CLIC2; leaving it shows CLIC0.
    void halfPressCycle() {
        connectQuietly();
        std::vector<int> glyphs;
        connect(base, &TBase::shutterGlyphChanged, this, [&](int g) { glyphs.push_back(g); });
        hoverShutter(true);
        QTRY_VERIFY(Shutter().HalfPressed);
        QCOMPARE(HostCommands({kS1}), (std::vector<Sent>{{kS1, 1}, {kS1, 0}}));
        QCOMPARE(glyphs, (std::vector<int>{TBase::gClic1, TBase::gClic2}));
        // The camera meters again at the half press: the text follows its answer.
        QCOMPARE(get<QLabel>("InfoStatut")->text(), orka::WarningText(Camera().Status.warnings));
        QTest::qWait(150);  // further refreshes send nothing
        QCOMPARE(HostCommands({kS1}).size(), size_t{2});

        hoverShutter(false);
        QTRY_COMPARE(Shutter().ShownGlyph, int(TBase::gClic0));
        QVERIFY(!Shutter().HalfPressed);
        // Moving the focus point while the mouse is elsewhere refocuses once:
        // the flexible point picked on the preview, shown with the next frame.
        get<QRadioButton>("ModeFFP")->setChecked(true);
        cam.clearLog();
        MouseOnPreview(QEvent::MouseButtonPress, 40, 30, Qt::LeftButton);
        MouseOnPreview(QEvent::MouseButtonRelease, 40, 30, Qt::NoButton);
        const auto w = uint32_t(Live().PreviewWidth), h = uint32_t(Live().PreviewHeight);
        QVERIFY(ShowFrame(w, h, samples::Solid(int(w), int(h), Qt::gray)));
        QVERIFY(Shutter().RefocusPending || HostCommands({kS1}).size() == 2);
        QTRY_COMPARE(HostCommands({kS1}).size(), size_t{2});
    }

    // A half press the camera refuses: "X" latches, the glyph stays and the
    // window is not ready to shoot; the next pass tries again.
    void refusedHalfPressIsNotReady() {
        connectQuietly();
        cam.failOperation(kS1, 1);
        hoverShutter(true);
        QTRY_VERIFY(HostCommands({kS1}).size() >= 4);  // two cycles at least
        QVERIFY(!Shutter().HalfPressed);
        QCOMPARE(Shutter().ShownGlyph, int(TBase::gClic0));
        QCOMPARE(get<QLabel>("InfoErreur")->text(), QStringLiteral("X"));
        cam.failOperation(kS1, 0);
        QTRY_VERIFY(Shutter().HalfPressed);
        QCOMPARE(Shutter().ShownGlyph, int(TBase::gClic2));
        hoverShutter(false);
    }

    // "Mémo focus": the first hover keeps the camera half-pressed; later
    // hovers send nothing; unchecking the box lets the camera go.
    void memoFocus() {
        connectQuietly();
        auto* memo = get<QCheckBox>("MemoFocus");
        memo->setChecked(true);
        hoverShutter(true);
        QTRY_VERIFY(Shutter().FocusMemorised);
        QTRY_VERIFY(Shutter().HalfPressed);
        QCOMPARE(memo->text(), QStringLiteral("Foc mémorisée"));
        QCOMPARE(HostCommands({kS1}), (std::vector<Sent>{{kS1, 1}}));
        hoverShutter(false);
        QTRY_VERIFY(!Shutter().HalfPressed);
        hoverShutter(true);
        QTRY_VERIFY(Shutter().HalfPressed);
        QCOMPARE(HostCommands({kS1}).size(), size_t{1});

        hoverShutter(false);
        memo->setChecked(false);
        QCOMPARE(memo->text(), QStringLiteral("Mémo focus"));
        QCOMPARE(HostCommands({kS1}), (std::vector<Sent>{{kS1, 1}, {kS1, 0}}));
        cam.clearLog();
        hoverShutter(true);
        QTRY_COMPARE(HostCommands({kS1}), (std::vector<Sent>{{kS1, 1}, {kS1, 0}}));
    }

    // Bracketing: one click, three pictures, glyphs IMG1OK, IMG2OK, IMG3OK.
    void bracketing() {
        connectQuietly();
        // "3 images décalées ± 0, 3": the camera in its bracketing drive mode.
        ChooseItem("MonoMultiVue", 1);
        QCOMPARE(Camera().Status.driveMode, 3);
        std::vector<int> glyphs;
        connect(base, &TBase::shutterGlyphChanged, this, [&](int g) { glyphs.push_back(g); });
        QTest::mouseClick(get<QToolButton>("PriseVue"), Qt::LeftButton);
        std::vector<uint16_t> codes;
        for (const Sent& s : HostCommands({kCapture, kTerminateCapture}))
            codes.push_back(s.code);
        QCOMPARE(codes, (std::vector<uint16_t>{kCapture, kTerminateCapture, kCapture,
                                               kTerminateCapture, kCapture, kTerminateCapture}));
        std::vector<int> results;
        for (int g : glyphs)
            if (g >= TBase::gClicOk)
                results.push_back(g);
        QCOMPARE(results, (std::vector<int>{TBase::gImg1Ok, TBase::gImg2Ok, TBase::gImg3Ok}));
        QCOMPARE(Camera().ErrorLatch, uint8_t{0});
        // The pictures land in the folder chosen.
        QTRY_VERIFY_WITH_TIMEOUT(QDir(images.path()).entryList(QDir::Files).size() >= 3, 10000);
    }

    // A picture taken shows in the strip, newest first, with its thumbnail;
    // a double click opens it and the button its folder. Prints the time
    // from the file under its final name to its thumbnail on screen.
    void picturesInTheStrip() {
        connectQuietly();
        TSessionStrip* strip = Strip();
        QList<QUrl> opened;
        strip->OpenUrlHook = [&](const QUrl& url) {
            opened << url;
            return true;
        };
        QElapsedTimer clock;
        qint64 fileAt = -1, thumbAt = -1;
        const auto files = [this] { return QDir(images.path()).entryList(QDir::Files).size(); };
        const qsizetype before = files();
        QTimer watch;  // a picture appears under its final name once complete
        connect(&watch, &QTimer::timeout, this, [&] {
            if (fileAt < 0 && files() > before)
                fileAt = clock.elapsed();
        });
        connect(strip, &TSessionStrip::thumbnailShown, this, [&] {
            if (thumbAt < 0)
                thumbAt = clock.elapsed();
        });
        clock.start();
        watch.start(1);
        for (int shot = 1; shot <= 2; ++shot) {
            QTest::mouseClick(get<QToolButton>("PriseVue"), Qt::LeftButton);
            QTRY_COMPARE_WITH_TIMEOUT(strip->Count(), shot, 10000);
        }
        QTRY_VERIFY(strip->HasThumbnailAt(0) && strip->HasThumbnailAt(1));
        QVERIFY(strip->PathAt(0) > strip->PathAt(1));  // the newer number first
        QVERIFY(!strip->IncompleteAt(0));
        // The newest picture's place, and its time from the release to the
        // screen.
        QTRY_VERIFY(
            get<QLabel>("InfoStatut")
                ->toolTip()
                .startsWith(strip->PathAt(0).prepend(QStringLiteral("Image enregistrée : ")) +
                            QStringLiteral(", à l'écran en ")));
        qInfo("last byte on disk to thumbnail shown: %lld ms", thumbAt - fileAt);
        QVERIFY(fileAt >= 0 && thumbAt >= fileAt);

        auto* list = strip->findChild<QListWidget*>("Vignettes");
        const QRect first = list->visualItemRect(list->item(1));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, first.center());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, first.center());
        QTest::mouseClick(strip->findChild<QPushButton*>("OuvrirDossier"), Qt::LeftButton);
        QCOMPARE(opened, (QList<QUrl>{QUrl::fromLocalFile(strip->PathAt(1)),
                                      QUrl::fromLocalFile(images.path())}));
    }

    // A raw picture shows once, with the thumbnail of its ".thm" companion.
    void rawPictureShowsItsCompanion() {
        connectQuietly();
        Choose(get<QComboBox>("QualImg"), 0);  // "RAW": a ".qrw" and its ".thm"
        QTest::mouseClick(get<QToolButton>("PriseVue"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(Strip()->Count() == 1 && Strip()->HasThumbnailAt(0), 10000);
        QVERIFY2(Strip()->PathAt(0).endsWith(QLatin1String(".qrw")),
                 qPrintable(Strip()->PathAt(0)));
        QTest::qWait(100);
        QCOMPARE(Strip()->Count(), 1);
    }

    // The self-timer holds the first release for the delay set.
    void selfTimer() {
        connectQuietly();
        get<TRadioGroup>("MonoMultiVue")->setItemIndex(5);
        get<QLineEdit>("RetDecl")->setText(QStringLiteral("2"));
        get<QLineEdit>("RetDecl")->findChild<orka::TNumericEdit*>()->validateNow();
        QCOMPARE(Shutter().SelfTimerDelay, 2);
        auto* seen = new TPaintedTexts(get<QLabel>("InfoStatut"));
        const auto clicked = orkasim::Clock::now();
        QTest::mouseClick(get<QToolButton>("PriseVue"), Qt::LeftButton);
        auto capture = orkasim::Clock::time_point{};
        for (const auto& e : cam.log())
            if (e.direction == orkasim::Direction::HostToCamera && e.code == kCapture) {
                capture = e.time;
                break;
            }
        const auto waited =
            std::chrono::duration_cast<std::chrono::milliseconds>(capture - clicked).count();
        QVERIFY2(waited > 2000 && waited < 3500, qPrintable(QString::number(waited)));
        QCOMPARE(Shutter().ShownGlyph, int(TBase::gClicOk));
        // The countdown was painted while the window took no other input.
        const QString cancel = QStringLiteral(" (Échap ou clic pour annuler)");
        QVERIFY2(
            seen->texts.contains(QStringLiteral("Retardateur : déclenchement dans 2 s") + cancel) &&
                seen->texts.contains(QStringLiteral("Retardateur : déclenchement dans 1 s") +
                                     cancel),
            qPrintable(seen->texts.join(" | ")));
    }

    // With "Visualisation des images prises", the picture is shown and "Non"
    // tells the camera to drop it.
    void afterViewNo() {
        connectQuietly();
        get<QCheckBox>("PostVisuActif")->setChecked(true);
        QVERIFY(Shutter().AfterViewOn);
        QString question;
        QTimer answer;
        answer.setInterval(20);
        connect(&answer, &QTimer::timeout, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            question = box->text();
            for (QAbstractButton* b : box->buttons())
                if (b->text() == QStringLiteral("Non"))
                    b->click();
        });
        answer.start();
        cam.clearLog();
        QTest::mouseClick(get<QToolButton>("PriseVue"), Qt::LeftButton);
        answer.stop();
        QCOMPARE(question, QStringLiteral("Enregistrer cette image ?"));
        const auto confirmations = HostCommands({kAfterView});
        QVERIFY(!confirmations.empty());
        QCOMPARE(confirmations.back().arg, int64_t{1});  // on the wire: 1 = discard
        QCOMPARE(HostCommands({kTerminateCapture}).size(), size_t{1});
    }

    // Switching to manual focus with the link on sends the link off, then
    // the focus mode; back to autofocus the link comes back on first.
    void focusModeOrder() {
        connectQuietly();
        QTest::mouseClick(get<QRadioButton>("ModeFFP"), Qt::LeftButton);
        QTest::mouseClick(get<QCheckBox>("FFPetSpotAE"), Qt::LeftButton);
        QCOMPARE(HostCommands({kChangeFFP, kSetSpotAEMode}),
                 (std::vector<Sent>{{kChangeFFP, 1}, {kSetSpotAEMode, 0}}));

        cam.clearLog();
        QTest::mouseClick(get<QRadioButton>("ModeMF"), Qt::LeftButton);
        QCOMPARE(
            HostCommands({kChangeFFP, kSetSpotAEMode, kSetCamStat}),
            (std::vector<Sent>{{kSetSpotAEMode, 1}, Setting(kPFocusMode, 1), {kChangeFFP, 1}}));
        QVERIFY(get<QToolButton>("FocP")->isEnabled());
        QVERIFY(get<QWidget>("DistFoc")->isVisible());

        // The motor runs while the button is held.
        cam.clearLog();
        QTest::mousePress(get<QToolButton>("FocP"), Qt::LeftButton);
        QCOMPARE(HostCommands({kAdjFocusAction}), (std::vector<Sent>{{kAdjFocusAction, 1}}));
        QTest::mouseRelease(get<QToolButton>("FocP"), Qt::LeftButton);
        QCOMPARE(HostCommands({kAdjFocusAction}),
                 (std::vector<Sent>{{kAdjFocusAction, 1}, {kAdjFocusAction, 0}}));

        cam.clearLog();
        QTest::mouseClick(get<QRadioButton>("ModeAF"), Qt::LeftButton);
        QCOMPARE(
            HostCommands({kChangeFFP, kSetSpotAEMode, kSetCamStat}),
            (std::vector<Sent>{{kSetSpotAEMode, 0}, Setting(kPFocusMode, 0), {kChangeFFP, 1}}));
        QVERIFY(get<QCheckBox>("FFPetSpotAE")->isChecked());

        cam.clearLog();
        QTest::mouseClick(get<QRadioButton>("FocusCentr"), Qt::LeftButton);
        QCOMPARE(HostCommands({kChangeFFP, kSetSpotAEMode}),
                 (std::vector<Sent>{{kChangeFFP, 0}, {kSetSpotAEMode, 1}}));
        QVERIFY(!get<QCheckBox>("FFPetSpotAE")->isEnabled());
    }

    // Colour mode and filter: solarisation disables the filter; black and
    // white makes it the monochrome filter, sent as such.
    void colourModeAndFilter() {
        connectQuietly();
        Choose(get<QComboBox>("RCouleur"), 5);  // "Solarisation"
        QCOMPARE(HostCommands({kSetCamStat}), (std::vector<Sent>{Setting(kPColorMode, 3)}));
        QVERIFY(!get<QSlider>("FCoul")->isEnabled());
        Choose(get<QComboBox>("RCouleur"), 4);  // "Noir et Blanc"
        QVERIFY(get<QSlider>("FCoul")->isEnabled());
        QCOMPARE(get<QLabel>("lbFCoul")->text(), QStringLiteral("Filtre monochrome"));
        QCOMPARE(Camera().Status.colorMode, 1);
        cam.clearLog();
        get<QSlider>("FCoul")->setValue(-2);
        QCOMPARE(get<QLineEdit>("eFCoul")->text(), QStringLiteral("-2"));
        QCOMPARE(HostCommands({kSetCamStat}), (std::vector<Sent>{Setting(kPBWFilter, 3)}));
    }

    // "Personnalisé" sends the custom gains, then the preset; other presets
    // only the preset. The custom word holds the temperature and CC index.
    void whiteBalance() {
        connectQuietly();
        auto* presets = get<QComboBox>("BalBlanc");
        Choose(presets, 5);
        auto sent = HostCommands({kSetCustomWBGain, kSetCamStat});
        QVERIFY(sent.size() >= 2);
        QCOMPARE(sent.front().code, kSetCustomWBGain);
        QCOMPARE(sent.back().code, kSetCamStat);
        QCOMPARE(sent.back().arg >> 32, int64_t{kPWhiteBalance});
        QCOMPARE(get<QWidget>("BoxBalCoul")->height(), 151);
        QCOMPARE(Colour().CustomWB.Word(), 6000u);

        cam.clearLog();
        Choose(presets, 1);
        sent = HostCommands({kSetCustomWBGain, kSetCamStat});
        QCOMPARE(sent.size(), size_t{1});
        QCOMPARE(sent.front().arg >> 32, int64_t{kPWhiteBalance});
        QCOMPARE(get<QWidget>("BoxBalCoul")->height(), 51);

        get<QSlider>("ICC")->setValue(-15);
        QCOMPARE(Colour().CustomWB.Word() >> 16, 0xFFF1u);
        QCOMPARE(Colour().CustomWB.Word() & 0xFFFF, 6000u);
        get<QSlider>("ICC")->setValue(0);

        // "Prélever" at 6000 K and 0 has nothing to send.
        Choose(presets, 5);
        cam.clearLog();
        QTest::mouseClick(get<QPushButton>("DefWB"), Qt::LeftButton);
        QVERIFY(get<QPushButton>("DefWB")->isChecked());
        QVERIFY(HostCommands().empty());
        QVERIFY(!get<QPushButton>("Appliquer")->isEnabled());

        // The pick ends with a click on the preview; "Appliquer" measures
        // that point and moves the track bars to the result.
        QTest::mouseClick(get<QLabel>("LiveView"), Qt::LeftButton, {}, QPoint(2, 3));
        QVERIFY(!get<QPushButton>("DefWB")->isChecked());
        QVERIFY(get<QPushButton>("Appliquer")->isEnabled());
        QCOMPARE(QPoint(Live().GreyPoint[0], Live().GreyPoint[1]), QPoint(12, 18));  // 544 x 408
        cam.clearLog();
        QTest::mouseClick(get<QPushButton>("Appliquer"), Qt::LeftButton);
        QVERIFY(!HostCommands({kGetPointWBGain}).empty());
        const uint32_t word = Colour().CustomWB.Word();
        QCOMPARE(get<QSlider>("TCoul")->value(), int(word & 0xFFFF));
        QCOMPARE(get<QSlider>("ICC")->value(), int(int16_t(word >> 16)));
        QCOMPARE(get<QLineEdit>("eTCoul")->text(), QString::number(word & 0xFFFF) + " °K");
        QVERIFY(get<QLabel>("BalPersRVB")->text().isEmpty());
    }

    // With every aid on, the preview shows the peaking and clipping marks and
    // the channel curves, while the video records the frame without them.
    void aidsOverPreviewNotInVideo() {
        cam.prerenderFrames(1);  // the same frame every time
        get<QCheckBox>("FocusPeaking")->setChecked(true);
        get<QSlider>("PeakSeuil")->setValue(80);
        get<QCheckBox>("AlerteHL")->setChecked(true);
        get<QSpinBox>("NiveauHL")->setValue(200);
        get<QComboBox>("StyleAlerte")->setCurrentIndex(1);  // solid colour
        get<QCheckBox>("HistoRVB")->setChecked(true);
        auto choose = [&](int mode) {
            QTest::mouseClick(get<TRadioGroup>("MonoMultiVue")->item(mode), Qt::LeftButton);
        };
        QImage shown, frame, histogram;
        std::vector<QPoint> peaks, marked;
        QString file;
        const bool done =
            runLive({{framesAtLeast(3),
                      [&] {
                          choose(6);
                          QTest::mouseClick(get<QPushButton>("SeqVideo"), Qt::LeftButton);
                      }},
                     {framesAtLeast(4),
                      [&] {
                          shown = Live().LiveImage.convertToFormat(QImage::Format_RGB888);
                          frame = QImage::fromData(Live().FrameBuffer.data(),
                                                   int(Live().FrameBuffer.size()), "JPEG")
                                      .convertToFormat(QImage::Format_RGB888);
                          histogram = get<QLabel>("ImgHisto")->pixmap().toImage();
                          for (int y = 0; y < Live().Assist.height(); ++y)
                              if (const uint8_t* m = Live().Assist.MarksOfRow(y))
                                  for (int x = 0; x < Live().Assist.width(); ++x) {
                                      if (m[x] & orka::kMarkPeak)
                                          peaks.push_back({x, y});
                                      if (m[x])
                                          marked.push_back({x, y});
                                  }
                          file = Video().VideoFileName;
                          choose(0);  // closes the video
                      }}},
                    [&] { clickConnect(); });
        QVERIFY(done);
        QCOMPARE(shown.size(), QSize(544, 408));
        QCOMPARE(frame.size(), shown.size());
        QVERIFY2(peaks.size() > 200 && marked.size() > peaks.size(),
                 qPrintable(QStringLiteral("%1 %2").arg(peaks.size()).arg(marked.size())));
        size_t red = 0;
        for (const QPoint& p : peaks)
            red += shown.pixel(p) == qRgb(255, 0, 0);
        QVERIFY(red > peaks.size() * 95 / 100);  // the focus marks may cover a few
        bool curves = false;
        for (int x = 0; x < histogram.width() && !curves; ++x)
            for (int y = 0; y < histogram.height() && !curves; ++y)
                curves = histogram.pixel(x, y) == qRgb(224, 0, 0);
        QVERIFY(curves);

        // The first frame of the video: the first Motion-JPEG chunk.
        QFile avi(file);
        QVERIFY(avi.open(QIODevice::ReadOnly));
        const QByteArray bytes = avi.readAll();
        const qsizetype chunk = bytes.indexOf("00dc", bytes.indexOf("movi"));
        QVERIFY(chunk > 0);
        const auto* at = reinterpret_cast<const uint8_t*>(bytes.constData()) + chunk + 4;
        const uint32_t length = at[0] | at[1] << 8 | at[2] << 16 | uint32_t(at[3]) << 24;
        const QImage recorded =
            QImage::fromData(bytes.mid(chunk + 8, length)).convertToFormat(QImage::Format_RGB888);
        QCOMPARE(recorded.size(), frame.size());
        // Over the marked pixels the video stays close to the camera's frame,
        // the preview far from it.
        auto meanDifference = [&](const QImage& a) {
            double sum = 0;
            for (const QPoint& p : marked) {
                const QRgb u = a.pixel(p), v = frame.pixel(p);
                sum += std::abs(qRed(u) - qRed(v)) + std::abs(qGreen(u) - qGreen(v)) +
                       std::abs(qBlue(u) - qBlue(v));
            }
            return sum / (3.0 * double(marked.size()));
        };
        QVERIFY2(meanDifference(recorded) < 12,
                 qPrintable(QString::number(meanDifference(recorded))));
        QVERIFY2(meanDifference(shown) > 40, qPrintable(QString::number(meanDifference(shown))));
    }
};

QTEST_MAIN(TestLiveCamera)
#include "test_live_camera.moc"
