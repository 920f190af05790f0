// Focusing and exposure aids of the live view: focus peaking (the edges that
// are sharp for this frame), highlight and shadow clipping warnings, and a
// histogram of each colour channel. Plain C++ on rows of BGR888 pixels, so
// that it runs band by band beside the decoder while the rows are still in
// cache.
//
// The analysis sees the frame as the camera delivers it (before any turn) and
// keeps one byte per pixel saying what to mark there; DrawAssist then marks
// the displayed picture, turned as shown. Nothing here touches the frame's
// own pixels: the video and the motion measure read the picture before
// DrawAssist runs. When nothing needs the picture without its marks, the live
// view paints them on each band instead, before the band is turned
// (PaintAssistRows).
#pragma once

#include <QString>

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "LiveViewMath.h"
#include "PixelScan.h"

namespace orka {

class FrameAnalyser;

enum class PeakingColour { Red, Yellow, White, Blue };
enum class ClipStyle { Zebra, Solid };

struct AssistSettings {
    bool peaking = false;
    // Sensitivity 0..100 of the slider: the higher, the less sharp the edges
    // that are marked (PeakingSharePercent).
    int peakingSensitivity = 50;
    PeakingColour peakingColour = PeakingColour::Red;
    bool highlights = false;
    int highlightLevel = 250;  // a channel at or above it is clipped
    bool shadows = false;
    int shadowLevel = 5;  // a pixel with every channel at or below it is clipped
    ClipStyle clipStyle = ClipStyle::Zebra;
    bool rgbHistogram = false;
    // The channel histogram counts one row in this many, from the first:
    // three more counts per pixel would cost the live view as much again as
    // the rest of its analysis, and its curves need no more. The review of a
    // saved picture counts every row.
    int rgbRowStep = 1;

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

// Focus peaking marks what is in focus, not what has contrast. Its measure
// is the high-frequency energy of a pixel: the magnitude of the 3 x 3
// Laplacian (eight times the pixel less its eight neighbours) of the
// luminance R + 2G + B. A sharp step of contrast C between two flat areas
// gives 12 C beside the step; the same step blurred over w pixels about
// 70 C / w^2, so a blurred edge falls far behind a sharp one however strong
// its contrast, and a smooth ramp gives nothing. A pixel is marked when its
// energy reaches a share of the frame's reference, the energy the sharpest
// one pixel in a hundred reaches, learnt from the frames before (one row in
// four, one pixel in four, counted while the frame is analysed); so a
// textured wall in focus is marked in a soft, low-contrast scene as the
// sharp outlines are in a crisp one. A floor keeps the compression noise of
// a frame where nothing is sharp unmarked.
//
// The share for a sensitivity (clamped to 0..100): 100 % at 0, falling
// geometrically to 10 % at 100 (32 % at the default 50).
int PeakingSharePercent(int sensitivity);
// The same in words, for the window beside its slider (French).
QString PeakingSensitivityText(int sensitivity);

// What a pixel is marked for, one byte per pixel of the frame.
enum : uint8_t {
    kMarkPeak = 1,
    kMarkClipRed = 2,
    kMarkClipGreen = 4,
    kMarkClipBlue = 8,
    kMarkShadow = 16,
};

// Counts of each channel's values 0..255 over a frame (the rows counted).
struct RgbHistogram {
    std::array<std::array<uint32_t, 256>, 3> bins{};  // red, green, blue
    uint64_t pixels = 0;                              // counted
};

// The live view's row step of the channel histogram.
inline constexpr int kLiveViewRgbRowStep = 8;

class LiveAssist {
  public:
    // A new frame of w x h pixels analysed with these settings.
    void Start(const AssistSettings& settings, int w, int h);
    // Rows y0..y1-1 of the frame just decoded, in order. Peaking looks one
    // row up and down through a luminance copy of its own, so earlier rows
    // may be gone. A FrameAnalyser given this assist does the same in its
    // own pass over the rows.
    void AddRows(const uint8_t* const* rows, int y0, int y1);
    // The frame is complete: its channel counts and the peaking reference
    // of the next frames are made.
    void Finish() { Finish(OwnCounts()); }

    int width() const { return w_; }
    int height() const { return h_; }
    const AssistSettings& settings() const { return settings_; }
    // The marks of row y of the frame, null when nothing is marked in it.
    const uint8_t* MarksOfRow(int y) const;
    // Channel counts of the frame (all zero unless rgbHistogram is on).
    const RgbHistogram& Rgb() const { return rgb_; }
    // True after Finish, until the next Start.
    bool complete() const { return complete_; }
    // The rows from 0 whose marks are final: peaking marks a row once the
    // row after it is in (the last row when it is).
    int FinalRows() const {
        return settings_.peaking && scanned_ < h_ ? std::max(scanned_ - 1, 0) : scanned_;
    }

