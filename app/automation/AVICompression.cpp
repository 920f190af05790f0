#include "AVICompression.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <limits>

// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>

namespace orka {

namespace {

// Frames never exceed 544 pixels a side; anything above this is a caller's mistake.
constexpr int32_t kMaxSide = 8192;
constexpr int32_t kMaxFrameRate = 1000;
constexpr size_t kChunkHeader = 8;  // FourCC + size
constexpr size_t kIndexEntry = 16;
constexpr uint32_t kAvihSize = 56;
constexpr uint32_t kStrhSize = 56;
constexpr uint32_t kBitmapHeaderSize = 40;
constexpr uint32_t kAvifHasIndex = 0x10;
constexpr uint32_t kAviifKeyFrame = 0x10;
constexpr int kDefaultJpegQuality = 75;

// Offsets in the header block written by Open.
constexpr qint64 kRiffSizeOffset = 4;
constexpr qint64 kAvihTotalFramesOffset = 48;
constexpr qint64 kAvihBufferOffset = 60;
constexpr qint64 kStrhBufferOffset = 144;

constexpr uint32_t FourCC(const char (&s)[5]) {
    return uint32_t(uint8_t(s[0])) | uint32_t(uint8_t(s[1])) << 8 | uint32_t(uint8_t(s[2])) << 16 |
           uint32_t(uint8_t(s[3])) << 24;
}

void PutLe32(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}

uint32_t GetLe32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// Appends little-endian values to a byte block and patches sizes afterwards.
class ByteWriter {
  public:
    void U32(uint32_t v) {
        uint8_t b[4];
        PutLe32(b, v);
        bytes_.insert(bytes_.end(), b, b + 4);
    }
    void U16(uint16_t v) {
        bytes_.push_back(uint8_t(v));
        bytes_.push_back(uint8_t(v >> 8));
    }
    void Id(const char (&s)[5]) { U32(FourCC(s)); }
    void Bytes(const QByteArray& b) { bytes_.insert(bytes_.end(), b.begin(), b.end()); }
    void PadToEven() {
        if (bytes_.size() & 1)
            bytes_.push_back(0);
    }
    size_t Pos() const { return bytes_.size(); }
    void PatchU32(size_t at, uint32_t v) { PutLe32(bytes_.data() + at, v); }
    const std::vector<uint8_t>& Data() const { return bytes_; }

  private:
    std::vector<uint8_t> bytes_;
};

bool WriteAt(QFile& file, qint64 offset, uint32_t value) {
    uint8_t b[4];
    PutLe32(b, value);
    return file.seek(offset) && file.write(reinterpret_cast<const char*>(b), 4) == 4;
}

int JpegQuality(int32_t quality) {
    if (quality < 0)
        return kDefaultJpegQuality;
    return std::clamp((std::min(quality, 10000) + 50) / 100, 1, 100);
}

}  // namespace

void DefaultAVIOptions(TAVIOptions& options) {
    options.Width = 320;
    options.Height = 240;
    options.Handler = QStringLiteral("MJPG");
    options.Quality = 5000;
    options.FrameRate = 10;
    options.StreamName = QStringLiteral("Options");
    options.KeyFrameEvery = 10;
    options.BytesPerSecond = 153600;
    options.Flags = 6;
    options.Compress = true;
    options.ShowDialog = false;
}

// Motion-JPEG frames through the libjpeg API. One compressor object serves
// every frame of a file; errors come back through longjmp, so nothing with a
// destructor lives between setjmp and the libjpeg calls.
class TAVICompressor::JpegEncoder {
  public:
    JpegEncoder(int32_t width, int32_t height, int quality) : rows_(size_t(height)) {
        cinfo_.err = jpeg_std_error(&err_.pub);
        err_.pub.error_exit = ErrorExit;
        err_.pub.output_message = [](j_common_ptr) {};
        dest_.pub.init_destination = InitDestination;
        dest_.pub.empty_output_buffer = EmptyOutputBuffer;
        dest_.pub.term_destination = TermDestination;
        ok_ = Setup(width, height, quality);
    }
    ~JpegEncoder() { jpeg_destroy_compress(&cinfo_); }
    JpegEncoder(const JpegEncoder&) = delete;
    JpegEncoder& operator=(const JpegEncoder&) = delete;

