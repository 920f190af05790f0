#include "ReviewLoader.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace orka {

namespace {

// The aids' settings for one kind of marks: the switches are the review's,
// the levels, sensitivity, colour and style the live view's.
AssistSettings FocusMaskSettings(const AssistSettings& aids) {
    AssistSettings s = aids;
    s.peaking = true;
    s.highlights = s.shadows = s.rgbHistogram = false;
    return s;
}

AssistSettings ClippingSettings(const AssistSettings& aids) {
    AssistSettings s = aids;
    s.peaking = false;
    s.highlights = s.shadows = true;
    s.rgbHistogram = true;
    s.rgbRowStep = 1;  // the whole picture
    return s;
}

QSize Transposed(QSize s) {
    return {s.height(), s.width()};
}

bool QuarterTurn(Orientation o) {
    return o == Orientation::Anticlockwise || o == Orientation::Clockwise;
}

// Where pixel (x, y) of a picture of w x h as delivered is displayed.
inline void Displayed(Orientation o, int w, int h, int x, int y, int& dx, int& dy) {
    switch (o) {
        case Orientation::Normal:
            dx = x, dy = y;
            return;
        case Orientation::UpsideDown:
            dx = w - 1 - x, dy = h - 1 - y;
            return;
        case Orientation::Anticlockwise:
            dx = y, dy = w - 1 - x;
            return;
        case Orientation::Clockwise:
            dx = h - 1 - y, dy = x;
            return;
    }
}

// The colour of the focus mask, blue-green-red, as the live view draws it.
std::array<uint8_t, 3> FocusMaskBgr(PeakingColour c) {
    switch (c) {
        case PeakingColour::Yellow:
            return {0, 255, 255};
        case PeakingColour::White:
            return {255, 255, 255};
        case PeakingColour::Blue:
            return {255, 64, 0};
        case PeakingColour::Red:
            break;
    }
    return {0, 0, 255};
}

ReviewPicturePtr Failed(const ReviewRequest& request, ReviewProblem problem,
                        const QString& message) {
    auto picture = std::make_shared<ReviewPicture>();
    picture->file = request.file;
    picture->full = request.full;
    picture->orientation = request.orientation;
    picture->problem = problem;
    picture->message = message;
    return picture;
}

}  // namespace

QString ReviewRequest::Key() const {
    QString key = file + QStringLiteral("|%1|%2").arg(full ? 1 : 0).arg(int(orientation));
    if (full)
        key += QStringLiteral("|%1|%2|%3")
                   .arg(assist.peakingSensitivity)
                   .arg(assist.highlightLevel)
                   .arg(assist.shadowLevel);
    else
        key += QStringLiteral("|%1x%2").arg(view.width()).arg(view.height());
    return key;
}

size_t ReviewPicture::Bytes() const {
    size_t bytes = sizeof(ReviewPicture) + size_t(shown.sizeInBytes());
    for (const auto* marks : {peaks.get(), clips.get()})
        if (marks && marks->settings().marks())
            bytes += size_t(marks->width()) * size_t(marks->height()) + size_t(marks->height());
    return bytes;
}

// What the composer's pictures give back. Shared by the composer and by the
// release functions of its pictures, which may run on any thread, after the
// composer is gone.
struct ReviewComposer::Spares {
    std::mutex mutex;                                 // guards blocks, bytes and marks
    std::vector<std::pair<uint8_t*, size_t>> blocks;  // from malloc
    size_t bytes = 0;
    std::vector<std::unique_ptr<LiveAssist>> marks;

