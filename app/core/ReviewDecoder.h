// Decoding of a saved picture for its review: the fit view by libjpeg's
// scaled decoding (an eighth, a quarter, half or full scale, whichever is the
// smallest that still covers the view), and the full-size picture for the
// 100 % view, with the picture's rows handed band by band to the caller and
// to a helper thread as they are decoded (the focus mask, the clipping and the
// histogram are computed beside the decode).
//
// Every file is untrusted and the work and memory per picture are bounded:
// what the header announces is checked before anything is allocated (a
// picture of up to 100 million pixels is shown scaled down, larger ones are
// refused, the 100 % view has a lower bound of its own), libjpeg's own
// buffers are capped, a progressive stream is stopped after a number of
// scans, and a decode can be cancelled between rows. A cut-off or damaged
// picture is shown as far as its data goes; the rest is grey, and the result
// says so in French. Not thread-safe: one decoder per thread.
#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

namespace orka {

struct ReviewLimits {
    qint64 maxFileBytes = 256LL * 1024 * 1024;
    int maxDimension = 65500;                         // either side, as announced
    qint64 maxAnnouncedPixels = 100LL * 1000 * 1000;  // larger: refused
    qint64 maxFullPixels = 24LL * 1000 * 1000;        // larger: fit view only
    qint64 maxFitPixels = 16LL * 1000 * 1000;         // the fit view's decode
    int maxScans = 64;                                // progressive scans
    long maxDecoderMemory = 128L * 1024 * 1024;       // libjpeg's own buffers
};

enum class ReviewProblem {
    None,
    Truncated,     // the data ends early: shown as far as it goes
    Damaged,       // corrupt data: shown, with made-up blocks
    NotJpeg,       // nothing shown
    Unreadable,    // the file or its header cannot be read; nothing shown
    TooLarge,      // announced larger than the limits; nothing shown
    TooManyScans,  // progressive with more scans than the limit; nothing shown
    OutOfMemory,   // libjpeg's buffers or the picture could not be had
    Cancelled,
};

struct ReviewDecode {
    // As delivered (not turned): the fit view in Format_RGB32, which paints
    // scaled fastest; the full picture in Format_BGR888, which the focus mask
    // and the clipping read. Null when nothing shows.
    QImage image;
    QSize announced;    // the picture's size in its header (empty when unread)
    int scale = 8;      // the decode's scale, in eighths
    int validRows = 0;  // rows of image made from the file's data; those below are grey
    ReviewProblem problem = ReviewProblem::None;
    QString message;  // what is wrong, in French; empty when nothing is
    bool shown() const { return !image.isNull(); }
};

// The message for a problem, for pictures of the given sizes.
QString ReviewProblemText(ReviewProblem problem, QSize announced, int validRows, int rows,
                          const ReviewLimits& limits, const QString& detail = {});

class ReviewDecoder {
  public:
    // Told the decoded picture's size (w x h), before any row.
    using Prepare = std::function<void(int w, int h)>;
    // Called with rows y0..y1-1 of the decoded picture, in order; rows[y] is
    // the address of row y (blue, green, red bytes, and a fourth of 255 in a
    // fit view).
    using BandHandler = std::function<void(const uint8_t* const* rows, int y0, int y1)>;
    static constexpr int BandRows = 16;

    explicit ReviewDecoder(const ReviewLimits& limits = {});
    ~ReviewDecoder();
    ReviewDecoder(const ReviewDecoder&) = delete;
    ReviewDecoder& operator=(const ReviewDecoder&) = delete;

    const ReviewLimits& limits() const { return limits_; }

    // Where the decoded pictures' pixels come from (a null image: refused);
    // QImage's own allocation when unset.
    using Allocate = std::function<QImage(int w, int h, QImage::Format format)>;
    void SetAllocator(Allocate allocate) { allocate_ = std::move(allocate); }

    // The scale, in eighths (1, 2, 4 or 8, the scales libjpeg reduces
    // fastest), of the smallest decode of a picture of size picture that
    // covers what the picture fills of a view of size view when fitted
    // (FitRect); 8 when view is empty. Kept under maxFitPixels when it can
    // be.
    int FitScale(QSize picture, QSize view) const;

    // Decodes a JPEG stream: scaled to fit a view of size fitView (FitScale;
    // the view in the picture's own orientation), or at full size when
    // fitView is empty. prepare learns the decode's size first; band sees
    // each band of rows on this thread once decoded; alongside sees them afterwards on the
    // decoder's helper thread, while the decode goes on; both have seen every row made from the
    // file's data when this returns, and no grey row. cancel, when set, stops the decode between
    // rows (Cancelled).
    ReviewDecode Decode(const uint8_t* data, size_t size, QSize fitView,
                        const Prepare& prepare = {}, const BandHandler& band = {},
                        const BandHandler& alongside = {},
                        const std::atomic<bool>* cancel = nullptr);

  private:
    struct Impl;
    ReviewLimits limits_;
    Allocate allocate_;
    std::unique_ptr<Impl> impl_;
};

}  // namespace orka
