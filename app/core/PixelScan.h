// One pass over a row of BGR888 pixels that computes at once what the live
// view's analysis needs of it: each pixel's brightness max(R, G, B), the
// counts of the brightness and of each channel, the clipping bits of the
// exposure warnings and the luminance R + 2G + B that focus peaking
// differentiates. Each row is read once, while the decoder has just left it
// in cache, and what is not asked for costs nothing.
//
// Sixteen pixels at a time with the processor's byte shuffles (SSSE3), 32 with
// AVX2, and 64 with AVX-512's byte permutations, where
// ProcessorExtensionsInUse says so; the portable code otherwise, with the same
// results. Plain C++ on rows of bytes, no Qt.
#pragma once

#include <array>
#include <cstdint>

namespace orka {

// The counts of a frame's pixels: their brightness and, when asked, each
// channel. Counting is most of the analysis' cost, one increment per pixel
// for the brightness and three more for the channels, so the live view counts
// the channels of some rows only (AssistSettings::rgbRowStep).
class PixelCounts {
  public:
    // Zero, the channel counts too or the brightness only.
    void Reset(bool channels);
    bool channels() const { return channels_; }
    // Makes room for a row of w pixels (ScanRow asks): when the row could
    // take a counter past its 16 bits, the counts go to the totals first.
    void Reserve(int w);

    // Adds the counts of each brightness 0..255 to bins.
    void AddBrightness(std::array<uint32_t, 256>& bins) const;
    // Adds the counts of channel c (0 red, 1 green, 2 blue) to bins; nothing
    // unless the channels are counted.
    void AddChannel(int c, std::array<uint32_t, 256>& bins) const;

    // Consecutive pixels count in different sets, so that neighbours of one
    // value do not wait on each other's increment: eight sets of 256 counters
    // for the brightness, four sets of three times 256 for the channels (red,
    // green, blue). The counters have 16 bits, half the cache of 32.
    static constexpr int kBrightnessSets = 8;
    static constexpr int kChannelSets = 4;
    static constexpr int kChannelSetSize = 3 * 256;
    // The widest row counted at once: a row adds at most one count per
    // pixel to any counter.
    static constexpr int kMaxRow = 0xFFFF;

    uint16_t* BrightnessSet(int s) { return sets_ + s * 256; }
    uint16_t* ChannelSet(int s) { return sets_ + kBrightnessSize + s * kChannelSetSize; }

  private:
    void Flush();  // adds the sets to the totals, and zeroes them
    bool channels_ = false;
    int room_ = 0;  // the increments any counter of the sets can still take
    static constexpr int kBrightnessSize = kBrightnessSets * 256;
    uint16_t sets_[kBrightnessSize + kChannelSets * kChannelSetSize];
    uint32_t totals_[4 * 256];  // brightness, red, green, blue
};

// What the pass computes on a row; an output left null is not computed.
struct RowScan {
    PixelCounts* counts = nullptr;  // where the row's pixels are counted
    bool countBrightness = true;    // into counts: each pixel's max(R, G, B)
    bool countChannels = false;     // into counts, started with channels
    uint8_t* brightness = nullptr;  // receives max(R, G, B) of each pixel
    int16_t* luma = nullptr;        // receives R + 2G + B of each pixel
    // Receives the clipping bits of each pixel (LiveAssist's kMarkClip...,
    // kMarkShadow) when high or low is on.
    uint8_t* clip = nullptr;
    bool high = false;  // a channel at or above highLevel is clipped
    uint8_t highLevel = 255;
    bool low = false;  // a pixel with every channel at or below lowLevel is clipped
    uint8_t lowLevel = 0;
};

// Scans the w pixels at px; returns the union of the clipping bits written.
uint8_t ScanRow(const uint8_t* px, int w, const RowScan& scan);

}  // namespace orka