    ~Spares() {
        for (const auto& b : blocks)
            std::free(b.first);
    }
    // A block of at least size bytes and at most a quarter more, or null.
    uint8_t* Take(size_t size) {
        std::lock_guard lock(mutex);
        auto best = blocks.end();
        for (auto it = blocks.begin(); it != blocks.end(); ++it)
            if (it->second >= size && it->second <= size + size / 4 &&
                (best == blocks.end() || it->second < best->second))
                best = it;
        if (best == blocks.end())
            return nullptr;
        uint8_t* data = best->first;
        bytes -= best->second;
        blocks.erase(best);
        return data;
    }
    void Give(uint8_t* data, size_t size) {
        {
            std::lock_guard lock(mutex);
            if (bytes + size <= SpareBytes) {
                blocks.emplace_back(data, size);
                bytes += size;
                return;
            }
        }
        std::free(data);
    }
    void Keep(LiveAssist* m) {
        std::unique_ptr<LiveAssist> owned(m);
        std::lock_guard lock(mutex);
        if (marks.size() < 2)
            marks.push_back(std::move(owned));
    }
};

namespace {

// A block of pixels lent to a QImage, given back when the image goes.
struct Loan {
    std::shared_ptr<ReviewComposer::Spares> spares;
    uint8_t* data;
    size_t size;
};

void GiveBack(void* info) {
    auto* loan = static_cast<Loan*>(info);
    loan->spares->Give(loan->data, loan->size);
    delete loan;
}

}  // namespace

ReviewComposer::ReviewComposer(const ReviewLimits& limits)
    : spares_(std::make_shared<Spares>()), decoder_(limits) {
    decoder_.SetAllocator([this](int w, int h, QImage::Format f) { return Image(w, h, f); });
}

QImage ReviewComposer::Image(int w, int h, QImage::Format format) {
    if (w <= 0 || h <= 0)
        return {};
    const qsizetype depth = format == QImage::Format_RGB32 ? 4 : 3;
    const qsizetype stride = (qsizetype(w) * depth + 3) & ~qsizetype(3);
    const size_t size = size_t(stride) * size_t(h);
    uint8_t* data = spares_->Take(size);
    if (!data)
        data = static_cast<uint8_t*>(std::malloc(size));
    if (!data)
        return {};
    auto* loan = new Loan{spares_, data, size};
    QImage image(data, w, h, stride, format, GiveBack, loan);
    if (image.isNull())
        GiveBack(loan);
    return image;
}

std::shared_ptr<LiveAssist> ReviewComposer::Marks() {
    std::unique_ptr<LiveAssist> marks;
    {
        std::lock_guard lock(spares_->mutex);
        if (!spares_->marks.empty()) {
            marks = std::move(spares_->marks.back());
            spares_->marks.pop_back();
        }
    }
    if (!marks)
        marks = std::make_unique<LiveAssist>();
    return {marks.release(), [spares = spares_](LiveAssist* m) { spares->Keep(m); }};
}

ReviewPicturePtr ReviewComposer::Compose(const ReviewRequest& request,
                                         const std::atomic<bool>* cancel) {
    const QFileInfo info(request.file);
    const QString name = info.fileName();
    QFile file(request.file);
    if (!info.exists())
        return Failed(
            request, ReviewProblem::Unreadable,
            QCoreApplication::translate("ReviewLoader", "Fichier introuvable : %1.").arg(name));
    if (info.size() > decoder_.limits().maxFileBytes)
        return Failed(request, ReviewProblem::TooLarge,
                      ReviewProblemText(ReviewProblem::TooLarge, {}, 0, 0, decoder_.limits()));
    if (!file.open(QIODevice::ReadOnly))
        return Failed(request, ReviewProblem::Unreadable,
                      QCoreApplication::translate("ReviewLoader", "Impossible de lire %1 : %2.")
                          .arg(name, file.errorString()));
    // At most the limit, and never a buffer of the limit's size.
    const QByteArray data = file.read(std::min(file.size(), decoder_.limits().maxFileBytes));
    auto made = Compose(request, reinterpret_cast<const uint8_t*>(data.constData()),
                        size_t(data.size()), cancel);
    auto picture = std::const_pointer_cast<ReviewPicture>(made);
    picture->fileBytes = info.size();
    picture->modified = info.lastModified();
    return picture;
}

