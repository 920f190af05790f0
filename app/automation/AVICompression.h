// AVI video files of the live view: a RIFF writer with one video stream,
// Motion-JPEG ("MJPG") or uncompressed 24-bit ("DIB ") frames, an idx1 index,
// and the helpers around a recording (file naming, timing fix, codec setting,
// rollover into the next file before the format's size limit).
#ifndef PCORKA_AVICOMPRESSION_H
#define PCORKA_AVICOMPRESSION_H

#include <QFile>
#include <QImage>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <vector>

class QSettings;

namespace orka {

// Options of the video stream, filled by DefaultAVIOptions.
struct TAVIOptions {
    int32_t Width;           // frame width in pixels, as displayed
    int32_t Height;          // frame height in pixels, as displayed
    QString Handler;         // FourCC of the compressor (at most 4 characters); only "MJPG"
    int32_t Quality;         // 0..10000; negative = the encoder's default quality
    int32_t FrameRate;       // nominal frames per second (until FixAviTiming)
    QString StreamName;      // stream name (at most 63 characters kept)
    int32_t KeyFrameEvery;   // kept for callers; every Motion-JPEG frame is a key frame
    int32_t BytesPerSecond;  // written as the main header's maximum data rate
    int32_t Flags;           // kept for callers: data rate (2) and key frames (4)
    bool Compress;           // true: Motion-JPEG frames; false: uncompressed frames
    bool ShowDialog;         // no codec choice exists here: ignored
};

// Width 320, Height 240, Handler "MJPG", Quality 5000, FrameRate 10,
// StreamName "Options", KeyFrameEvery 10, BytesPerSecond 153600, Flags 6,
// Compress true, ShowDialog false.
void DefaultAVIOptions(TAVIOptions& options);

// Results of TAVICompressor and VideoRecorder calls: 0 or one of these.
enum AviResult : int {
    kAviOk = 0,
    kAviCannotCreate = -2,  // the file could not be created
    kAviWriteFailed = -3,   // a write failed (disk full, device gone)
    kAviBadOptions = -4,    // size, frame rate or codec not usable
    kAviNotOpen = -5,       // no file is open
    kAviBadFrame = -6,      // null frame, or not the size of the stream
    kAviEncodeFailed = -7,  // the JPEG encoder failed
    kAviFileFull = -8,      // the frame would take the file past its size limit
};

// Players and libraries reading plain AVI (no OpenDML extension) stop at
// 1 GiB: files are kept below this size.
inline constexpr qint64 kAviMaxFileSize = qint64(1) << 30;

// Byte offsets of the first stream header's fields that FixAviTiming uses.
inline constexpr qint64 kAviStreamScaleOffset = 128;
inline constexpr qint64 kAviStreamRateOffset = 132;
inline constexpr qint64 kAviStreamLengthOffset = 140;

// Writes one AVI file. Not copyable; one thread.
class TAVICompressor {
  public:
    TAVICompressor();
    ~TAVICompressor();  // closes the file properly if still open
    TAVICompressor(const TAVICompressor&) = delete;
    TAVICompressor& operator=(const TAVICompressor&) = delete;

    // Replaces any file of that name and writes the headers. 0 or an error
    // (kAviCannotCreate, kAviBadOptions, kAviWriteFailed).
    int Open(const QString& fileName, const TAVIOptions& options);

    // Appends one frame of exactly Width x Height pixels. Any format is
    // accepted (converted to 24-bit BGR when it is not QImage::Format_BGR888).
    int AddFrame(const QImage& frame);
    // Same from raw rows: 3 bytes per pixel in the order blue, green, red,
    // topRow the first displayed row, stride bytes between rows.
    int AddFrame(const uint8_t* topRow, qsizetype stride);

    // Writes the index and the final sizes and closes the file. 0 or
    // kAviWriteFailed; 0 also when nothing was open.
    int Close();

    bool IsOpen() const { return file_.isOpen(); }
    int32_t FrameCount() const { return int32_t(index_.size()); }
    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    QString FileName() const { return file_.fileName(); }
    // Size the file would have if it were closed now (index included).
    qint64 ClosedSize() const;
    // Frames that would take the file to this size or beyond are refused
    // with kAviFileFull. Default kAviMaxFileSize.
    void SetMaxFileSize(qint64 bytes) { maxFileSize_ = bytes; }