    bool Ok() const { return ok_; }

    // Encodes the frame into out after kChunkHeader reserved bytes; out is
    // resized to the end of the JPEG stream.
    bool Encode(const uint8_t* topRow, qsizetype stride, std::vector<uint8_t>& out) {
        if (!ok_)
            return false;
        for (size_t r = 0; r < rows_.size(); ++r)
            rows_[r] = const_cast<JSAMPROW>(topRow + qsizetype(r) * stride);
        dest_.out = &out;
        return Compress();
    }

  private:
    struct ErrorManager {
        jpeg_error_mgr pub;
        jmp_buf jump;
    };
    struct Destination {
        jpeg_destination_mgr pub;
        std::vector<uint8_t>* out;
    };

    bool Setup(int32_t width, int32_t height, int quality) {
        if (setjmp(err_.jump))
            return false;
        jpeg_create_compress(&cinfo_);
        cinfo_.dest = &dest_.pub;
        cinfo_.image_width = JDIMENSION(width);
        cinfo_.image_height = JDIMENSION(height);
        cinfo_.input_components = 3;
        cinfo_.in_color_space = JCS_EXT_BGR;
        jpeg_set_defaults(&cinfo_);
        jpeg_set_quality(&cinfo_, quality, TRUE);
        cinfo_.dct_method = JDCT_IFAST;
        return true;
    }

    bool Compress() {
        if (setjmp(err_.jump)) {
            jpeg_abort_compress(&cinfo_);
            return false;
        }
        jpeg_start_compress(&cinfo_, TRUE);
        while (cinfo_.next_scanline < cinfo_.image_height)
            jpeg_write_scanlines(&cinfo_, rows_.data() + cinfo_.next_scanline,
                                 cinfo_.image_height - cinfo_.next_scanline);
        jpeg_finish_compress(&cinfo_);
        return true;
    }

    static void ErrorExit(j_common_ptr cinfo) {
        longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
    }
    static std::vector<uint8_t>& Out(j_compress_ptr cinfo) {
        return *reinterpret_cast<Destination*>(cinfo->dest)->out;
    }
    static void InitDestination(j_compress_ptr cinfo) {
        std::vector<uint8_t>& out = Out(cinfo);
        out.resize(std::max(out.capacity(), kChunkHeader + 64 * 1024));
        cinfo->dest->next_output_byte = out.data() + kChunkHeader;
        cinfo->dest->free_in_buffer = out.size() - kChunkHeader;
    }
    static boolean EmptyOutputBuffer(j_compress_ptr cinfo) {
        std::vector<uint8_t>& out = Out(cinfo);
        const size_t used = out.size();
        out.resize(used * 2);
        cinfo->dest->next_output_byte = out.data() + used;
        cinfo->dest->free_in_buffer = out.size() - used;
        return TRUE;
    }
    static void TermDestination(j_compress_ptr cinfo) {
        std::vector<uint8_t>& out = Out(cinfo);
        out.resize(out.size() - cinfo->dest->free_in_buffer);
    }

