#include "ReviewDecoder.h"

#include <QCoreApplication>

#include "BandWorker.h"
#include "ReviewGeometry.h"

// jpeglib.h needs size_t and FILE declared before it.
#include <cstdio>

#include <jerror.h>
#include <jpeglib.h>

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstring>
#include <vector>

namespace orka {

namespace {

// libjpeg reports a fatal error through error_exit, which must not return: it
// jumps back to the setjmp of the decode under way, as do the bounds on the
// work (scans, cancel). Warnings (data cut short, corrupt segments) let the
// decode go on; the first of each kind is noted with the row it came at.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    ReviewProblem jumped;  // why the last jump came: Unreadable for libjpeg's own errors
    int endRow;            // first row not made from data when the data ended; -1
    int damageRow;         // first row after corrupt data; -1
};

struct Progress {
    jpeg_progress_mgr pub;
    const std::atomic<bool>* cancel;
    int maxScans;
};

[[noreturn]] void Jump(j_common_ptr cinfo, ReviewProblem why) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    err->jumped = why;
    std::longjmp(err->jump, 1);
}

[[noreturn]] void ErrorExit(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    const int code = cinfo->err->msg_code;
    Jump(cinfo, code == JERR_OUT_OF_MEMORY || code == JERR_NO_BACKING_STORE
                    ? ReviewProblem::OutOfMemory
                    : ReviewProblem::Unreadable);
}

void EmitMessage(j_common_ptr cinfo, int level) {
    if (level >= 0)
        return;  // trace messages
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    const int row = int(reinterpret_cast<j_decompress_ptr>(cinfo)->output_scanline);
    if (cinfo->err->msg_code == JWRN_JPEG_EOF) {
        if (err->endRow < 0)
            err->endRow = row;
    } else if (err->damageRow < 0) {
        err->damageRow = row;
    }
}

void OutputMessage(j_common_ptr) {}  // nothing goes to stderr

// Called between rows and between scans.
void Monitor(j_common_ptr cinfo) {
    const auto* progress = reinterpret_cast<Progress*>(cinfo->progress);
    if (progress->cancel && progress->cancel->load(std::memory_order_relaxed))
        Jump(cinfo, ReviewProblem::Cancelled);
    if (reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > progress->maxScans)
        Jump(cinfo, ReviewProblem::TooManyScans);
}

QString Megapixels(qint64 pixels) {
    return QString::number(double(pixels) / 1e6, 'f', 0);
}

}  // namespace

QString ReviewProblemText(ReviewProblem problem, QSize announced, int validRows, int rows,
                          const ReviewLimits& limits, const QString& detail) {
    const QString size = QStringLiteral("%1 x %2").arg(announced.width()).arg(announced.height());
    switch (problem) {
        case ReviewProblem::None:
        case ReviewProblem::Cancelled:
            return {};
        case ReviewProblem::Truncated:
            if (validRows < rows)
                return QCoreApplication::translate(
                           "ReviewDecoder",
                           "Image tronquée : seules les %1 premières lignes sur %2 "
                           "sont dans le fichier, le reste est gris.")
                    .arg(validRows)
                    .arg(rows);
            return QCoreApplication::translate(
                "ReviewDecoder",
                "Image tronquée : les dernières passes manquent, l'image est "
                "moins nette qu'elle ne devrait.");
        case ReviewProblem::Damaged:
            if (validRows < rows)
                return QCoreApplication::translate(
                           "ReviewDecoder",
                           "Image endommagée : lisible jusqu'à la ligne %1 sur %2, le "
                           "reste est gris.")
                    .arg(validRows)
                    .arg(rows);
            return QCoreApplication::translate(
                "ReviewDecoder",
                "Image endommagée : des données sont corrompues, des blocs "
                "peuvent être faux.");
        case ReviewProblem::NotJpeg:
            return QCoreApplication::translate("ReviewDecoder",
                                               "Ce fichier n'est pas une image JPEG.");
        case ReviewProblem::Unreadable:
            return detail.isEmpty()
                       ? QCoreApplication::translate("ReviewDecoder", "Image illisible.")
                       : QCoreApplication::translate("ReviewDecoder", "Image illisible (%1).")
                             .arg(detail);
        case ReviewProblem::TooLarge:
            if (announced.isEmpty())
                return QCoreApplication::translate(
                           "ReviewDecoder", "Fichier trop gros pour une image (au plus %1 Mo).")
                    .arg(limits.maxFileBytes / (1024 * 1024));
            if (qint64(announced.width()) * announced.height() <= limits.maxAnnouncedPixels &&
                announced.width() <= limits.maxDimension &&
                announced.height() <= limits.maxDimension)
                return QCoreApplication::translate(
                           "ReviewDecoder",
                           "Image trop grande pour la vue à 100 % : %1 pixels "
                           "(au plus %2 millions).")
                    .arg(size, Megapixels(limits.maxFullPixels));
            return QCoreApplication::translate(
                       "ReviewDecoder",
                       "Image trop grande : %1 pixels annoncés (au plus %2 millions).")
                .arg(size, Megapixels(limits.maxAnnouncedPixels));
        case ReviewProblem::TooManyScans:
            return QCoreApplication::translate(
                       "ReviewDecoder", "Image progressive de plus de %1 passes : décodage arrêté.")
                .arg(limits.maxScans);
        case ReviewProblem::OutOfMemory:
            return QCoreApplication::translate(
                       "ReviewDecoder",
                       "Mémoire insuffisante pour décoder cette image (%1 pixels).")
                .arg(size);
    }
    return {};
}

