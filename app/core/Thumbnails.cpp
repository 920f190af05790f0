#include "Thumbnails.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace orka {

namespace {

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

struct ProgressMonitor {
    jpeg_progress_mgr base;
    int maxScans;
};

[[noreturn]] void onError(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

void onMessage(j_common_ptr cinfo, int level) {
    // Warnings are counted (num_warnings) and not printed.
    if (level < 0)
        ++cinfo->err->num_warnings;
}

// A progressive stream may hold any number of scans, each a pass over the
// whole image: too many of them is a way to make a small file cost minutes.
void onProgress(j_common_ptr cinfo) {
    auto* progress = reinterpret_cast<ProgressMonitor*>(cinfo->progress);
    auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (cinfo->is_decompressor && d->input_scan_number > progress->maxScans) {
        auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
        std::snprintf(err->message, sizeof err->message, "more than %d scans", progress->maxScans);
        std::longjmp(err->jump, 1);
    }
}

enum class Outcome { Ok, Failed, TooLarge };

// Plain C frame between setjmp and longjmp: no object with a destructor lives
// here. `pixels` is allocated by the caller once the size is known.
Outcome decode(jpeg_decompress_struct* cinfo, ErrorManager* err, ProgressMonitor* progress,
               const uint8_t* data, size_t size, const ThumbnailLimits& limits, QImage* out) {
    if (setjmp(err->jump))
        return Outcome::Failed;
    jpeg_create_decompress(cinfo);
    cinfo->progress = &progress->base;  // creation clears everything but err
    jpeg_mem_src(cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(cinfo, TRUE);
    if (cinfo->image_width == 0 || cinfo->image_height == 0 ||
        cinfo->image_width > static_cast<unsigned>(limits.maxDimension) ||
        cinfo->image_height > static_cast<unsigned>(limits.maxDimension) ||
        static_cast<qint64>(cinfo->image_width) * cinfo->image_height > limits.maxPixels)
        return Outcome::TooLarge;
    cinfo->scale_num = 1;
    cinfo->scale_denom = 8;
    cinfo->out_color_space = JCS_RGB;
    cinfo->dct_method = JDCT_ISLOW;
    jpeg_start_decompress(cinfo);
    if (cinfo->output_components != 3)
        return Outcome::Failed;
    *out = QImage(static_cast<int>(cinfo->output_width), static_cast<int>(cinfo->output_height),
                  QImage::Format_RGB888);
    if (out->isNull())
        return Outcome::Failed;
    while (cinfo->output_scanline < cinfo->output_height) {
        JSAMPROW row = out->scanLine(static_cast<int>(cinfo->output_scanline));
        jpeg_read_scanlines(cinfo, &row, 1);
    }
    jpeg_finish_decompress(cinfo);
    return Outcome::Ok;
}

}  // namespace

QImage DecodeJpegThumbnail(const uint8_t* data, size_t size, const ThumbnailLimits& limits,
                           QString* error, bool* partial) {
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return QImage();
    };
    if (data == nullptr || size < 4 || data[0] != 0xFF || data[1] != 0xD8)
        return fail(QCoreApplication::translate("Thumbnails", "pas une image JPEG"));
    if (static_cast<qint64>(size) > limits.maxFileBytes)
        return fail(QCoreApplication::translate("Thumbnails", "fichier trop grand"));

    jpeg_decompress_struct cinfo{};
    ErrorManager err{};
    cinfo.err = jpeg_std_error(&err.base);
    err.base.error_exit = onError;
    err.base.emit_message = onMessage;
    ProgressMonitor progress{};
    progress.base.progress_monitor = onProgress;
    progress.maxScans = limits.maxScans;

    QImage image;
    const Outcome outcome = decode(&cinfo, &err, &progress, data, size, limits, &image);
    const bool damaged = cinfo.err->num_warnings > 0;
    jpeg_destroy_decompress(&cinfo);
    if (outcome == Outcome::TooLarge)
        return fail(QCoreApplication::translate("Thumbnails", "image trop grande"));
    if (outcome == Outcome::Failed)
        return fail(QCoreApplication::translate("Thumbnails", "image illisible (%1)")
                        .arg(QString::fromLatin1(err.message)));
    if (partial)
        *partial = damaged;
    return image;
}

QString ThumbnailSource(const QString& path) {
    const QFileInfo info(path);
    if (info.suffix().compare(QStringLiteral("qrw"), Qt::CaseInsensitive) != 0)
        return path;
    const QString base = path.left(path.size() - info.suffix().size());
    const QString lower = base + QStringLiteral("thm");
    if (QFileInfo::exists(lower))
        return lower;
    const QString upper = base + QStringLiteral("THM");
    return QFileInfo::exists(upper) ? upper : lower;
}

Thumbnail LoadThumbnail(const QString& path, const ThumbnailLimits& limits) {
    Thumbnail result;
    result.path = path;
    result.source = ThumbnailSource(path);
    QFile file(result.source);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = result.source == path
                           ? QCoreApplication::translate("Thumbnails", "fichier illisible")
                           : QCoreApplication::translate("Thumbnails", "pas de vignette (.thm)");
        return result;
    }
    if (file.size() > limits.maxFileBytes) {
        result.error = QCoreApplication::translate("Thumbnails", "fichier trop grand");
        return result;
    }
    // read() with a bound: a file that grows meanwhile is cut at the limit.
    const QByteArray bytes = file.read(limits.maxFileBytes + 1);
    result.image = DecodeJpegThumbnail(reinterpret_cast<const uint8_t*>(bytes.constData()),
                                       static_cast<size_t>(bytes.size()), limits, &result.error,
                                       &result.partial);
    return result;
}

ThumbnailWorker::ThumbnailWorker(Callback done, ThumbnailLimits limits)
    : done_(std::move(done)), limits_(limits), thread_([this] { run(); }) {}

ThumbnailWorker::~ThumbnailWorker() {
    stop();
}

void ThumbnailWorker::request(const QString& path) {
    {
        std::lock_guard lock(m_);
        if (stopping_)
            return;
        queue_.push_back(path);
    }
    cv_.notify_one();
}

void ThumbnailWorker::stop() {
    {
        std::lock_guard lock(m_);
        stopping_ = true;
        queue_.clear();
    }
    cv_.notify_one();
    if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id())
        thread_.join();
}

void ThumbnailWorker::run() {
    for (;;) {
        QString path;
        {
            std::unique_lock lock(m_);
            cv_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (stopping_)
                return;
            path = queue_.front();
            queue_.pop_front();
        }
        Thumbnail thumbnail = LoadThumbnail(path, limits_);
        if (done_)
            done_(std::move(thumbnail));
    }
}

}  // namespace orka