  private:
    // The pass over the rows is the analyser's when it has one: it asks
    // what to compute on a row, scans the row once for itself and for the
    // aids, then hands the row back, and the channel counts at the end.
    friend class FrameAnalyser;
    RowScan PrepareRow(int y);
    void AfterRow(int y, uint8_t clipped);  // clipped: the union of the row's clipping bits
    void Finish(const PixelCounts& channels);

    void PeakRow(int y);  // needs the luminance of rows y-1, y, y+1
    int RgbRowStep() const { return std::max(settings_.rgbRowStep, 1); }
    uint8_t* MarkRow(int y);

    // The least energy marked, whatever the frame: a step of 8 levels.
    static constexpr int kPeakFloor = 12 * 8;
    // The reference before any frame was measured: a scene of middling
    // contrast.
    static constexpr int kFirstReference = 12 * 40;
    // The distribution of energies: bins of 16, the last one open; one row
    // in four, one pixel in four of it.
    static constexpr int kEnergyBinShift = 4;
    static constexpr int kEnergyBins = 512;
    static constexpr int kEnergyRowStep = 4;
    static constexpr int kEnergyPixelStep = 4;

    AssistSettings settings_;
    int w_ = 0, h_ = 0;
    int peakReference_ = kFirstReference;  // from the last frame analysed with peaking
    int threshold_ = 0;                    // the energy a pixel must exceed to be marked
    // This frame's sampled energies, neighbours in different sets: most of
    // a row's energies fall in the lowest bins, and one counter would make
    // each increment wait for the one before.
    static constexpr int kEnergySets = 4;
    std::array<std::array<uint32_t, kEnergyBins>, kEnergySets> energyCounts_{};
    bool complete_ = false;
    int scanned_ = 0;                // rows of this frame handed over so far
    std::vector<uint8_t> marks_;     // w x h
    std::vector<uint8_t> rowUsed_;   // per row: marks_ holds this frame's marks
    std::vector<int16_t> luma_;      // three rows of R + 2G + B, row y at y % 3
    std::vector<int16_t> energy_;    // the energies of a sampled row
    std::vector<uint8_t> clipBits_;  // the clipping bits of the row being scanned
    RgbHistogram rgb_;
    PixelCounts& OwnCounts();
    PixelCounts counts_;         // the channels, when this assist scans its rows itself
    bool countsZeroed_ = false;  // counts_ zeroed for this frame
};

// Marks the displayed picture: rows of BGR888 pixels holding the frame turned
// as orientation says (DisplaySize(orientation, w, h)). Peaking draws in its
// colour; clipped highlights in the colour of the clipped channels, clipped
// shadows in blue; zebra stripes run diagonally on screen, every other four
// pixels, the stripes between them black. Where all three channels clip, the
// solid style paints mid-grey: white would not show on a blown area, and
// black would read as a shadow. Peaking wins over the highlights, which win
// over the shadows.
void DrawAssist(const LiveAssist& assist, Orientation orientation, uint8_t* const* shownRows);
// The same marks painted on the frame's rows y0..y1-1 themselves, as
// delivered (w x h), before they are turned for display as orientation says:
// the zebra stripes come out as they run on screen. The rows' marks must be
// final (FinalRows). The live view paints each band this way, while its rows
// are in cache, when nothing needs the picture without its marks.
void PaintAssistRows(const LiveAssist& assist, Orientation orientation, uint8_t* const* rows,
                     int y0, int y1);

// True when more than one pixel in a thousand has the channel at or above
// level (high) or at or below it (low).
bool ChannelClips(const RgbHistogram& rgb, int channel, int level, bool high);

// Draws the three channel curves over a histogram picture of 256 x 100
// pixels in 0xAARRGGBB words (rows given by their addresses), scaled to the
// fullest bin of the three channels between the ends (bins 1..254; the end
// bins only when all else is empty), each as a line in its colour, an end
// bin above the scale cut at the top; and a
// marker at each end, in the channel's colour, for a channel that clips at
// that end (ChannelClips with the given levels).
void DrawRgbHistogram(const RgbHistogram& rgb, int highlightLevel, int shadowLevel,
                      uint32_t* const* rows);

}  // namespace orka
