// Focusing and exposure aids of the live view: focus peaking (edges of high
// local contrast), highlight and shadow clipping warnings, and a histogram of
// each colour channel. Plain C++ on rows of BGR888 pixels, so that it runs
// band by band beside the decoder while the rows are still in cache.
//
// The analysis sees the frame as the camera delivers it (before any turn) and
// keeps one byte per pixel saying what to mark there; DrawAssist then marks
// the displayed picture, turned as shown. Nothing here touches the frame's
// own pixels: the video and the motion measure read the picture before
// DrawAssist runs.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "LiveViewMath.h"

namespace orka {

enum class PeakingColour { Red, Yellow, White, Blue };
enum class ClipStyle { Zebra, Solid };

struct AssistSettings {
    bool peaking = false;
    // Sensitivity 0..100 of the slider: the higher, the weaker the edges
    // that are marked.
    int peakingSensitivity = 50;
    PeakingColour peakingColour = PeakingColour::Red;
    bool highlights = false;
    int highlightLevel = 250;  // a channel at or above it is clipped
    bool shadows = false;
    int shadowLevel = 5;  // a pixel with every channel at or below it is clipped
    ClipStyle clipStyle = ClipStyle::Zebra;
    bool rgbHistogram = false;

    bool marks() const { return peaking || highlights || shadows; }
    bool any() const { return marks() || rgbHistogram; }

    // Every aid on, at its default settings (the frame fuzz target runs them
    // all): a new aid switches itself on here.
    static AssistSettings All() {
        AssistSettings s;
        s.peaking = s.highlights = s.shadows = s.rgbHistogram = true;
        return s;
    }
};

// The gradient magnitude an edge needs to be marked, for a sensitivity
// (clamped to 0..100). The magnitude is |Gx| + |Gy| of a 3 x 3 Sobel filter
// on the luminance (R + 2G + B) / 4, so a sharp step of contrast C between
// two flat areas measures 4 C and a ramp of slope s per pixel 8 s.
int PeakingThreshold(int sensitivity);

// What a pixel is marked for, one byte per pixel of the frame.
enum : uint8_t {
    kMarkPeak = 1,
    kMarkClipRed = 2,
    kMarkClipGreen = 4,
    kMarkClipBlue = 8,
    kMarkShadow = 16,
};

// Counts of each channel's values 0..255 over a frame.
struct RgbHistogram {
    std::array<std::array<uint32_t, 256>, 3> bins{};  // red, green, blue
    uint64_t pixels = 0;
};

class LiveAssist {
  public:
    // A new frame of w x h pixels analysed with these settings.
    void Start(const AssistSettings& settings, int w, int h);
    // Rows y0..y1-1 of the frame just decoded, in order. Peaking looks one
    // row up and down through a luminance copy of its own, so earlier rows
    // may be gone.
    void AddRows(const uint8_t* const* rows, int y0, int y1);
    // The frame is complete: marks its last row.
    void Finish();

    int width() const { return w_; }
    int height() const { return h_; }
    const AssistSettings& settings() const { return settings_; }
    // The marks of row y of the frame, null when nothing is marked in it.
    const uint8_t* MarksOfRow(int y) const;
    // Channel counts of the frame (all zero unless rgbHistogram is on).
    const RgbHistogram& Rgb() const { return rgb_; }
    // True after Finish, until the next Start.
    bool complete() const { return complete_; }

  private:
    void PeakRow(int y);  // needs the luminance of rows y-1, y, y+1
    uint8_t* MarkRow(int y);

    AssistSettings settings_;
    int w_ = 0, h_ = 0;
    int threshold4_ = 0;  // PeakingThreshold in the units of the 4x luminance
    bool complete_ = false;
    std::vector<uint8_t> marks_;     // w x h
    std::vector<uint8_t> rowUsed_;   // per row: marks_ holds this frame's marks
    std::vector<int16_t> luma_;      // three rows of R + 2G + B, row y at y % 3
    std::vector<uint8_t> clipBits_;  // the clipping bits of the row being scanned
    RgbHistogram rgb_;
    std::vector<uint32_t> counts_;  // 4 x 3 x 256 counters being filled
};

// Marks the displayed picture: rows of BGR888 pixels holding the frame turned
// as orientation says (DisplaySize(orientation, w, h)). Peaking draws in its
// colour; clipped highlights in the colour of the clipped channels (black
// where all three clip, when solid), clipped shadows in blue; zebra stripes
// run diagonally on screen, every other four pixels. Peaking wins over the
// highlights, which win over the shadows.
void DrawAssist(const LiveAssist& assist, Orientation orientation, uint8_t* const* shownRows);

// True when more than one pixel in a thousand has the channel at or above
// level (high) or at or below it (low).
bool ChannelClips(const RgbHistogram& rgb, int channel, int level, bool high);

// Draws the three channel curves over a histogram picture of 256 x 100
// pixels in 0xAARRGGBB words (rows given by their addresses), scaled to the
// fullest bin of the three channels, each as a line in its colour; and a
// marker at each end, in the channel's colour, for a channel that clips at
// that end (ChannelClips with the given levels).
void DrawRgbHistogram(const RgbHistogram& rgb, int highlightLevel, int shadowLevel,
                      uint32_t* const* rows);

}  // namespace orka
