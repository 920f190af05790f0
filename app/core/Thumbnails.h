// Thumbnails of saved pictures: JPEG decoded at one eighth of its size, a
// raw file (".qrw") through its ".thm" companion, on a worker thread.
//
// Every file is untrusted: the file size, the image dimensions and the number
// of progressive scans are bounded before any real work is done.
#pragma once

#include <QImage>
#include <QString>

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace orka {

struct ThumbnailLimits {
    qint64 maxFileBytes = 64 * 1024 * 1024;
    int maxDimension = 16384;                // width or height, in pixels
    qint64 maxPixels = 100LL * 1000 * 1000;  // width times height
    int maxScans = 64;                       // progressive scans
};

struct Thumbnail {
    QString path;          // the picture asked for
    QString source;        // the file decoded (the ".thm" of a raw file)
    QImage image;          // null on failure
    QString error;         // why, in French, when image is null
    bool partial = false;  // decoded, but the data was damaged or cut short
};

// A JPEG in memory, scaled by 1/8 (RGB888). Null with `error` set when it is
// not a JPEG, damaged beyond decoding, or over the limits.
QImage DecodeJpegThumbnail(const uint8_t* data, size_t size, const ThumbnailLimits& limits,
                           QString* error, bool* partial = nullptr);

// The file to decode for `path`: its ".thm" companion for a ".qrw" (either
// case of the extension, the existing one), the file itself otherwise.
QString ThumbnailSource(const QString& path);

// Reads (within the size limit) and decodes the thumbnail of `path`.
Thumbnail LoadThumbnail(const QString& path, const ThumbnailLimits& limits = {});

// Decodes thumbnails one after the other on its own thread, in request
// order. The callback runs on that thread: a window hands the result to its
// own thread (a queued call). Destruction drops the requests not started and
// joins the thread.
class ThumbnailWorker {
  public:
    using Callback = std::function<void(Thumbnail)>;
    explicit ThumbnailWorker(Callback done, ThumbnailLimits limits = {});
    ~ThumbnailWorker();
    ThumbnailWorker(const ThumbnailWorker&) = delete;
    ThumbnailWorker& operator=(const ThumbnailWorker&) = delete;

    void request(const QString& path);
    void stop();

  private:
    void run();

    const Callback done_;
    const ThumbnailLimits limits_;
    // m_ guards queue_ and stopping_.
    std::mutex m_;
    std::condition_variable cv_;
    std::deque<QString> queue_;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace orka