    jpeg_compress_struct cinfo_{};
    ErrorManager err_{};
    Destination dest_{};
    std::vector<JSAMPROW> rows_;
    bool ok_ = false;
};

TAVICompressor::TAVICompressor() = default;

TAVICompressor::~TAVICompressor() {
    Close();
}

int TAVICompressor::Open(const QString& fileName, const TAVIOptions& options) {
    Close();
    if (options.Width <= 0 || options.Height <= 0 || options.Width > kMaxSide ||
        options.Height > kMaxSide || options.FrameRate <= 0 || options.FrameRate > kMaxFrameRate)
        return kAviBadOptions;
    // Motion-JPEG is the only codec: an unknown FourCC would label frames
    // that players then decode wrongly.
    const bool mjpg = options.Compress;
    if (mjpg && !options.Handler.isEmpty() &&
        options.Handler.compare(QLatin1String("MJPG"), Qt::CaseInsensitive) != 0)
        return kAviBadOptions;

    const int32_t width = options.Width;
    const int32_t height = options.Height;
    const uint32_t imageSize = uint32_t((width * 3 + 3) & ~3) * uint32_t(height);
    if (mjpg) {
        encoder_ = std::make_unique<JpegEncoder>(width, height, JpegQuality(options.Quality));
        if (!encoder_->Ok()) {
            encoder_.reset();
            return kAviEncodeFailed;
        }
    }

    ByteWriter h;
    h.Id("RIFF");
    h.U32(0);  // patched by Close
    h.Id("AVI ");
    h.Id("LIST");
    const size_t hdrlSizeAt = h.Pos();
    h.U32(0);
    h.Id("hdrl");

    h.Id("avih");
    h.U32(kAvihSize);
    h.U32(uint32_t(1000000 / options.FrameRate));  // microseconds per frame
    h.U32(uint32_t(std::max(options.BytesPerSecond, 0)));
    h.U32(0);  // padding granularity
    h.U32(kAvifHasIndex);
    h.U32(0);  // total frames, patched by Close
    h.U32(0);  // initial frames
    h.U32(1);  // streams
    h.U32(imageSize);
    h.U32(uint32_t(width));
    h.U32(uint32_t(height));
    for (int i = 0; i < 4; ++i)
        h.U32(0);

    h.Id("LIST");
    const size_t strlSizeAt = h.Pos();
    h.U32(0);
    h.Id("strl");
    h.Id("strh");
    h.U32(kStrhSize);
    h.Id("vids");
    if (mjpg)
        h.Id("MJPG");
    else
        h.Id("DIB ");
    h.U32(0);  // flags
    h.U16(0);  // priority
    h.U16(0);  // language
    h.U32(0);  // initial frames
    h.U32(1000);
    h.U32(uint32_t(options.FrameRate) * 1000);
    h.U32(0);  // start
    h.U32(0);  // length, patched by Close
    h.U32(imageSize);
    h.U32(uint32_t(std::clamp(options.Quality, -1, 10000)));
    h.U32(0);  // sample size
    h.U16(0);
    h.U16(0);
    h.U16(uint16_t(width));
    h.U16(uint16_t(height));

    h.Id("strf");
    h.U32(kBitmapHeaderSize);
    h.U32(kBitmapHeaderSize);
    h.U32(uint32_t(width));
    h.U32(uint32_t(height));  // positive: bottom-up rows for uncompressed frames
    h.U16(1);
    h.U16(24);
    h.U32(mjpg ? FourCC("MJPG") : 0);
    h.U32(imageSize);
    for (int i = 0; i < 4; ++i)
        h.U32(0);

    QByteArray name = options.StreamName.left(63).toLatin1();
    name.append('\0');
    h.Id("strn");
    h.U32(uint32_t(name.size()));
    h.Bytes(name);
    h.PadToEven();
    h.PatchU32(strlSizeAt, uint32_t(h.Pos() - strlSizeAt - 4));
    h.PatchU32(hdrlSizeAt, uint32_t(h.Pos() - hdrlSizeAt - 4));

    const size_t moviAt = h.Pos();
    h.Id("LIST");
    h.U32(4);  // patched by Close
    h.Id("movi");

    file_.setFileName(fileName);
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        encoder_.reset();
        return kAviCannotCreate;
    }
    const auto& bytes = h.Data();
    if (file_.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size())) !=
        qint64(bytes.size())) {
        Abandon();
        return kAviWriteFailed;
    }
    width_ = width;
    height_ = height;
    chunkId_ = mjpg ? FourCC("00dc") : FourCC("00db");
    moviListOffset_ = qint64(moviAt);
    end_ = qint64(bytes.size());
    largestChunk_ = imageSize;
    index_.clear();
    failed_ = false;
    return kAviOk;
}

