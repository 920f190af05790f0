#include "FrameDecoder.h"

// jpeglib.h needs size_t and FILE declared before it.
#include <cstdio>

#include <jpeglib.h>

#include <QPainter>

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <utility>
#include <vector>

namespace orka {

namespace {

// libjpeg reports a fatal error through error_exit and expects it not to
// return: it jumps back to the setjmp of the decode under way. Warnings
// (corrupt data that libjpeg would paper over with grey) end the decode the
// same way, so that no frame with made-up pixels is ever shown.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    bool refused;  // the jump came from a bound on the work, not from libjpeg
};

[[noreturn]] void ErrorExit(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

void EmitMessage(j_common_ptr cinfo, int level) {
    if (level >= 0)
        return;  // trace messages
    ErrorExit(cinfo);
}

void OutputMessage(j_common_ptr) {}  // nothing goes to stderr

// libjpeg calls this between rows and between scans; a stream that goes on
// with scan after scan is stopped at the first one over the limit.
void CountScans(j_common_ptr cinfo) {
    auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (d->input_scan_number > FrameDecoder::MaxScans) {
        auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
        err->refused = true;
        std::snprintf(err->message, sizeof err->message, "more than %d scans",
                      FrameDecoder::MaxScans);
        std::longjmp(err->jump, 1);
    }
}

}  // namespace

struct FrameDecoder::Impl {
    jpeg_decompress_struct cinfo{};
    ErrorManager err{};
    jpeg_progress_mgr progress{};
    bool created = false;
    // Row addresses of the image DecodeFitting fills, kept across pictures.
    std::vector<uint8_t*> rows;

    Impl() {
        cinfo.err = jpeg_std_error(&err.pub);
        err.pub.error_exit = ErrorExit;
        err.pub.emit_message = EmitMessage;
        err.pub.output_message = OutputMessage;
        if (setjmp(err.jump))
            return;  // out of memory: every decode reports Corrupt
        jpeg_create_decompress(&cinfo);
        progress.progress_monitor = CountScans;
        cinfo.progress = &progress;
        created = true;
    }
    ~Impl() {
        if (created)
            jpeg_destroy_decompress(&cinfo);
    }

    // Clears what the last picture left; call before setjmp.
    void Reset() {
        err.message[0] = '\0';
        err.refused = false;
    }

    // Reads the header and applies the fastest settings. Call under setjmp.
    void Start(const uint8_t* data, size_t size) {
        jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
        jpeg_read_header(&cinfo, TRUE);
        cinfo.out_color_space = JCS_EXT_BGR;
        cinfo.dct_method = JDCT_IFAST;
        cinfo.do_fancy_upsampling = FALSE;
        cinfo.do_block_smoothing = FALSE;
        cinfo.scale_num = 1;
        cinfo.scale_denom = 1;
    }

    // True, with the decompressor reset, for a stream no camera sends: a
    // progressive one. Call after Start.
    bool Refused() {
        if (!cinfo.progressive_mode)
            return false;
        std::snprintf(err.message, sizeof err.message, "progressive stream");
        jpeg_abort_decompress(&cinfo);
        return true;
    }

    // The status of a decode that jumped back to its setjmp.
    Status Failed() {
        jpeg_abort_decompress(&cinfo);
        return err.refused ? Status::Unsupported : Status::Corrupt;
    }

