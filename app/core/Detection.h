// Capture on motion: the detection rectangle in the two preview sizes and the
// thumbnail, and the motion measure computed on its brightness every frame.
#pragma once

#include "LiveViewMath.h"

#include <QColor>
#include <QImage>
#include <QRect>
#include <QSize>

#include <array>
#include <cstdint>
#include <vector>

namespace orka {

// A rectangle by its normalised corners: columns x1..x2-1, rows y1..y2-1.
struct RoiBox {
    int x1 = 0;
    int y1 = 0;
    int x2 = 0;
    int y2 = 0;

    int width() const { return x2 - x1; }
    int height() const { return y2 - y1; }
    bool operator==(const RoiBox&) const = default;
};

// Conversions between the 320 x 240 preview, the 544 x 408 preview and the
// 128-pixel thumbnail; each coordinate rounded half to even.
RoiBox RoiSmallToLarge(const RoiBox& small);  // x 1.7
RoiBox RoiSmallToThumb(const RoiBox& small);  // / 2.5
RoiBox RoiLargeToSmall(const RoiBox& large);  // / 1.7
RoiBox RoiLargeToThumb(const RoiBox& large);  // / 4.25

// The rectangle as stored for both preview sizes and the thumbnail.
struct RoiStore {
    RoiBox RoiSmall;
    RoiBox RoiLarge;
    RoiBox RoiThumb;
};
// box was drawn on the large (544 x 408) preview when large, else on the small.
RoiStore StoreRoi(const RoiBox& box, bool large);

// Where the displayed picture goes in the 128 x 128 thumbnail: (0, 16)-(128,
// 112) when wider than tall, else (16, 0)-(112, 128). The rectangle is drawn
// at RoiThumb offset by the area's top-left corner.
QRect RoiThumbArea(QSize displayed);

// Fills the 128 x 128 thumbnail with the button-shadow colour, stretches the
// displayed picture into RoiThumbArea and outlines the rectangle (thumbnail
// coordinates) in white over it.
void DrawRoiThumbnail(QImage& thumbnail, const QImage& displayed, const RoiBox& roiThumb,
                      const QColor& shadow);

// Maps a rectangle outlined on the displayed preview into the frame as the
// camera delivers it (w x h), undoing the display orientation, so that the
// area watched is the one the user outlined.
RoiBox RoiToFrame(const RoiBox& displayed, Orientation orientation, int w, int h);

struct MotionResult {
    int measure;        // m, 0 when nothing was measured
    bool gaugeUpdated;  // the gauge AffdImg is to show measure
};

// True when a measure fires a capture: the schedule allows it (no schedule set,
// or the present moment inside an active window), DetectEvent is down, and the
// measure exceeds the threshold strictly.
bool MotionTriggers(int measure, int threshold, bool detectEventDown, bool scheduleAllows);

// The motion measure of the detection rectangle: 3 x 3 block sums of the
// rectangle's brightness, their differences from the previous frame, and the
// jump of the differences' spread against the average of the last four.
class MotionDetector {
  public:
    MotionDetector();

    // The rectangle in frame coordinates (as delivered by the camera) whose
    // brightness AnalyseFrame copies into RoiLuma; resizes the buffers to its
    // width x height.
    void SetRectangle(const RoiBox& frameBox);
    const RoiBox& Rectangle() const { return box_; }

    // Sets the lengths: RoiLuma n, both block-sum arrays and the differences
    // n div 9. Contents are kept up to the new length; new entries are 0.
    void ResizeDetectionBuffers(int n);
    // The array written next becomes the first one again (preview-size change).
    void ResetPairing() { current_ = 0; }
    // Once per frame before DetectMotion: the array written last becomes the
    // previous one. AnalyseFrame does it.
    void ExchangeBlockArrays() { current_ ^= 1; }

    // One brightness per rectangle pixel, row-major, Rectangle().width() per row.
    int32_t* RoiLuma() { return roiLuma_.data(); }
    const std::vector<int32_t>& RoiLumaValues() const { return roiLuma_; }

    // The measure of this frame; after NoteTrigger the next call measures
    // nothing (returns 0 and leaves the history and the gauge alone).
    MotionResult DetectMotion();
    // A capture fired: skip the next measure and refill the history with the
    // average the last measure compared against.
    void NoteTrigger();

    bool JustTriggered() const { return justTriggered_; }
    const std::array<long double, 4>& DeviationHistory() const { return history_; }
    const std::vector<int32_t>& CurrentBlockSums() const { return blockSums_[current_]; }
    const std::vector<double>& BlockDiffs() const { return blockDiffs_; }
    // Forgets the measure history (history zero, counter 0, no skip pending).
    void ResetHistory();

  private:
    RoiBox box_;
    std::vector<int32_t> roiLuma_;
    std::array<std::vector<int32_t>, 2> blockSums_;
    int current_ = 0;
    std::vector<double> blockDiffs_;
    std::array<long double, 4> history_{};
    uint32_t historyCount_ = 0;
    long double lastAverage_ = 0;
    bool justTriggered_ = false;
};

}  // namespace orka
