// AVI files as players see them: ffprobe/ffmpeg read what TAVICompressor and
// VideoRecorder write (codec, size, frame count, duration, pixels), plus the
// header offsets, the naming of files and the rollover before the size limit.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdlib>
#include <map>

#include "AVICompression.h"

namespace {

// A frame with structure a decoder must keep: a gradient, a bright block in
// the top left corner, and per-frame noise.
QImage MakeFrame(int width, int height, int seed = 0) {
    QImage image(width, height, QImage::Format_BGR888);
    uint32_t state = 12345u + uint32_t(seed);
    for (int y = 0; y < height; ++y) {
        uint8_t* row = image.scanLine(y);
        for (int x = 0; x < width; ++x) {
            state = state * 1664525u + 1013904223u;
            const int noise = int(state >> 29);
            const bool corner = x < width / 4 && y < height / 4;
            row[3 * x + 0] = uint8_t(corner ? 250 : (x * 200 / width) + noise);
            row[3 * x + 1] = uint8_t(corner ? 30 : (y * 200 / height) + noise);
            row[3 * x + 2] = uint8_t(corner ? 30 : 100 + noise);
        }
    }
    return image;
}

bool HaveFfmpeg() {
    return !QStandardPaths::findExecutable(QStringLiteral("ffprobe")).isEmpty() &&
           !QStandardPaths::findExecutable(QStringLiteral("ffmpeg")).isEmpty();
}

QByteArray Run(const QString& program, const QStringList& args) {
    QProcess process;
    process.start(program, args);
    process.waitForFinished(30000);
    return process.readAllStandardOutput();
}

// Stream facts as ffprobe reports them after decoding every frame.
std::map<QString, QString> Probe(const QString& file) {
    const QByteArray out =
        Run(QStringLiteral("ffprobe"),
            {"-v", "error", "-select_streams", "v:0", "-count_frames", "-show_entries",
             "stream=codec_name,width,height,nb_read_frames,duration", "-of",
             "default=noprint_wrappers=1", file});
    std::map<QString, QString> facts;
    for (const QByteArray& line : out.split('\n')) {
        const int eq = line.indexOf('=');
        if (eq > 0)
            facts[QString::fromLatin1(line.left(eq))] = QString::fromLatin1(line.mid(eq + 1));
    }
    return facts;
}

// The first frame decoded by ffmpeg as top-down BGR rows.
QByteArray FirstFrameBgr(const QString& file) {
    return Run(QStringLiteral("ffmpeg"), {"-v", "error", "-i", file, "-frames:v", "1", "-f",
                                          "rawvideo", "-pix_fmt", "bgr24", "-"});
}

QByteArray Bytes(const QImage& image) {
    QByteArray bytes;
    for (int y = 0; y < image.height(); ++y)
        bytes.append(reinterpret_cast<const char*>(image.constScanLine(y)), image.width() * 3);
    return bytes;
}

uint32_t Le32(const QByteArray& b, qsizetype at) {
    const auto* p = reinterpret_cast<const uint8_t*>(b.constData() + at);
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

QByteArray ReadAll(const QString& file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

orka::TAVIOptions Options(int width, int height, bool compress, int frameRate = 10) {
    orka::TAVIOptions options;
    orka::DefaultAVIOptions(options);
    options.Width = width;
    options.Height = height;
    options.Compress = compress;
    options.FrameRate = frameRate;
    return options;
}

void Touch(const QString& path) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
}

}  // namespace

TEST(NextVideoFileName, NumbersContinueFromTheHighestPresent) {
    QTemporaryDir dir;
    const QString d = dir.path();
    EXPECT_EQ(orka::NextVideoFileName(d, "VideoOrka"), d + "/VideoOrka00001.avi");
    EXPECT_EQ(orka::NextVideoFileName(d + "/", "VideoOrka"), d + "/VideoOrka00001.avi");

    Touch(d + "/VideoOrka00012.avi");
    Touch(d + "/Autre00050.avi");  // another prefix does not count
    Touch(d + "/VideoOrka00040.jpg");
    EXPECT_EQ(orka::NextVideoFileName(d, "VideoOrka"), d + "/VideoOrka00013.avi");

    QDir(d).remove("VideoOrka00012.avi");
    Touch(d + "/VideoOrka00001.avi");
    Touch(d + "/VideoOrka00007.avi");
    EXPECT_EQ(orka::NextVideoFileName(d, "VideoOrka"),
              d + "/VideoOrka00008.avi");  // gap not reused
}

TEST(NextVideoFileName, NamesWithoutFiveDigitsCountAsOne) {
    QTemporaryDir dir;
    const QString d = dir.path();
    Touch(d + "/VideoOrkaABCDE.avi");
    Touch(d + "/VideoOrka-0009.avi");
    Touch(d + "/VideoOrka.avi");
    EXPECT_EQ(orka::NextVideoFileName(d, "VideoOrka"), d + "/VideoOrka00002.avi");
}

TEST(NextVideoFileName, NeverReturnsATakenNameBeyondFiveDigits) {
    QTemporaryDir dir;
    const QString d = dir.path();
    Touch(d + "/V99999.avi");
    Touch(d + "/V100000.avi");  // reads back as 10000
    EXPECT_EQ(orka::NextVideoFileName(d, "V"), d + "/V100001.avi");
}

// The fields players and FixAviTiming rely on sit where the standard layout puts them.
TEST(AviFile, HeaderOffsetsAndIndex) {
    QTemporaryDir dir;
    const QString file = dir.filePath("a.avi");
    orka::TAVICompressor avi;
    ASSERT_EQ(avi.Open(file, Options(544, 408, true, 5)), orka::kAviOk);
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(avi.AddFrame(MakeFrame(544, 408, i)), orka::kAviOk);
    const qint64 expectedSize = avi.ClosedSize();
    ASSERT_EQ(avi.Close(), orka::kAviOk);

    const QByteArray b = ReadAll(file);
    ASSERT_EQ(b.size(), expectedSize);
    EXPECT_EQ(b.left(4), "RIFF");
    EXPECT_EQ(Le32(b, 4), uint32_t(b.size() - 8));
    EXPECT_EQ(b.mid(8, 4), "AVI ");
    EXPECT_EQ(b.mid(24, 4), "avih");
    EXPECT_EQ(Le32(b, 48), 3u);  // total frames
    EXPECT_EQ(b.mid(100, 4), "strh");
    EXPECT_EQ(b.mid(108, 4), "vids");
    EXPECT_EQ(b.mid(112, 4), "MJPG");
    EXPECT_EQ(Le32(b, orka::kAviStreamScaleOffset), 1000u);
    EXPECT_EQ(Le32(b, orka::kAviStreamRateOffset), 5000u);
    EXPECT_EQ(Le32(b, orka::kAviStreamLengthOffset), 3u);
    EXPECT_EQ(b.mid(164, 4), "strf");
    EXPECT_EQ(Le32(b, 176), 544u);
    EXPECT_EQ(Le32(b, 180), 408u);
    EXPECT_EQ(b.mid(188, 4), "MJPG");

    // Every index entry points at its frame chunk, and chunks are complete.
    const qsizetype movi = b.indexOf("movi");
    const qsizetype idx1 = b.lastIndexOf("idx1");
    ASSERT_GT(movi, 0);
    ASSERT_EQ(Le32(b, idx1 + 4), 3u * 16);
    for (int i = 0; i < 3; ++i) {
        const qsizetype entry = idx1 + 8 + 16 * i;
        EXPECT_EQ(b.mid(entry, 4), "00dc");
        const qsizetype chunk = movi + qsizetype(Le32(b, entry + 8));
        EXPECT_EQ(b.mid(chunk, 4), "00dc");
        EXPECT_EQ(Le32(b, chunk + 4), Le32(b, entry + 12));
        EXPECT_EQ(uint8_t(b[chunk + 8]), 0xFF);  // a JPEG stream starts with SOI
        EXPECT_EQ(uint8_t(b[chunk + 9]), 0xD8);
    }
}

struct PlayCase {
    bool compress;
    int width;
    int height;
};

class AviPlayback : public testing::TestWithParam<PlayCase> {};

// Landscape and quarter-turn files, compressed and not, read back by ffmpeg
// with the right codec, size, frame count, pixels and, after the timing fix,
// a duration equal to the recording time.
TEST_P(AviPlayback, FfprobeReadsWhatWasRecorded) {
    if (!HaveFfmpeg())
        GTEST_SKIP() << "ffprobe/ffmpeg not installed";
    const PlayCase c = GetParam();
    QTemporaryDir dir;
    const QString file = dir.filePath("v.avi");
    orka::TAVICompressor avi;
    ASSERT_EQ(avi.Open(file, Options(c.width, c.height, c.compress)), orka::kAviOk);
    const QImage first = MakeFrame(c.width, c.height, 0);
    ASSERT_EQ(avi.AddFrame(first), orka::kAviOk);
    for (int i = 1; i < 7; ++i)
        ASSERT_EQ(avi.AddFrame(MakeFrame(c.width, c.height, i)), orka::kAviOk);
    ASSERT_EQ(avi.Close(), orka::kAviOk);
    ASSERT_TRUE(orka::FixAviTiming(file, 10000, 12345));

    auto facts = Probe(file);
    EXPECT_EQ(facts["codec_name"], c.compress ? "mjpeg" : "rawvideo");
    EXPECT_EQ(facts["width"].toInt(), c.width);
    EXPECT_EQ(facts["height"].toInt(), c.height);
    EXPECT_EQ(facts["nb_read_frames"].toInt(), 7);
    EXPECT_NEAR(facts["duration"].toDouble(), 2.345, 0.0015);

    const QByteArray decoded = FirstFrameBgr(file);
    const QByteArray original = Bytes(first);
    ASSERT_EQ(decoded.size(), original.size());
    if (!c.compress) {
        EXPECT_TRUE(decoded == original) << "uncompressed frames come back bit for bit";
    } else {
        double diff = 0;
        for (qsizetype i = 0; i < decoded.size(); ++i)
            diff += std::abs(int(uint8_t(decoded[i])) - int(uint8_t(original[i])));
        EXPECT_LT(diff / double(decoded.size()), 8.0) << "orientation or colour order lost";
    }
}

INSTANTIATE_TEST_SUITE_P(Orientations, AviPlayback,
                         testing::Values(PlayCase{true, 544, 408}, PlayCase{true, 408, 544},
                                         PlayCase{false, 544, 408}, PlayCase{false, 408, 544},
                                         PlayCase{true, 240, 320}),
                         [](const testing::TestParamInfo<PlayCase>& info) {
                             return std::string(info.param.compress ? "Mjpg" : "Dib") +
                                    std::to_string(info.param.width) + "x" +
                                    std::to_string(info.param.height);
                         });

TEST(AviFile, RawRowsWithStrideAndRefusals) {
    QTemporaryDir dir;
    orka::TAVICompressor avi;
    EXPECT_EQ(avi.AddFrame(MakeFrame(32, 24)), orka::kAviNotOpen);
    EXPECT_EQ(avi.Open(dir.filePath("x.avi"), Options(0, 24, true)), orka::kAviBadOptions);
    orka::TAVIOptions other = Options(32, 24, true);
    other.Handler = "IV50";
    EXPECT_EQ(avi.Open(dir.filePath("x.avi"), other), orka::kAviBadOptions);
    EXPECT_EQ(avi.Open(dir.filePath("x.avi"), Options(32, 24, true, 0)), orka::kAviBadOptions);

    ASSERT_EQ(avi.Open(dir.filePath("x.avi"), Options(32, 24, false)), orka::kAviOk);
    EXPECT_EQ(avi.AddFrame(MakeFrame(24, 32)), orka::kAviBadFrame);
    EXPECT_EQ(avi.AddFrame(QImage()), orka::kAviBadFrame);
    const QImage frame = MakeFrame(32, 24);
    EXPECT_EQ(avi.AddFrame(frame.constBits(), 10),
              orka::kAviBadFrame);  // stride shorter than a row
    // Rows may be given bottom first with a negative stride.
    EXPECT_EQ(avi.AddFrame(frame.constScanLine(23), -frame.bytesPerLine()), orka::kAviOk);
    EXPECT_EQ(avi.AddFrame(frame.convertToFormat(QImage::Format_RGB32)), orka::kAviOk);
    EXPECT_EQ(avi.FrameCount(), 2);
    EXPECT_EQ(avi.Close(), orka::kAviOk);
}

TEST(AviFile, OpenInMissingDirectoryFails) {
    QTemporaryDir dir;
    orka::TAVICompressor avi;
    EXPECT_EQ(avi.Open(dir.filePath("absent/v.avi"), Options(320, 240, true)),
              orka::kAviCannotCreate);
    EXPECT_FALSE(avi.IsOpen());
    EXPECT_EQ(avi.Close(), orka::kAviOk);
}

TEST(FixAviTiming, RewritesScaleAndRateOnlyForOwnFilesWithFrames) {
    QTemporaryDir dir;
    const QString file = dir.filePath("t.avi");
    {
        orka::TAVICompressor avi;
        ASSERT_EQ(avi.Open(file, Options(32, 24, false)), orka::kAviOk);
        ASSERT_EQ(avi.Close(), orka::kAviOk);
    }
    const QByteArray empty = ReadAll(file);
    EXPECT_FALSE(orka::FixAviTiming(file, 0, 5000));  // no frame: a zero rate would break the file
    EXPECT_EQ(ReadAll(file), empty);

    {
        orka::TAVICompressor avi;
        ASSERT_EQ(avi.Open(file, Options(32, 24, false)), orka::kAviOk);
        for (int i = 0; i < 4; ++i)
            ASSERT_EQ(avi.AddFrame(MakeFrame(32, 24, i)), orka::kAviOk);
        ASSERT_EQ(avi.Close(), orka::kAviOk);
    }
    EXPECT_FALSE(orka::FixAviTiming(file, 5000, 5000));
    ASSERT_TRUE(orka::FixAviTiming(file, 1000, 3500));
    const QByteArray b = ReadAll(file);
    EXPECT_EQ(Le32(b, orka::kAviStreamScaleOffset), 2500u);
    EXPECT_EQ(Le32(b, orka::kAviStreamRateOffset), 4000u);
    EXPECT_EQ(Le32(b, orka::kAviStreamLengthOffset), 4u);
    EXPECT_EQ(Le32(b, 32), 100000u);  // main header left as written

    const QString text = dir.filePath("notes.avi");
    QFile f(text);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(200, 'x'));
    f.close();
    EXPECT_FALSE(orka::FixAviTiming(text, 0, 1000));
    EXPECT_EQ(ReadAll(text), QByteArray(200, 'x'));
    EXPECT_FALSE(orka::FixAviTiming(dir.filePath("none.avi"), 0, 1000));
}