struct ReviewDecoder::Impl {
    jpeg_decompress_struct cinfo{};
    ErrorManager err{};
    Progress progress{};
    bool created = false;
    // The decode under way; kept here, not in the decoding function's frame,
    // so that nothing read after a jump back lives in a local.
    ReviewDecode result;
    std::vector<uint8_t*> rows;
    const ReviewDecoder::BandHandler* band = nullptr;
    const ReviewDecoder::BandHandler* alongside = nullptr;
    int handed = 0;  // rows handed to band and alongside
    BandWorker helper;
    bool helperBusy = false;
    // The helper's work: alongside on the picture's rows.
    BandWorker::Work helperWork = [this](int y0, int y1) { (*alongside)(rows.data(), y0, y1); };

    Impl() {
        cinfo.err = jpeg_std_error(&err.pub);
        err.pub.error_exit = ErrorExit;
        err.pub.emit_message = EmitMessage;
        err.pub.output_message = OutputMessage;
        if (setjmp(err.jump))
            return;  // out of memory: every decode fails
        jpeg_create_decompress(&cinfo);
        progress.pub.progress_monitor = Monitor;
        created = true;
    }
    ~Impl() {
        if (created)
            jpeg_destroy_decompress(&cinfo);
    }

    // Hands rows handed..y-1 to the band handlers.
    void Hand(int y) {
        if (y <= handed)
            return;
        if (band && *band)
            (*band)(rows.data(), handed, y);
        if (helperBusy)
            helper.Ready(y);
        handed = y;
    }

    void EndHelper() {
        if (helperBusy)
            helper.Finish();
        helperBusy = false;
    }

    // The rows from y on were not made from the file's data: grey.
    void Grey(int y) {
        QImage& image = result.image;
        result.validRows = std::clamp(y, 0, image.height());
        const int bytes = image.width() * (image.depth() / 8);
        for (int r = result.validRows; r < image.height(); ++r) {
            uint8_t* row = image.scanLine(r);
            std::memset(row, 0x80, size_t(bytes));
            if (image.depth() == 32)
                for (int x = 3; x < bytes; x += 4)
                    row[x] = 0xFF;
        }
    }
};

ReviewDecoder::ReviewDecoder(const ReviewLimits& limits)
    : limits_(limits), impl_(std::make_unique<Impl>()) {}

ReviewDecoder::~ReviewDecoder() = default;

int ReviewDecoder::FitScale(QSize picture, QSize view) const {
    if (view.isEmpty() || picture.isEmpty())
        return 8;
    const QSizeF fit = FitRect(QSizeF(picture), QSizeF(view)).size();
    const QSize cover(int(std::ceil(fit.width() - 1e-6)), int(std::ceil(fit.height() - 1e-6)));
    int chosen = 8;
    for (int m : {4, 2, 1}) {
        const qint64 w = (qint64(picture.width()) * m + 7) / 8;
        const qint64 h = (qint64(picture.height()) * m + 7) / 8;
        if (w < cover.width() || h < cover.height())
            break;
        chosen = m;
    }
    // Never more than the fit view's bound when a smaller scale keeps to it.
    while (chosen > 1 &&
           (qint64(picture.width()) * chosen / 8) * (qint64(picture.height()) * chosen / 8) >
               limits_.maxFitPixels)
        chosen /= 2;
    return chosen;
}

