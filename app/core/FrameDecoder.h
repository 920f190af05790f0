// Decoding of the camera's JPEG frames (live view and after-view pictures)
// with libjpeg: one decompressor and one error manager kept for the whole
// session, fastest settings (fast integer inverse DCT, no fancy upsampling),
// three bytes per pixel in blue-green-red order, written straight into the
// caller's rows, band by band for the live view's analysis and turn.
//
// Everything the camera sends is untrusted: a stream that libjpeg cannot
// decode, or decodes only with a warning (truncated data, a corrupt segment),
// is reported as corrupt, and the caller drops the frame. The work per
// picture is bounded: the camera sends baseline pictures in one scan per
// component at most, so progressive streams (which may carry thousands of
// scans and take seconds each) and streams of more scans than that are
// refused before their pixels are decoded.
#pragma once

#include <QImage>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

#include "Histogram.h"
#include "LiveAssist.h"
#include "LiveViewMath.h"

namespace orka {

class FrameDecoder {
  public:
    enum class Status {
        Ok,
        Corrupt,       // not decodable, or decoded with a warning
        SizeMismatch,  // a valid header of another size than asked; nothing written
        TooLarge,      // larger than MaxDimension either way; nothing written
        Unsupported,   // progressive, or more scans than MaxScans; nothing shown
    };
    struct Result {
        Status status = Status::Corrupt;
        int width = 0;  // the picture's size as its header gives it (0 when unread)
        int height = 0;
        bool ok() const { return status == Status::Ok; }
    };

    // Pictures larger than this either way are refused: the camera's own
    // frame is 3264 x 2448.
    static constexpr int MaxDimension = 4096;
    // Scans a picture may have: one per colour component, each on its own.
    static constexpr int MaxScans = 4;

    FrameDecoder();
    ~FrameDecoder();
    FrameDecoder(const FrameDecoder&) = delete;
    FrameDecoder& operator=(const FrameDecoder&) = delete;

    // Called with rows y0..y1-1 as soon as they are decoded, in order.
    using BandHandler = std::function<void(int y0, int y1)>;
    // Rows per band: a band of a preview frame stays in the processor's
    // first-level cache.
    static constexpr int BandRows = 16;

    // Decodes a picture of exactly w x h pixels at full scale into h rows of
    // at least 3 w bytes each, handing each band of rows to band when set.
    // On Corrupt the rows may hold part of the picture (and band may have
    // seen part of it): the caller must not show them.
    Result DecodeInto(const uint8_t* data, size_t size, uint8_t* const* rows, int w, int h,
                      const BandHandler& band = {});

    // Decodes a picture of any size into image (made Format_BGR888 of the
    // decoded size), reduced by libjpeg's 1/2, 1/4 or 1/8 scaling as far as
    // it stays at least minWidth x minHeight.
    Result DecodeFitting(const uint8_t* data, size_t size, int minWidth, int minHeight,
                         QImage& image);

    // libjpeg's text for the last failure, empty after a success.
    const char* LastError() const;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// The live view's path for one frame of exactly w x h pixels: decoded band
// by band (straight into shown when upright or mirrored in place, into work
// otherwise), each band analysed in one pass (FrameAnalyser) for the
// histogram, the detector's rectangle and the aids (the frame as delivered),
// on this thread; and, when turned, turned into shown while it is still in
// cache.
// shown becomes a Format_BGR888 image of the displayed size, work one of
// w x h when needed. The histogram and the detector's pairing change only for
// a frame decoded whole; on any failure shown may hold part of the frame.
// assist, when given, must have been started for w x h: it sees each band
// too and is finished with a frame decoded whole. With paintMarks, its marks
// are painted on each band as soon as they are final, before the band is
// turned (PaintAssistRows), and DrawAssist need not run after; without, shown
// is the picture alone.
FrameDecoder::Result DecodePreviewFrame(FrameDecoder& decoder, const uint8_t* data, size_t size,
                                        int w, int h, Orientation orientation, QImage& work,
                                        QImage& shown, Histogram& histogram,
                                        MotionDetector* detector, LiveAssist* assist = nullptr,
                                        bool paintMarks = false);

// The path of every picture the preview shows, live frame or after-view
// picture: DecodePreviewFrame for a picture of exactly w x h; a picture of
// another size (an after-view picture, or a frame that does not match what
// the library announced) is fitted into w x h in work, keeping its
// proportions, on a black ground, then analysed (histogram, detector,
// assist) and turned into shown. The arguments are DecodePreviewFrame's.
FrameDecoder::Result DecodeShownFrame(FrameDecoder& decoder, const uint8_t* data, size_t size,
                                      int w, int h, Orientation orientation, QImage& work,
                                      QImage& shown, Histogram& histogram, MotionDetector* detector,
                                      LiveAssist* assist = nullptr, bool paintMarks = false);

}  // namespace orka