// A long recording continues in the next numbered file before the limit;
// every part is a complete file and the parts' durations add up.
TEST(VideoRecorder, RollsOverBeforeTheSizeLimit) {
    QTemporaryDir dir;
    const qint64 limit = 40000;  // 32 x 24 uncompressed: 2304 bytes a frame
    orka::VideoRecorder recorder(limit);
    ASSERT_EQ(recorder.Start(dir.path() + "/", "VideoOrka", Options(32, 24, false), 1000),
              orka::kAviOk);
    for (int i = 0; i < 40; ++i)
        ASSERT_EQ(recorder.AddFrame(MakeFrame(32, 24, i), 1000 + 100 * i), orka::kAviOk);
    ASSERT_EQ(recorder.Stop(5000), orka::kAviOk);

    const QStringList names = recorder.FileNames();
    ASSERT_EQ(names.size(), 3);
    for (int i = 0; i < names.size(); ++i) {
        EXPECT_EQ(
            names[i],
            dir.path() + QStringLiteral("/VideoOrka%1.avi").arg(i + 1, 5, 10, QLatin1Char('0')));
        EXPECT_LT(QFileInfo(names[i]).size(), limit);
    }
    if (!HaveFfmpeg())
        GTEST_SKIP() << "ffprobe not installed";
    int frames = 0;
    double seconds = 0;
    for (const QString& name : names) {
        auto facts = Probe(name);
        EXPECT_EQ(facts["codec_name"], "rawvideo");
        frames += facts["nb_read_frames"].toInt();
        seconds += facts["duration"].toDouble();
    }
    EXPECT_EQ(frames, 40);
    EXPECT_NEAR(seconds, 4.0, 0.003);
}