ReviewPicturePtr ReviewComposer::Compose(const ReviewRequest& request, const uint8_t* data,
                                         size_t size, const std::atomic<bool>* cancel) {
    auto peaks = request.full ? Marks() : nullptr;
    auto clips = request.full ? Marks() : nullptr;
    const AssistSettings focusMask = FocusMaskSettings(request.assist);
    const AssistSettings clipping = ClippingSettings(request.assist);
    // A turned picture is turned band by band as it is decoded, while the
    // band is in cache; the rows the decode did not hand over (the grey ones
    // of a cut-off picture) after it.
    const Orientation orientation = request.orientation;
    const auto turnRows = request.full ? TurnRows : TurnRows32;
    QImage turned;
    std::vector<uint8_t*> turnedRows;
    int width = 0, height = 0, turnedTo = 0;
    const ReviewDecoder::Prepare prepare = [&](int w, int h) {
        width = w;
        height = h;
        if (request.full) {
            clips->Start(clipping, w, h);
            peaks->Start(focusMask, w, h);
        }
        if (orientation == Orientation::Normal)
            return;
        const QSize size = DisplaySize(orientation, w, h);
        turned = Image(size.width(), size.height(),
                       request.full ? QImage::Format_BGR888 : QImage::Format_RGB32);
        turnedRows.resize(size_t(turned.height()));
        for (int y = 0; y < turned.height(); ++y)
            turnedRows[size_t(y)] = turned.scanLine(y);
    };
    const ReviewDecoder::BandHandler band = [&](const uint8_t* const* rows, int y0, int y1) {
        if (turned.isNull())
            return;
        turnRows(orientation, rows, width, height, y0, y1, turnedRows.data());
        turnedTo = y1;
    };
    ReviewDecoder::BandHandler alongside;
    if (request.full) {
        // The clipping with the histogram and the focus mask on the decoder's
        // helper, beside the decode: together they take less time than the
        // decode, so the picture is ready when its last row is.
        alongside = [&](const uint8_t* const* rows, int y0, int y1) {
            clips->AddRows(rows, y0, y1);
            peaks->AddRows(rows, y0, y1);
        };
    }
    const QSize fitView = QuarterTurn(orientation) ? Transposed(request.view) : request.view;
    ReviewDecode decoded = decoder_.Decode(data, size, request.full ? QSize() : fitView, prepare,
                                           band, alongside, cancel);

    auto picture = std::make_shared<ReviewPicture>();
    picture->file = request.file;
    picture->full = request.full;
    picture->orientation = orientation;
    picture->delivered = decoded.announced;
    picture->scale = decoded.scale;
    picture->problem = decoded.problem;
    picture->message = decoded.message;
    if (!decoded.shown())
        return picture;
    if (orientation == Orientation::Normal) {
        picture->shown = std::move(decoded.image);
    } else if (turned.isNull()) {
        picture->problem = ReviewProblem::OutOfMemory;
        picture->message =
            ReviewProblemText(picture->problem, decoded.announced, 0, 0, decoder_.limits());
    } else {
        if (turnedTo < height) {
            const RowAddresses rows(std::as_const(decoded.image));
            turnRows(orientation, rows.rows(), width, height, turnedTo, height, turnedRows.data());
        }
        picture->shown = std::move(turned);
    }
    if (request.full) {
        clips->Finish();
        peaks->Finish();
        picture->rgb = clips->Rgb();
        picture->peaks = std::move(peaks);
        picture->clips = std::move(clips);
    }
    return picture;
}

ReviewCache::ReviewCache(size_t budgetBytes) : budget_(budgetBytes) {}

