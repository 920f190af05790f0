// The per-frame analysis of the live view (brightness histogram and the copy
// of the detection rectangle's brightness), the histogram picture and the
// camera's exposure warnings.
#pragma once

#include <QImage>
#include <QString>

#include <array>
#include <cstdint>
#include <vector>

#include "Detection.h"
#include "PixelScan.h"

namespace orka {

class LiveAssist;

// Counts of brightness max(R, G, B), 0..255, and the largest count.
struct Histogram {
    std::array<uint32_t, 256> bins{};
    uint32_t largest = 0;
};

// The analysis below a band of rows at a time, for a decoder that delivers
// a frame in bands: AddRows for each band in order, then Finish, which
// rebuilds the histogram and marks the frame as analysed for the detector
// (ExchangeBlockArrays). A frame given up before Finish (a corrupt frame)
// leaves the histogram and the detector's pairing as they were; only RoiLuma
// may hold part of it, which the next analysed frame overwrites.
//
// Given the live view's aids (started for w x h), the same pass over each
// row does their work too, so that the frame is read once: AddRows is then
// the assist's AddRows as well, and Finish its Finish.
class FrameAnalyser {
  public:
    FrameAnalyser(int w, int h, MotionDetector* detector, LiveAssist* assist = nullptr);
    // Rows y0..y1-1 of the frame, rows[y] the address of row y.
    void AddRows(const uint8_t* const* rows, int y0, int y1);
    void Finish(Histogram& histogram);

  private:
    int w_, h_;
    MotionDetector* detector_;
    LiveAssist* assist_;
    RoiBox box_;
    int32_t* luma_ = nullptr;
    int cx1_ = 0, cx2_ = 0, cy1_ = 0, cy2_ = 0;
    bool copy_ = false;
    std::vector<uint8_t> brightness_;  // of a row crossing the rectangle
    PixelCounts counts_;
};

// One pass over a frame as the camera delivers it (before any turn): w x h
// BGR888 pixels, rows given by their addresses. Rebuilds the histogram from
// zero and, when a detector is given, exchanges its block arrays and copies
// the brightness of the pixels inside its rectangle into its RoiLuma (pixels
// of the rectangle outside the frame are left as they are). DetectMotion is
// the caller's next step in event-triggered mode.
void AnalyseFrame(const uint8_t* const* rows, int w, int h, Histogram& histogram,
                  MotionDetector* detector);
// The same on a Format_BGR888 image.
void AnalyseFrame(const QImage& frame, Histogram& histogram, MotionDetector* detector);

inline constexpr int HistogramWidth = 256;
inline constexpr int HistogramHeight = 100;

// Paints the histogram into image (made 256 x 100 when it is not): white
// background, column i a grey bar of round(100 x bin i / largest) pixels
// (half to even) standing on the bottom row. The fullest bin spans the height.
void DrawHistogram(const Histogram& histogram, QImage& image);

// The warning sentences of the status record's warnings field, one per set
// bit 0..8 in rising order; other bits are ignored.
QString WarningText(int32_t warnings);

}  // namespace orka
