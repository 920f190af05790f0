// Geometry of the live view: display orientations, the conversion of preview
// points to camera frame points, the frame turns applied to each decoded
// frame, and the frame-rate meter.
#pragma once

#include <QImage>
#include <QLocale>
#include <QSize>
#include <QString>

#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace orka {

// The orientation buttons: ImgHorz0, ImgHorz1, ImgVertG, ImgVertD.
enum class Orientation {
    Normal,         // ImgHorz0
    UpsideDown,     // ImgHorz1
    Anticlockwise,  // ImgVertG, a quarter turn anticlockwise
    Clockwise,      // ImgVertD, a quarter turn clockwise
};

// The camera's full image frame, the currency of focus and grey points.
inline constexpr int CameraFrameWidth = 3264;
inline constexpr int CameraFrameHeight = 2448;

// The preview sizes of DimPreView: item 0 "320 x 240", item 1 "544 x 408".
inline constexpr int kSmallPreviewItem = 0;
inline constexpr int kLargePreviewItem = 1;
// The size of the frames the camera delivers for an item of DimPreView: the
// large preview for item 1, the small one for any other.
inline QSize PreviewFrameSize(int item) {
    return item == kLargePreviewItem ? QSize(544, 408) : QSize(320, 240);
}

// Size of the displayed picture for a frame of w x h delivered by the camera.
QSize DisplaySize(Orientation orientation, int w, int h);

// Converts a point (x, y) of the displayed preview into the camera frame,
// for a frame delivered as previewWidth x previewHeight: undoes the
// orientation, then scales, rounding half to even in extended precision.
// A preview without size gives (0, 0).
std::array<int32_t, 2> PreviewToCamera(int x, int y, Orientation orientation, int previewWidth,
                                       int previewHeight);

// Copies a frame of w x h BGR888 pixels (3 bytes each, rows given by their
// addresses) into dst turned as the orientation asks. dst has h rows of w
// pixels for Normal and UpsideDown, w rows of h pixels for the quarter turns.
// Source and destination must not overlap.
void TurnFrame(Orientation orientation, const uint8_t* const* src, int w, int h,
               uint8_t* const* dst);
// The same for source rows y0..y1-1 only (clipped to the frame), so that a
// frame can be turned band by band while its rows are still in cache. For the
// quarter turns, source pixel (x, y) goes to destination row w-1-x, column y
// (anticlockwise) or row x, column h-1-y (clockwise).
void TurnRows(Orientation orientation, const uint8_t* const* src, int w, int h, int y0, int y1,
              uint8_t* const* dst);
// Reverses the order of the w BGR888 pixels of rows y0..y1-1 in place: rows
// decoded bottom up into the displayed picture are then upside down.
void MirrorRows(uint8_t* const* rows, int w, int y0, int y1);
// The same for pictures of four bytes per pixel (Format_RGB32).
void TurnRows32(Orientation orientation, const uint8_t* const* src, int w, int h, int y0, int y1,
                uint8_t* const* dst);
// The turns use the processor's byte-shuffle instructions (SSSE3), and its
// AVX-512 byte permutations (VBMI) for blocks of sixteen pixels, where it has
// them; false keeps them to the portable code, so that tests can check
// both. Not to be called while a turn runs on another thread.
void UseProcessorExtensions(bool on);
// Whether they are in use: the other per-frame pixel loops follow the same
// choice.
bool ProcessorExtensionsInUse();
// Within that choice, false holds the AVX-512 routines off, so that tests
// can check the AVX2 and SSSE3 ones on a processor that has AVX-512 too.
void UseAvx512(bool on);
// Whether the AVX-512 routines may run (the caller checks that the
// processor has the ones it needs).
bool Avx512InUse();
// Whether those with AVX-512's byte permutations (VBMI) run.
bool VbmiInUse();

// True when the sixteen BGR888 pixels at p are all equal: the per-frame
// counts take such a stretch of a flat area at once.
inline bool SixteenEqualPixels(const uint8_t* p) {
    // Every byte equals the byte three after it, for bytes 0..44 of 48.
#if defined(__SSE2__)
    const auto at = [p](int i) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i)); };
    const __m128i same =
        _mm_and_si128(_mm_and_si128(_mm_cmpeq_epi8(at(0), at(3)), _mm_cmpeq_epi8(at(16), at(19))),
                      _mm_cmpeq_epi8(at(29), at(32)));
    return _mm_movemask_epi8(same) == 0xFFFF;
#else
    return std::memcmp(p, p + 3, 45) == 0;
#endif
}

// The same on images: src must be Format_BGR888; dst becomes a Format_BGR888
// image of the turned size (reallocated only when its size or format differs).
void TurnFrame(Orientation orientation, const QImage& src, QImage& dst);

// The row addresses of an image for the row-based routines: on the stack
// for previews (up to 544 rows), on the heap for larger pictures.
class RowAddresses {
  public:
    explicit RowAddresses(const QImage& image);  // rows to read
    // Rows to write (detaches image); bottomUp lists the last row first.
    explicit RowAddresses(QImage& image, bool bottomUp = false);
    RowAddresses(const RowAddresses&) = delete;
    RowAddresses& operator=(const RowAddresses&) = delete;

    const uint8_t* const* rows() const { return rows_; }
    uint8_t* const* writableRows() const { return rows_; }

  private:
    void Reserve(int height);
    void Fill(uint8_t* first, qsizetype stride, int height);  // row 0 at first

    static constexpr int kStackRows = 544;
    uint8_t* stack_[kStackRows];
    std::vector<uint8_t*> heap_;
    uint8_t** rows_ = stack_;
};

// Frame rate over the eight frame intervals before the current one.
class FrameRateMeter {
  public:
    FrameRateMeter() { Reset(); }

    // Called once per frame with the millisecond tick: returns 8000 / (sum of
    // the eight recorded intervals), then records the interval since the
    // previous frame. A frame in the same millisecond counts as 1 ms.
    double FrameRate(uint32_t nowMs);
    // All intervals 1 ms, no frame seen.
    void Reset();

  private:
    std::array<uint32_t, 8> FrameIntervals_;
    uint32_t frameCount_;
    uint32_t lastTick_;
};

// The FreqImg text: "FTr = " + the rate with two decimals ("%.2f", the
// locale's decimal separator) + " Img/s".
QString FrameRateText(double rate, const QLocale& locale = QLocale());

}  // namespace orka