    // Decodes every scanline into rows, calling band (when set) after each
    // run of BandRows rows and after the last. Call under setjmp, after Start.
    void ReadRows(uint8_t* const* out, const BandHandler* band = nullptr) {
        jpeg_start_decompress(&cinfo);
        const JDIMENSION height = cinfo.output_height;
        JDIMENSION bandStart = 0;
        while (cinfo.output_scanline < height) {
            const JDIMENSION at = cinfo.output_scanline;
            const JDIMENSION bandEnd =
                band ? std::min<JDIMENSION>(bandStart + BandRows, height) : height;
            jpeg_read_scanlines(&cinfo, const_cast<JSAMPARRAY>(out + at), bandEnd - at);
            if (band && cinfo.output_scanline >= bandEnd) {
                (*band)(int(bandStart), int(cinfo.output_scanline));
                bandStart = cinfo.output_scanline;
            }
        }
        jpeg_finish_decompress(&cinfo);
    }
};

FrameDecoder::FrameDecoder() : impl_(std::make_unique<Impl>()) {}

FrameDecoder::~FrameDecoder() = default;

const char* FrameDecoder::LastError() const {
    return impl_->err.message;
}

// The two decoders keep nothing with a destructor alive between setjmp and
// the libjpeg calls that may jump back; what they read after a jump lives in
// volatile locals.
FrameDecoder::Result FrameDecoder::DecodeInto(const uint8_t* data, size_t size,
                                              uint8_t* const* rows, int w, int h,
                                              const BandHandler& band) {
    Impl& d = *impl_;
    d.Reset();
    if (!d.created || data == nullptr || size == 0)
        return {};
    volatile int width = 0;
    volatile int height = 0;
    if (setjmp(d.err.jump))
        return {d.Failed(), width, height};
    d.Start(data, size);
    width = static_cast<int>(d.cinfo.image_width);
    height = static_cast<int>(d.cinfo.image_height);
    if (d.Refused())
        return {Status::Unsupported, width, height};
    if (width != w || height != h) {
        jpeg_abort_decompress(&d.cinfo);
        return {Status::SizeMismatch, width, height};
    }
    d.ReadRows(rows, band ? &band : nullptr);
    return {Status::Ok, width, height};
}

FrameDecoder::Result FrameDecoder::DecodeFitting(const uint8_t* data, size_t size, int minWidth,
                                                 int minHeight, QImage& image) {
    Impl& d = *impl_;
    d.Reset();
    if (!d.created || data == nullptr || size == 0)
        return {};
    volatile int width = 0;
    volatile int height = 0;
    if (setjmp(d.err.jump))
        return {d.Failed(), width, height};
    d.Start(data, size);
    width = static_cast<int>(d.cinfo.image_width);
    height = static_cast<int>(d.cinfo.image_height);
    if (d.Refused())
        return {Status::Unsupported, width, height};
    if (width > MaxDimension || height > MaxDimension) {
        jpeg_abort_decompress(&d.cinfo);
        return {Status::TooLarge, width, height};
    }
    // The coarsest reduction that still covers the size asked for.
    for (unsigned denom : {8u, 4u, 2u}) {
        if ((d.cinfo.image_width + denom - 1) / denom >= unsigned(std::max(minWidth, 1)) &&
            (d.cinfo.image_height + denom - 1) / denom >= unsigned(std::max(minHeight, 1))) {
            d.cinfo.scale_denom = denom;
            break;
        }
    }
    jpeg_calc_output_dimensions(&d.cinfo);
    const int outW = static_cast<int>(d.cinfo.output_width);
    const int outH = static_cast<int>(d.cinfo.output_height);
    if (image.width() != outW || image.height() != outH || image.format() != QImage::Format_BGR888)
        image = QImage(outW, outH, QImage::Format_BGR888);
    if (image.isNull()) {  // allocation refused
        jpeg_abort_decompress(&d.cinfo);
        return {Status::TooLarge, width, height};
    }
    d.rows.resize(static_cast<size_t>(outH));
    for (int y = 0; y < outH; ++y)
        d.rows[static_cast<size_t>(y)] = image.scanLine(y);
    d.ReadRows(d.rows.data());
    return {Status::Ok, width, height};
}

FrameDecoder::Result DecodePreviewFrame(FrameDecoder& decoder, const uint8_t* data, size_t size,
                                        int w, int h, Orientation orientation, QImage& work,
                                        QImage& shown, Histogram& histogram,
                                        MotionDetector* detector, LiveAssist* assist,
                                        bool paintMarks) {
    const QSize shownSize = DisplaySize(orientation, w, h);
    if (shown.size() != shownSize || shown.format() != QImage::Format_BGR888)
        shown = QImage(shownSize, QImage::Format_BGR888);
    // The analysis of each band (the histogram, the detector's rectangle and
    // the aids, one pass) runs on this thread, after the band is decoded and
    // before it is turned, while it is in cache. A helper thread would have
    // its core's caches fetch every line of the band from this one's, which
    // costs the processor more than the turn it would overlap.
    // Upright frames are decoded straight into the displayed picture, and so
    // are frames upside down, bottom row first, each row then reversed in
    // place; the quarter turns into the work bitmap, from which each band is
    // turned.
    const bool inPlace =
        orientation == Orientation::Normal || orientation == Orientation::UpsideDown;
    if (!inPlace &&
        (work.width() != w || work.height() != h || work.format() != QImage::Format_BGR888))
        work = QImage(w, h, QImage::Format_BGR888);
    if (shown.isNull() || (!inPlace && work.isNull()))  // allocation refused
        return {FrameDecoder::Status::TooLarge, 0, 0};

    const bool mirror = orientation == Orientation::UpsideDown;
    const RowAddresses targetRows(inPlace ? shown : work, mirror);
    const RowAddresses shownRows(shown);
    uint8_t* const* rows = targetRows.writableRows();
    FrameAnalyser analyser(w, h, detector, assist);
    paintMarks = paintMarks && assist && assist->settings().marks();
    int done = 0;  // rows painted, and mirrored or turned
    // Paints the marks of the rows from done to end and mirrors or turns them.
    const auto finishRows = [&](int end) {
        if (paintMarks)
            PaintAssistRows(*assist, orientation, rows, done, end);
        if (mirror)
            MirrorRows(rows, w, done, end);
        else if (!inPlace)
            TurnRows(orientation, rows, w, h, done, end, shownRows.writableRows());
        done = end;
    };
    const FrameDecoder::BandHandler band = [&](int y0, int y1) {
        analyser.AddRows(rows, y0, y1);
        // A band's last row has its peaking marks with the next band: with
        // marks to paint, the turn follows a band behind, in whole bands.
        const int final = paintMarks ? assist->FinalRows() : y1;
        finishRows(inPlace || final == h ? final
                                         : final / FrameDecoder::BandRows * FrameDecoder::BandRows);
    };
    const FrameDecoder::Result result = decoder.DecodeInto(data, size, rows, w, h, band);
    if (result.ok()) {
        analyser.Finish(histogram);
        finishRows(h);
    }
    return result;
}

FrameDecoder::Result DecodeShownFrame(FrameDecoder& decoder, const uint8_t* data, size_t size,
                                      int w, int h, Orientation orientation, QImage& work,
                                      QImage& shown, Histogram& histogram, MotionDetector* detector,
                                      LiveAssist* assist, bool paintMarks) {
    FrameDecoder::Result result =
        DecodePreviewFrame(decoder, data, size, w, h, orientation, work, shown, histogram, detector,
                           assist, paintMarks);
    if (result.status != FrameDecoder::Status::SizeMismatch)
        return result;
    QImage decoded;
    result = decoder.DecodeFitting(data, size, w, h, decoded);
    if (!result.ok())
        return result;
    if (work.width() != w || work.height() != h || work.format() != QImage::Format_BGR888)
        work = QImage(w, h, QImage::Format_BGR888);
    work.fill(Qt::black);
    const QImage fitted = decoded.scaled(w, h, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    {
        QPainter painter(&work);
        painter.drawImage((w - fitted.width()) / 2, (h - fitted.height()) / 2, fitted);
    }
    {
        FrameAnalyser analyser(w, h, detector, assist);
        const RowAddresses rows(std::as_const(work));
        analyser.AddRows(rows.rows(), 0, h);
        analyser.Finish(histogram);
    }
    TurnFrame(orientation, work, shown);
    if (paintMarks && assist) {
        const RowAddresses shownRows(shown);
        DrawAssist(*assist, orientation, shownRows.writableRows());
    }
    return result;
}

}  // namespace orka