// A quarter turn during a recording starts a file in the new format; a turn
// before the first frame simply replaces the empty file.
TEST(VideoRecorder, FormatFollowsTheDisplayedOrientation) {
    QTemporaryDir dir;
    orka::VideoRecorder recorder;
    ASSERT_EQ(recorder.Start(dir.path(), "V", Options(544, 408, true), 0), orka::kAviOk);
    ASSERT_EQ(recorder.AddFrame(MakeFrame(408, 544), 0), orka::kAviOk);
    ASSERT_EQ(recorder.AddFrame(MakeFrame(408, 544), 100), orka::kAviOk);
    ASSERT_EQ(recorder.AddFrame(MakeFrame(544, 408), 200), orka::kAviOk);
    ASSERT_EQ(recorder.Stop(300), orka::kAviOk);
    ASSERT_EQ(recorder.FileNames(),
              QStringList({dir.path() + "/V00001.avi", dir.path() + "/V00002.avi"}));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2);
    if (!HaveFfmpeg())
        GTEST_SKIP() << "ffprobe not installed";
    auto first = Probe(recorder.FileNames()[0]);
    EXPECT_EQ(first["width"].toInt(), 408);
    EXPECT_EQ(first["nb_read_frames"].toInt(), 2);
    auto second = Probe(recorder.FileNames()[1]);
    EXPECT_EQ(second["width"].toInt(), 544);
    EXPECT_EQ(second["height"].toInt(), 408);
}