int TAVICompressor::AddFrame(const QImage& frame) {
    if (frame.isNull() || frame.width() != width_ || frame.height() != height_)
        return IsOpen() ? kAviBadFrame : kAviNotOpen;
    if (frame.format() == QImage::Format_BGR888)
        return AddFrame(frame.constBits(), frame.bytesPerLine());
    const QImage bgr = frame.convertToFormat(QImage::Format_BGR888);
    return AddFrame(bgr.constBits(), bgr.bytesPerLine());
}

int TAVICompressor::AddFrame(const uint8_t* topRow, qsizetype stride) {
    if (!IsOpen())
        return kAviNotOpen;
    if (failed_)
        return kAviWriteFailed;
    const qsizetype rowBytes = qsizetype(width_) * 3;
    if (!topRow || (stride < rowBytes && -stride < rowBytes))
        return kAviBadFrame;

    uint32_t dataSize;
    if (encoder_) {
        if (!encoder_->Encode(topRow, stride, chunk_))
            return kAviEncodeFailed;
        dataSize = uint32_t(chunk_.size() - kChunkHeader);
    } else {
        // Uncompressed frames are stored bottom-up, rows padded to 4 bytes.
        const size_t paddedRow = size_t((rowBytes + 3) & ~qsizetype(3));
        dataSize = uint32_t(paddedRow * size_t(height_));
        chunk_.assign(kChunkHeader + dataSize, 0);
        for (int32_t r = 0; r < height_; ++r)
            std::memcpy(chunk_.data() + kChunkHeader + size_t(height_ - 1 - r) * paddedRow,
                        topRow + qsizetype(r) * stride, size_t(rowBytes));
    }
    return WriteChunk(chunk_, dataSize);
}

int TAVICompressor::WriteChunk(std::vector<uint8_t>& chunk, uint32_t dataSize) {
    if (dataSize & 1)
        chunk.push_back(0);  // chunks start on even offsets
    const qint64 chunkBytes = qint64(chunk.size());
    const qint64 closedSize =
        end_ + chunkBytes + qint64(kChunkHeader) + qint64(kIndexEntry) * qint64(index_.size() + 1);
    if (closedSize >= std::min(maxFileSize_, qint64(std::numeric_limits<int32_t>::max())))
        return kAviFileFull;

    PutLe32(chunk.data(), chunkId_);
    PutLe32(chunk.data() + 4, dataSize);
    if (file_.write(reinterpret_cast<const char*>(chunk.data()), chunkBytes) != chunkBytes) {
        // Cut off the partial chunk so that Close can still index what was written.
        failed_ = true;
        file_.resize(end_);
        file_.seek(end_);
        return kAviWriteFailed;
    }
    index_.push_back({uint32_t(end_ - (moviListOffset_ + 8)), dataSize});
    end_ += chunkBytes;
    largestChunk_ = std::max(largestChunk_, dataSize);
    return kAviOk;
}

qint64 TAVICompressor::ClosedSize() const {
    return end_ + qint64(kChunkHeader) + qint64(kIndexEntry) * qint64(index_.size());
}

int TAVICompressor::Close() {
    if (!IsOpen())
        return kAviOk;
    ByteWriter idx;
    idx.Id("idx1");
    idx.U32(uint32_t(kIndexEntry * index_.size()));
    for (const IndexEntry& e : index_) {
        idx.U32(chunkId_);
        idx.U32(kAviifKeyFrame);
        idx.U32(e.offset);
        idx.U32(e.size);
    }
    const auto& bytes = idx.Data();
    const qint64 total = end_ + qint64(bytes.size());
    const uint32_t frames = uint32_t(index_.size());
    bool ok = file_.seek(end_) && file_.write(reinterpret_cast<const char*>(bytes.data()),
                                              qint64(bytes.size())) == qint64(bytes.size());
    ok = ok && WriteAt(file_, kRiffSizeOffset, uint32_t(total - 8));
    ok = ok && WriteAt(file_, moviListOffset_ + 4, uint32_t(end_ - moviListOffset_ - 8));
    ok = ok && WriteAt(file_, kAvihTotalFramesOffset, frames);
    ok = ok && WriteAt(file_, kAvihBufferOffset, largestChunk_);
    ok = ok && WriteAt(file_, kAviStreamLengthOffset, frames);
    ok = ok && WriteAt(file_, kStrhBufferOffset, largestChunk_);
    ok = ok && file_.resize(total);  // a cut-off partial chunk may have left bytes behind
    file_.close();
    ok = ok && file_.error() == QFileDevice::NoError;
    encoder_.reset();
    index_.clear();
    failed_ = false;
    return ok ? kAviOk : kAviWriteFailed;
}