ReviewPicturePtr ReviewCache::Find(const ReviewRequest& request) const {
    const QString key = request.Key();
    ReviewPicturePtr picture;
    {
        std::lock_guard lock(mutex_);
        const auto it = entries_.find(key);
        if (it == entries_.end())
            return nullptr;
        order_.splice(order_.begin(), order_, it->second.at);
        picture = it->second.picture;
    }
    // The file changed since it was read (a copy that was still going on):
    // the entry is of no use any more.
    const QFileInfo info(request.file);
    if (info.exists() && info.size() == picture->fileBytes &&
        info.lastModified() == picture->modified)
        return picture;
    std::lock_guard lock(mutex_);
    const auto it = entries_.find(key);
    if (it != entries_.end() && it->second.picture == picture) {
        bytes_ -= picture->Bytes();
        order_.erase(it->second.at);
        entries_.erase(it);
    }
    return nullptr;
}

void ReviewCache::Insert(const ReviewRequest& request, ReviewPicturePtr picture) {
    if (!picture)
        return;
    const QString key = request.Key();
    const size_t size = picture->Bytes();
    std::lock_guard lock(mutex_);
    if (const auto it = entries_.find(key); it != entries_.end()) {
        bytes_ -= it->second.picture->Bytes();
        order_.erase(it->second.at);
        entries_.erase(it);
    }
    if (size > budget_)
        return;
    order_.push_front(key);
    entries_.emplace(key, Entry{std::move(picture), order_.begin()});
    bytes_ += size;
    while (bytes_ > budget_ && !order_.empty()) {
        const auto last = entries_.find(order_.back());
        bytes_ -= last->second.picture->Bytes();
        entries_.erase(last);
        order_.pop_back();
    }
}

void ReviewCache::MakeRoom(size_t bytes) {
    std::lock_guard lock(mutex_);
    while (!order_.empty() && bytes_ + bytes > budget_) {
        const auto last = entries_.find(order_.back());
        bytes_ -= last->second.picture->Bytes();
        entries_.erase(last);
        order_.pop_back();
    }
}

void ReviewCache::Clear() {
    std::lock_guard lock(mutex_);
    entries_.clear();
    order_.clear();
    bytes_ = 0;
}

size_t ReviewCache::bytes() const {
    std::lock_guard lock(mutex_);
    return bytes_;
}

size_t ReviewCache::count() const {
    std::lock_guard lock(mutex_);
    return entries_.size();
}

ReviewLoader::ReviewLoader(Done done, const ReviewLimits& limits, size_t cacheBudget)
    : done_(std::move(done)), cache_(cacheBudget), composer_(limits) {
    thread_ = std::thread(&ReviewLoader::Run, this);
}

ReviewLoader::~ReviewLoader() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
        cancel_.store(true);
    }
    wake_.notify_all();
    thread_.join();
}

void ReviewLoader::Show(std::vector<ReviewRequest> requests) {
    {
        std::lock_guard lock(mutex_);
        queue_.clear();
        bool keepCurrent = false;
        for (ReviewRequest& r : requests) {
            if (current_ && r.Key() == *current_)
                keepCurrent = true;  // under way: done will come
            else
                queue_.push_back(std::move(r));
        }
        if (current_ && !keepCurrent)
            cancel_.store(true);
    }
    wake_.notify_one();
}

bool ReviewLoader::busy() const {
    std::lock_guard lock(mutex_);
    return !queue_.empty() || current_.has_value();
}

void ReviewLoader::Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [&] { return stop_ || !queue_.empty(); });
        if (stop_)
            return;
        const ReviewRequest request = std::move(queue_.front());
        queue_.pop_front();
        current_ = request.Key();
        cancel_.store(false);
        lock.unlock();
        ReviewPicturePtr picture = cache_.Find(request);
        if (!picture) {
            size_t& last = lastBytes_[request.full ? 1 : 0];
            cache_.MakeRoom(last);
            picture = composer_.Compose(request, &cancel_);
            last = std::max(last, picture->Bytes());
            if (picture->problem != ReviewProblem::Cancelled)
                cache_.Insert(request, picture);
        }
        // Made: a Show from now on asks for it again rather than waiting.
        lock.lock();
        current_.reset();
        if (picture->problem != ReviewProblem::Cancelled) {
            lock.unlock();
            done_(request, picture);
            lock.lock();
        }
    }
}