  private:
    struct IndexEntry {
        uint32_t offset;  // from the 'movi' identifier
        uint32_t size;    // data bytes, without the chunk header or padding
    };
    class JpegEncoder;

    int WriteChunk(std::vector<uint8_t>& chunk, uint32_t dataSize);
    void Abandon();

    QFile file_;
    std::unique_ptr<JpegEncoder> encoder_;  // present while a Motion-JPEG file is open
    std::vector<IndexEntry> index_;
    std::vector<uint8_t> chunk_;  // chunk header + frame data of the frame being written
    qint64 moviListOffset_ = 0;   // offset of the 'LIST' of the movi list
    qint64 end_ = 0;              // end of the last complete chunk
    qint64 maxFileSize_ = kAviMaxFileSize;
    uint32_t largestChunk_ = 0;
    uint32_t chunkId_ = 0;
    int32_t width_ = 0;
    int32_t height_ = 0;
    bool failed_ = false;  // a write failed: nothing more is written
};

// One recording that may span several files: the next numbered file takes
// over before a file reaches its size limit, or when the displayed frame
// changes size (orientation turned). Each file is closed with its index and
// its timing fixed so that it plays for the time it covered.
//
// Failures: Start, AddFrame and Stop return a non-zero result only the first time a
// failure breaks the recording (ErrorText then holds a French message for the
// user); afterwards frames are dropped and 0 is returned, so the caller reports
// the failure once.
class VideoRecorder {
  public:
    explicit VideoRecorder(qint64 maxFileSize = kAviMaxFileSize);
    ~VideoRecorder();  // stops at the instant of the last frame

    VideoRecorder(const VideoRecorder&) = delete;
    VideoRecorder& operator=(const VideoRecorder&) = delete;

    // Opens NextVideoFileName(directory, prefix) with the options (Width and
    // Height = the displayed frame). timingStartMs is the instant the first
    // file's playing time counts from (start of recording + delay).
    int Start(const QString& directory, const QString& prefix, const TAVIOptions& options,
              qint64 timingStartMs);
    // Writes the displayed frame; nowMs is the instant it is written.
    int AddFrame(const QImage& frame, qint64 nowMs);
    // Closes the current file and fixes its timing up to nowMs.
    int Stop(qint64 nowMs);

    bool IsRecording() const { return recording_; }
    bool Failed() const { return failed_; }
    QString FileName() const { return currentName_; }  // the file being written
    QStringList FileNames() const { return names_; }   // every file of this recording
    QString ErrorText() const { return errorText_; }

  private:
    int OpenNext(int32_t width, int32_t height);
    int CloseCurrent(qint64 nowMs);
    int Fail(int code, const QString& text);

    TAVICompressor compressor_;
    TAVIOptions options_{};
    QString directory_;
    QString prefix_;
    QString currentName_;
    QStringList names_;
    QString errorText_;
    qint64 maxFileSize_;
    qint64 fileTimingStart_ = 0;  // instant the current file's playing time counts from
    qint64 lastNow_ = 0;
    bool recording_ = false;
    bool failed_ = false;
};

// Next free name for a video: directory (a trailing '/' is dropped) + '/' +
// prefix + five digits + ".avi", the number being one more than the largest
// found among prefix*.avi in the directory ("00001" when there is none; a
// name whose five characters after the prefix are not digits counts as 1).
// Gaps are not reused.
QString NextVideoFileName(const QString& directory, const QString& prefix);

// Rewrites the first stream's scale (offset 128) as the elapsed milliseconds
// nowMs - t0Ms and its rate (offset 132) as the frame count (read at 140)
// times 1000, so the file plays for the real recording time. Leaves the file
// untouched and returns false when it is not one of our AVI files, holds no
// frame, or no time elapsed.
bool FixAviTiming(const QString& fileName, qint64 t0Ms, qint64 nowMs);

// The codec setting "QuickCompress" kept in the application's settings store
// (QSettings, organisation and application "PCOrka"): writes value and
// returns the value stored before, or value itself when there was none.
int32_t SetIndeoQuickCompress(int32_t value);
int32_t SetIndeoQuickCompress(QSettings& store, int32_t value);

}  // namespace orka

#endif