void TAVICompressor::Abandon() {
    file_.close();
    file_.remove();
    encoder_.reset();
    index_.clear();
}

VideoRecorder::VideoRecorder(qint64 maxFileSize) : maxFileSize_(maxFileSize) {
    compressor_.SetMaxFileSize(maxFileSize);
}

VideoRecorder::~VideoRecorder() {
    Stop(lastNow_);
}

int VideoRecorder::Start(const QString& directory, const QString& prefix,
                         const TAVIOptions& options, qint64 timingStartMs) {
    Stop(lastNow_);
    options_ = options;
    directory_ = directory;
    prefix_ = prefix;
    names_.clear();
    errorText_.clear();
    failed_ = false;
    recording_ = true;
    fileTimingStart_ = timingStartMs;
    lastNow_ = timingStartMs;
    return OpenNext(options.Width, options.Height);
}

int VideoRecorder::OpenNext(int32_t width, int32_t height) {
    TAVIOptions options = options_;
    options.Width = width;
    options.Height = height;
    currentName_ = NextVideoFileName(directory_, prefix_);
    const int rc = compressor_.Open(currentName_, options);
    if (rc == kAviBadOptions)
        return Fail(
            rc, QCoreApplication::translate("AVICompression", "Format vidéo non pris en charge"));
    if (rc != kAviOk)
        return Fail(rc, QCoreApplication::translate("AVICompression",
                                                    "Impossible de créer le fichier vidéo ") +
                            QDir::toNativeSeparators(currentName_));
    names_ << currentName_;
    return kAviOk;
}

int VideoRecorder::CloseCurrent(qint64 nowMs) {
    const int rc = compressor_.Close();
    FixAviTiming(currentName_, fileTimingStart_, nowMs);
    return rc;
}

int VideoRecorder::Fail(int code, const QString& text) {
    if (compressor_.IsOpen())
        CloseCurrent(lastNow_);
    if (failed_)
        return kAviOk;
    failed_ = true;
    errorText_ = text;
    return code;
}

int VideoRecorder::AddFrame(const QImage& frame, qint64 nowMs) {
    if (!recording_ || failed_ || frame.isNull())
        return kAviOk;
    lastNow_ = nowMs;
    if (frame.width() != compressor_.Width() || frame.height() != compressor_.Height()) {
        // The displayed orientation changed: the stream format follows it in
        // a new file (the empty file of a recording that has not written a
        // frame yet is simply replaced).
        if (compressor_.FrameCount() == 0) {
            compressor_.Close();
            QFile::remove(currentName_);
            names_.removeAll(currentName_);
        } else {
            if (CloseCurrent(nowMs) != kAviOk)
                return Fail(kAviWriteFailed,
                            QCoreApplication::translate("AVICompression",
                                                        "Erreur d'écriture du fichier vidéo ") +
                                QDir::toNativeSeparators(currentName_));
            fileTimingStart_ = nowMs;
        }
        if (const int rc = OpenNext(frame.width(), frame.height()); rc != kAviOk)
            return rc;
    }
    int rc = compressor_.AddFrame(frame);
    if (rc == kAviFileFull && compressor_.FrameCount() > 0) {
        if (CloseCurrent(nowMs) != kAviOk)
            return Fail(kAviWriteFailed,
                        QCoreApplication::translate("AVICompression",
                                                    "Erreur d'écriture du fichier vidéo ") +
                            QDir::toNativeSeparators(currentName_));
        fileTimingStart_ = nowMs;
        if (const int open = OpenNext(frame.width(), frame.height()); open != kAviOk)
            return open;
        rc = compressor_.AddFrame(frame);
    }
    switch (rc) {
        case kAviOk:
        case kAviBadFrame:
            return kAviOk;
        case kAviFileFull:
            return Fail(rc, QCoreApplication::translate(
                                "AVICompression", "Image trop grande pour le fichier vidéo ") +
                                QDir::toNativeSeparators(currentName_));
        default:
            return Fail(rc, QCoreApplication::translate("AVICompression",
                                                        "Erreur d'écriture du fichier vidéo ") +
                                QDir::toNativeSeparators(currentName_));
    }
}

