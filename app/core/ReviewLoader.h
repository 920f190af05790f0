// The pictures of the review, made off the window's thread: a file read and
// decoded for the fit view or at full size, turned as the live view is, and
// at full size its channel histogram, focus mask and clipping marks, computed
// on the full-resolution picture beside the decode (the decode and
// the clipping on the loader's thread, the focus mask on the decoder's
// helper); a bounded cache of what was made; and the loader thread, which
// works on what the view shows now and drops what it no longer needs.
#pragma once

#include <QDateTime>
#include <QImage>
#include <QSize>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <unordered_map>
#include <vector>

#include "LiveAssist.h"
#include "LiveViewMath.h"
#include "ReviewDecoder.h"

namespace orka {

struct ReviewRequest {
    QString file;       // the file to decode (a raw picture's companion)
    bool full = false;  // the 100 % picture and its analysis, else the fit view
    QSize view;         // fit: the view's size, as displayed
    Orientation orientation = Orientation::Normal;
    // The live view's aids: the focus mask's sensitivity and colour, the
    // clipping levels and style (full pictures; the switches are ignored).
    AssistSettings assist;

    // Identifies what the request makes (not the file's state).
    QString Key() const;
};

struct ReviewPicture {
    QString file;
    bool full = false;
    Orientation orientation = Orientation::Normal;
    QSize delivered;  // the picture's size as its file announces it
    // The decoded picture turned for display: Format_RGB32 in a fit view,
    // Format_BGR888 at full size. Null when nothing shows.
    QImage shown;
    int scale = 8;  // of the decode, in eighths
    ReviewProblem problem = ReviewProblem::None;
    QString message;   // French, empty when nothing is wrong
    RgbHistogram rgb;  // of the decoded pixels
    // Full pictures: the marks of the picture as delivered.
    std::shared_ptr<const LiveAssist> peaks;  // the focus mask
    std::shared_ptr<const LiveAssist> clips;  // highlight and shadow clipping
    // The file as it was read.
    qint64 fileBytes = -1;
    QDateTime modified;

    size_t Bytes() const;
};
using ReviewPicturePtr = std::shared_ptr<const ReviewPicture>;

// Reads, decodes, turns and analyses one picture. The pixels and the marks of
// the pictures it made go back to it when the last of them is let go (a
// picture dropped from the cache), up to a bound, and serve the next ones:
// fresh memory costs a page fault per 4 KiB, more than the decode of those
// pixels on some machines. Not thread-safe, but its pictures may be let go
// on any thread and outlive it.
class ReviewComposer {
  public:
    explicit ReviewComposer(const ReviewLimits& limits = {});
    // Never null; a picture that cannot be shown carries its message.
    ReviewPicturePtr Compose(const ReviewRequest& request,
                             const std::atomic<bool>* cancel = nullptr);
    // The same on a stream in memory (the fuzz target's and the bench's way).
    ReviewPicturePtr Compose(const ReviewRequest& request, const uint8_t* data, size_t size,
                             const std::atomic<bool>* cancel = nullptr);

    // Bytes of pixels and marks kept for reuse at most: a full picture of
    // the camera.
    static constexpr size_t SpareBytes = size_t(32) * 1024 * 1024;
    struct Spares;

  private:
    QImage Image(int w, int h, QImage::Format format);
    std::shared_ptr<LiveAssist> Marks();

    std::shared_ptr<Spares> spares_;
    ReviewDecoder decoder_;
};

// A cache of made pictures, bounded in bytes, least recently used first out.
// An entry is found only while its file has the size and the time it had
// when it was read. Thread-safe.
class ReviewCache {
  public:
    // Room for three full pictures of the camera and the fit views of a
    // session, well inside 256 MiB with the loader's work under way.
    static constexpr size_t DefaultBudget = size_t(128) * 1024 * 1024;

    explicit ReviewCache(size_t budgetBytes = DefaultBudget);
    ReviewPicturePtr Find(const ReviewRequest& request) const;
    // Adds (or replaces) the entry, then drops the least recently used until
    // the bytes fit the budget; a picture larger than the budget is not kept.
    void Insert(const ReviewRequest& request, ReviewPicturePtr picture);
    // Drops the least recently used until bytes more fit the budget: done
    // before a picture is made, the memory it needs is the memory just
    // given back, not fresh pages.
    void MakeRoom(size_t bytes);
    void Clear();
    size_t bytes() const;
    size_t count() const;
    size_t budget() const { return budget_; }

  private:
    const size_t budget_;
    // mutex_ guards entries_, order_ and bytes_; Find moves what it finds
    // to the front.
    mutable std::mutex mutex_;
    mutable std::list<QString> order_;  // keys, most recently used first
    struct Entry {
        ReviewPicturePtr picture;
        std::list<QString>::iterator at;
    };
    mutable std::unordered_map<QString, Entry> entries_;  // Find drops stale ones
    mutable size_t bytes_ = 0;
};

// The loader thread. Show replaces what is to be made by its requests, in
// order: a request already in the cache is answered from it, and a decode
// under way that the new list no longer holds is cancelled. done runs on the
// loader thread for each request made (a window hands it to its own thread);
// it is not called for a cancelled one.
class ReviewLoader {
  public:
    using Done = std::function<void(const ReviewRequest&, ReviewPicturePtr)>;
    explicit ReviewLoader(Done done, const ReviewLimits& limits = {},
                          size_t cacheBudget = ReviewCache::DefaultBudget);
    ~ReviewLoader();  // stops: cancels the decode under way and joins
    ReviewLoader(const ReviewLoader&) = delete;
    ReviewLoader& operator=(const ReviewLoader&) = delete;

    void Show(std::vector<ReviewRequest> requests);
    ReviewPicturePtr Cached(const ReviewRequest& request) const { return cache_.Find(request); }
    ReviewCache& cache() { return cache_; }
    // True while requests are waiting or being made.
    bool busy() const;

  private:
    void Run();

    const Done done_;
    ReviewCache cache_;
    ReviewComposer composer_;  // the loader thread's only
    // The largest fit and full pictures made: the room to make before the
    // next. The loader thread's only.
    size_t lastBytes_[2] = {0, 0};
    // mutex_ guards queue_, current_, stop_; cancel_ is set with it held
    // and read by the decode without it.
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<ReviewRequest> queue_;
    std::optional<QString> current_;  // key of the request being made
    bool stop_ = false;
    std::atomic<bool> cancel_{false};
    std::thread thread_;
};

// Marks the viewport band of a full picture: a copy of the displayed rows
// top..bottom-1 (whole rows), with the focus mask and/or the clipping drawn
// as the live view draws them. Null when the picture is not a full one.
QImage MarkedRows(const ReviewPicture& picture, int top, int bottom, bool focusMask, bool clipping);

// Marks a fit view (fit: picture.shown of a fit picture, any scale, RGB32) with the
// marks of the full picture, each fit pixel in the colour of what the pixels
// it covers are marked for: the focus mask in its colour, clipped highlights
// in the colour of the clipped channels (black where all three clip),
// clipped shadows in blue.
void MarkFitView(const ReviewPicture& full, bool focusMask, bool clipping, QImage& fit);

}  // namespace orka