ReviewDecode ReviewDecoder::Decode(const uint8_t* data, size_t size, QSize fitView,
                                   const Prepare& prepare, const BandHandler& band,
                                   const BandHandler& alongside, const std::atomic<bool>* cancel) {
    Impl& d = *impl_;
    d.result = {};
    const auto fail = [&](ReviewProblem problem, const QString& detail = {}) {
        d.result.image = QImage();
        d.result.problem = problem;
        d.result.message = ReviewProblemText(problem, d.result.announced, 0, 0, limits_, detail);
        return std::move(d.result);
    };
    if (!d.created)
        return fail(ReviewProblem::OutOfMemory);
    if (data == nullptr || size < 3 || data[0] != 0xFF || data[1] != 0xD8 || data[2] != 0xFF)
        return fail(ReviewProblem::NotJpeg);
    if (qint64(size) > limits_.maxFileBytes)
        return fail(ReviewProblem::TooLarge);

    d.err.message[0] = '\0';
    d.err.jumped = ReviewProblem::Unreadable;
    d.err.endRow = d.err.damageRow = -1;
    d.progress.cancel = cancel;
    d.progress.maxScans = limits_.maxScans;
    d.band = &band;
    d.alongside = &alongside;
    d.handed = 0;
    jpeg_decompress_struct& cinfo = d.cinfo;
    cinfo.mem->max_memory_to_use = limits_.maxDecoderMemory;

    if (setjmp(d.err.jump)) {
        // A fatal error or a bound: what was decoded before it still shows.
        const ReviewProblem why = d.err.jumped;
        const int decoded = d.result.image.isNull() ? 0 : int(cinfo.output_scanline);
        const bool keep = why == ReviewProblem::Unreadable && decoded > 0;
        if (keep)
            d.Hand(decoded);
        d.EndHelper();
        jpeg_abort_decompress(&cinfo);
        if (!keep)
            return fail(why, QString::fromLocal8Bit(d.err.message));
        d.Grey(decoded);
        d.result.problem = ReviewProblem::Damaged;
        d.result.message = ReviewProblemText(ReviewProblem::Damaged, d.result.announced,
                                             d.result.validRows, d.result.image.height(), limits_);
        return std::move(d.result);
    }

    jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
    cinfo.progress = &d.progress.pub;
    if (jpeg_read_header(&cinfo, TRUE) != JPEG_HEADER_OK) {
        jpeg_abort_decompress(&cinfo);
        return fail(ReviewProblem::Unreadable);
    }
    d.result.announced = QSize(int(cinfo.image_width), int(cinfo.image_height));
    const qint64 pixels = qint64(cinfo.image_width) * cinfo.image_height;
    if (pixels == 0 || pixels > limits_.maxAnnouncedPixels ||
        int(cinfo.image_width) > limits_.maxDimension ||
        int(cinfo.image_height) > limits_.maxDimension ||
        (fitView.isEmpty() && pixels > limits_.maxFullPixels)) {
        jpeg_abort_decompress(&cinfo);
        return fail(pixels == 0 ? ReviewProblem::Unreadable : ReviewProblem::TooLarge);
    }
    if (cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK) {
        jpeg_abort_decompress(&cinfo);
        return fail(ReviewProblem::Unreadable,
                    QCoreApplication::translate("ReviewDecoder", "image en CMJN"));
    }
    d.result.scale = FitScale(d.result.announced, fitView);
    cinfo.scale_num = unsigned(d.result.scale);
    cinfo.scale_denom = 8;
    const bool fit = !fitView.isEmpty();
    cinfo.out_color_space = fit ? JCS_EXT_BGRX : JCS_EXT_BGR;
    cinfo.dct_method = JDCT_ISLOW;
    cinfo.do_fancy_upsampling = TRUE;
    jpeg_calc_output_dimensions(&cinfo);
    const int w = int(cinfo.output_width);
    const int h = int(cinfo.output_height);
    const QImage::Format format = fit ? QImage::Format_RGB32 : QImage::Format_BGR888;
    d.result.image = allocate_ ? allocate_(w, h, format) : QImage(w, h, format);
    if (d.result.image.isNull()) {
        jpeg_abort_decompress(&cinfo);
        return fail(ReviewProblem::OutOfMemory);
    }
    d.rows.resize(size_t(h));
    for (int y = 0; y < h; ++y)
        d.rows[size_t(y)] = d.result.image.scanLine(y);

    if (prepare)
        prepare(w, h);
    if (alongside) {
        // Wake the helper for about 200 KB of rows at a time.
        d.helper.Begin(d.helperWork, std::clamp(200000 / (3 * w), BandRows, 64));
        d.helperBusy = true;
    }
    // A stream of several scans is read whole here, before any row comes out.
    jpeg_start_decompress(&cinfo);
    const bool sequential = !jpeg_has_multiple_scans(&cinfo);
    int bandStart = 0;
    while (int(cinfo.output_scanline) < h) {
        const int at = int(cinfo.output_scanline);
        const int bandEnd = std::min(bandStart + BandRows, h);
        jpeg_read_scanlines(&cinfo, d.rows.data() + at, JDIMENSION(bandEnd - at));
        // The data ended inside these rows: the rows from there on are made up.
        if (sequential && d.err.endRow >= 0) {
            d.Hand(d.err.endRow);
            break;
        }
        if (int(cinfo.output_scanline) >= bandEnd) {
            d.Hand(bandEnd);
            bandStart = bandEnd;
        }
    }
    const int decoded = int(cinfo.output_scanline);
    d.Hand(sequential && d.err.endRow >= 0 ? d.err.endRow : decoded);
    d.EndHelper();
    if (decoded < h)
        jpeg_abort_decompress(&cinfo);
    else
        jpeg_finish_decompress(&cinfo);

    d.result.validRows = h;
    if (d.err.endRow >= 0) {
        d.result.problem = ReviewProblem::Truncated;
        if (sequential)
            d.Grey(d.err.endRow);
    } else if (d.err.damageRow >= 0) {
        d.result.problem = ReviewProblem::Damaged;
    }
    d.result.message =
        ReviewProblemText(d.result.problem, d.result.announced, d.result.validRows, h, limits_);
    return std::move(d.result);
}

}  // namespace orka