// A file that cannot be created is reported once, then frames are dropped quietly.
TEST(VideoRecorder, ReportsAFileThatCannotBeCreatedOnce) {
    QTemporaryDir dir;
    orka::VideoRecorder recorder;
    EXPECT_EQ(recorder.Start(dir.filePath("absent"), "V", Options(320, 240, true), 0),
              orka::kAviCannotCreate);
    EXPECT_TRUE(recorder.Failed());
    EXPECT_TRUE(recorder.ErrorText().startsWith("Impossible de créer le fichier vidéo"));
    EXPECT_EQ(recorder.AddFrame(MakeFrame(320, 240), 100), orka::kAviOk);
    EXPECT_EQ(recorder.Stop(200), orka::kAviOk);
    EXPECT_TRUE(recorder.FileNames().isEmpty());

    orka::VideoRecorder tooSmall(1000);  // not even one frame fits
    ASSERT_EQ(tooSmall.Start(dir.path(), "V", Options(32, 24, false), 0), orka::kAviOk);
    EXPECT_EQ(tooSmall.AddFrame(MakeFrame(32, 24), 0), orka::kAviFileFull);
    EXPECT_EQ(tooSmall.AddFrame(MakeFrame(32, 24), 100), orka::kAviOk);
    EXPECT_EQ(tooSmall.FileNames().size(), 1);
}

TEST(QuickCompress, KeptInTheSettingsStore) {
    QTemporaryDir dir;
    QSettings store(dir.filePath("s.ini"), QSettings::IniFormat);
    EXPECT_EQ(orka::SetIndeoQuickCompress(store, 1), 1);  // absent: the value passed
    EXPECT_EQ(orka::SetIndeoQuickCompress(store, 0), 1);
    EXPECT_EQ(orka::SetIndeoQuickCompress(store, 0), 0);
    store.setValue("Video/QuickCompress", "pas un nombre");
    EXPECT_EQ(orka::SetIndeoQuickCompress(store, 3), 3);

    // The application's own store keeps the value across calls; restore it after.
    const int32_t before = orka::SetIndeoQuickCompress(1);
    EXPECT_EQ(orka::SetIndeoQuickCompress(before), 1);
}