int VideoRecorder::Stop(qint64 nowMs) {
    if (!recording_)
        return kAviOk;
    recording_ = false;
    if (!compressor_.IsOpen())
        return kAviOk;
    if (CloseCurrent(nowMs) != kAviOk)
        return Fail(kAviWriteFailed, QCoreApplication::translate(
                                         "AVICompression", "Erreur d'écriture du fichier vidéo ") +
                                         QDir::toNativeSeparators(currentName_));
    return kAviOk;
}

QString NextVideoFileName(const QString& directory, const QString& prefix) {
    QString d = directory;
    while (d.endsWith(QLatin1Char('/')))
        d.chop(1);
    const QDir dir(d.isEmpty() ? QStringLiteral("/") : d);
    // Listed and matched here rather than through a name filter, so that
    // wildcard characters in the prefix are taken literally.
    const QStringList entries =
        dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    int highest = 0;
    for (const QString& entry : entries) {
        if (!entry.startsWith(prefix, Qt::CaseInsensitive) ||
            !entry.endsWith(QLatin1String(".avi"), Qt::CaseInsensitive) ||
            entry.size() < prefix.size() + 4)
            continue;
        const QString digits = entry.mid(prefix.size(), 5);
        int number = 1;
        if (digits.size() == 5 &&
            std::all_of(digits.begin(), digits.end(), [](QChar c) { return c.isDigit(); }))
            number = digits.toInt();
        highest = std::max(highest, number);
    }
    auto path = [&](int n) {
        return d + QLatin1Char('/') + prefix +
               QStringLiteral("%1").arg(n, 5, 10, QLatin1Char('0')) + QStringLiteral(".avi");
    };
    // Past 99999 the five characters read back no longer grow: step over
    // names already taken instead of replacing a recording.
    int next = highest + 1;
    while (QFileInfo::exists(path(next)))
        ++next;
    return path(next);
}

bool FixAviTiming(const QString& fileName, qint64 t0Ms, qint64 nowMs) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadWrite))
        return false;
    uint8_t head[kAviStreamLengthOffset + 4];
    if (file.read(reinterpret_cast<char*>(head), sizeof head) != qint64(sizeof head))
        return false;
    if (GetLe32(head) != FourCC("RIFF") || GetLe32(head + 8) != FourCC("AVI ") ||
        GetLe32(head + 100) != FourCC("strh") || GetLe32(head + 108) != FourCC("vids"))
        return false;
    const uint64_t frames = GetLe32(head + kAviStreamLengthOffset);
    const qint64 elapsed = nowMs - t0Ms;
    // A zero scale or rate would make the file unreadable.
    if (frames == 0 || elapsed <= 0 || elapsed > qint64(std::numeric_limits<uint32_t>::max()) ||
        frames * 1000 > std::numeric_limits<uint32_t>::max())
        return false;
    return WriteAt(file, kAviStreamScaleOffset, uint32_t(elapsed)) &&
           WriteAt(file, kAviStreamRateOffset, uint32_t(frames * 1000)) && file.flush();
}

int32_t SetIndeoQuickCompress(QSettings& store, int32_t value) {
    const QString key = QStringLiteral("Video/QuickCompress");
    bool ok = false;
    int32_t previous = store.value(key).toInt(&ok);
    if (!store.contains(key) || !ok)
        previous = value;
    store.setValue(key, value);
    store.sync();
    return previous;
}

int32_t SetIndeoQuickCompress(int32_t value) {
    QSettings store(QStringLiteral("PCOrka"), QStringLiteral("PCOrka"));
    return SetIndeoQuickCompress(store, value);
}

}  // namespace orka