QImage MarkedRows(const ReviewPicture& picture, int top, int bottom, bool focusMask,
                  bool clipping) {
    if (!picture.full || picture.shown.isNull())
        return {};
    const int w = picture.shown.width();
    const int h = picture.shown.height();
    top = std::clamp(top, 0, h);
    bottom = std::clamp(bottom, top, h);
    QImage band = picture.shown.copy(0, top, w, bottom - top);
    if (band.isNull())
        return {};
    // The marks outside the band land on one scratch row.
    std::vector<uint8_t> scratch(size_t(w) * 3);
    std::vector<uint8_t*> rows(size_t(h), scratch.data());
    for (int y = top; y < bottom; ++y)
        rows[size_t(y)] = band.scanLine(y - top);
    // The focus mask last: it wins over the clipping, as in the live view.
    if (clipping && picture.clips)
        DrawAssist(*picture.clips, picture.orientation, rows.data());
    if (focusMask && picture.peaks)
        DrawAssist(*picture.peaks, picture.orientation, rows.data());
    return band;
}

void MarkFitView(const ReviewPicture& full, bool focusMask, bool clipping, QImage& fit) {
    const LiveAssist* const sources[] = {clipping ? full.clips.get() : nullptr,
                                         focusMask ? full.peaks.get() : nullptr};
    const bool turned = QuarterTurn(full.orientation);
    const int fw = turned ? fit.height() : fit.width();  // the fit view as delivered
    const int fh = turned ? fit.width() : fit.height();
    if (fit.isNull() || fit.format() != QImage::Format_RGB32 || fw <= 0 || fh <= 0)
        return;
    // The marks of the pixels each fit pixel covers, joined.
    std::vector<uint8_t> joined;
    for (const LiveAssist* marks : sources) {
        if (!marks || !marks->complete() || marks->width() <= 0 || marks->height() <= 0)
            continue;
        joined.resize(size_t(fw) * size_t(fh));
        const int w = marks->width();
        const int h = marks->height();
        for (int y = 0; y < h; ++y) {
            const uint8_t* m = marks->MarksOfRow(y);
            if (!m)
                continue;
            uint8_t* row = joined.data() + size_t(int64_t(y) * fh / h) * size_t(fw);
            for (int x = 0; x < w; ++x)
                if (m[x])
                    row[int64_t(x) * fw / w] |= m[x];
        }
    }
    if (joined.empty())
        return;
    const auto peak =
        FocusMaskBgr(full.peaks ? full.peaks->settings().peakingColour : PeakingColour::Red);
    for (int y = 0; y < fh; ++y) {
        const uint8_t* m = joined.data() + size_t(y) * size_t(fw);
        for (int x = 0; x < fw; ++x) {
            const uint8_t bits = m[x];
            if (!bits)
                continue;
            std::array<uint8_t, 3> c{255, 0, 0};  // shadows: blue
            if (bits & kMarkPeak) {
                c = peak;
            } else if (bits & (kMarkClipRed | kMarkClipGreen | kMarkClipBlue)) {
                c = {uint8_t(bits & kMarkClipBlue ? 255 : 0),
                     uint8_t(bits & kMarkClipGreen ? 255 : 0),
                     uint8_t(bits & kMarkClipRed ? 255 : 0)};
                if ((bits & (kMarkClipRed | kMarkClipGreen | kMarkClipBlue)) ==
                    (kMarkClipRed | kMarkClipGreen | kMarkClipBlue))
                    c = {0, 0, 0};
            }
            int dx = 0, dy = 0;
            Displayed(full.orientation, fw, fh, x, y, dx, dy);
            reinterpret_cast<QRgb*>(fit.scanLine(dy))[dx] = qRgb(c[2], c[1], c[0]);
        }
    }
}

}  // namespace orka
