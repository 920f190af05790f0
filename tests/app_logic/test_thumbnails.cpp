// Thumbnails: scaled decoding, limits against hostile files, raw companions,
// the worker thread.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <vector>

#include "jpeg_samples.h"

#include "Thumbnails.h"

namespace {

// A plain-coloured JPEG of the given size.
QByteArray encodeJpeg(int width, int height, bool progressive, uint8_t r = 200, uint8_t g = 40,
                      uint8_t b = 40) {
    QImage image(width, height, QImage::Format_RGB888);
    image.fill(QColor(r, g, b));
    const std::vector<uint8_t> bytes = samples::Encode(
        image, 85, progressive ? samples::Scans::Progressive : samples::Scans::Interleaved);
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

QImage decode(const QByteArray& bytes, const orka::ThumbnailLimits& limits, QString* error,
              bool* partial = nullptr) {
    return orka::DecodeJpegThumbnail(reinterpret_cast<const uint8_t*>(bytes.constData()),
                                     static_cast<size_t>(bytes.size()), limits, error, partial);
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

TEST(Thumbnails, DecodesAtAnEighthKeepingTheColours) {
    for (bool progressive : {false, true}) {
        QString error;
        bool partial = true;
        const QImage image = decode(encodeJpeg(640, 480, progressive), {}, &error, &partial);
        ASSERT_FALSE(image.isNull()) << error.toStdString();
        EXPECT_EQ(image.size(), QSize(80, 60));
        EXPECT_FALSE(partial);
        const QColor centre = image.pixelColor(40, 30);
        EXPECT_NEAR(centre.red(), 200, 8);
        EXPECT_NEAR(centre.green(), 40, 8);
        EXPECT_NEAR(centre.blue(), 40, 8);
    }
}

TEST(Thumbnails, HostileOrBrokenFilesAreRejectedOrMarked) {
    QString error;
    orka::ThumbnailLimits fewScans;
    fewScans.maxScans = 3;
    EXPECT_TRUE(decode(encodeJpeg(64, 64, true), fewScans, &error).isNull());
    EXPECT_FALSE(decode(encodeJpeg(64, 64, false), fewScans, &error).isNull());

    EXPECT_TRUE(decode(encodeJpeg(20000, 8, false), {}, &error).isNull());
    EXPECT_TRUE(error.contains(QStringLiteral("trop grande")));

    orka::ThumbnailLimits small;
    small.maxFileBytes = 100;
    EXPECT_TRUE(decode(encodeJpeg(64, 64, false), small, &error).isNull());

    EXPECT_TRUE(decode(QByteArray("not a jpeg at all"), {}, &error).isNull());
    QByteArray garbage = encodeJpeg(64, 64, false).left(20);
    garbage.append(QByteArray(200, '\x5A'));
    EXPECT_TRUE(decode(garbage, {}, &error).isNull());

    // A transfer cut short: what arrived is shown, marked as damaged.
    const QByteArray whole = encodeJpeg(640, 480, false);
    bool partial = false;
    const QImage cut = decode(whole.left(whole.size() / 2), {}, &error, &partial);
    EXPECT_FALSE(cut.isNull());
    EXPECT_TRUE(partial);
}

TEST(Thumbnails, RawFilesShowTheirCompanion) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString raw = dir.filePath(QStringLiteral("PICT0001.qrw"));
    writeFile(raw, QByteArray("QRW raw data, not a JPEG"));
    // No companion yet: an error, no crash, no attempt to decode the raw file.
    const orka::Thumbnail missing = orka::LoadThumbnail(raw);
    EXPECT_TRUE(missing.image.isNull());
    EXPECT_TRUE(missing.error.contains(QStringLiteral(".thm")));

    writeFile(dir.filePath(QStringLiteral("PICT0001.THM")), encodeJpeg(160, 120, false));
    const orka::Thumbnail shown = orka::LoadThumbnail(raw);
    EXPECT_EQ(shown.source, dir.filePath(QStringLiteral("PICT0001.THM")));
    EXPECT_EQ(shown.image.size(), QSize(20, 15));

    const QString jpeg = dir.filePath(QStringLiteral("PICT0002.jpg"));
    EXPECT_EQ(orka::ThumbnailSource(jpeg), jpeg);
}

TEST(Thumbnails, WorkerAnswersEveryRequestInOrderOffTheCallingThread) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QStringList paths;
    for (int i = 0; i < 3; ++i) {
        paths << dir.filePath(QStringLiteral("P%1.jpg").arg(i));
        writeFile(paths.back(), encodeJpeg(320, 240, false));
    }
    paths << dir.filePath(QStringLiteral("absent.jpg"));

    std::mutex m;
    std::condition_variable cv;
    std::vector<orka::Thumbnail> results;
    std::thread::id callbackThread;
    {
        orka::ThumbnailWorker worker([&](orka::Thumbnail t) {
            std::lock_guard lock(m);
            callbackThread = std::this_thread::get_id();
            results.push_back(std::move(t));
            cv.notify_all();
        });
        for (const QString& path : paths)
            worker.request(path);
        std::unique_lock lock(m);
        ASSERT_TRUE(
            cv.wait_for(lock, std::chrono::seconds(10), [&] { return results.size() == 4; }));
    }
    EXPECT_NE(callbackThread, std::this_thread::get_id());
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(results[i].path, paths[i]);
        EXPECT_EQ(results[i].image.size(), QSize(40, 30));
    }
    EXPECT_TRUE(results[3].image.isNull());
    EXPECT_FALSE(results[3].error.isEmpty());
}

}  // namespace
