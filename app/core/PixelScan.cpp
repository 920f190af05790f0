#include "PixelScan.h"

#include "LiveAssist.h"
#include "LiveViewMath.h"

#include <algorithm>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <tmmintrin.h>
#endif

namespace orka {

void PixelCounts::Reset(bool channels) {
    channels_ = channels;
    std::memset(
        table_, 0,
        (channels ? kChannelSets * kChannelSetSize : kBrightnessSets * 256) * sizeof(uint32_t));
}

void PixelCounts::AddBrightness(std::array<uint32_t, 256>& bins) const {
    if (!channels_) {
        for (int s = 0; s < kBrightnessSets; ++s)
            for (int v = 0; v < 256; ++v)
                bins[size_t(v)] += table_[s * 256 + v];
        return;
    }
    for (int s = 0; s < kChannelSets; ++s) {
        const uint32_t* set = table_ + s * kChannelSetSize;
        for (int v = 0; v < 256; ++v)
            bins[size_t(v)] +=
                set[256 + v] + set[kChannelSize + 256 + v] + set[2 * kChannelSize + 256 + v];
    }
}

void PixelCounts::AddChannel(int c, std::array<uint32_t, 256>& bins) const {
    if (!channels_ || c < 0 || c > 2)
        return;
    for (int s = 0; s < kChannelSets; ++s) {
        const uint32_t* channel = table_ + s * kChannelSetSize + c * kChannelSize;
        for (int v = 0; v < 256; ++v)
            bins[size_t(v)] += channel[v] + channel[256 + v];
    }
}

namespace {

// Counts a pixel n times into a set.
inline void CountPixel(uint32_t* set, uint8_t b, uint8_t g, uint8_t r, bool channels,
                       uint32_t n = 1) {
    const uint8_t l = std::max({b, g, r});
    if (!channels) {
        set[l] += n;
        return;
    }
    const bool redIsMax = r == l;
    const bool greenIsMax = !redIsMax && g == l;
    const bool blueIsMax = !redIsMax && !greenIsMax;
    set[r + (redIsMax ? 256 : 0)] += n;
    set[PixelCounts::kChannelSize + g + (greenIsMax ? 256 : 0)] += n;
    set[2 * PixelCounts::kChannelSize + b + (blueIsMax ? 256 : 0)] += n;
}

// Pixels from x to w one at a time.
uint8_t ScanPortable(const uint8_t* p, int x, int w, const RowScan& s) {
    const bool clip = s.clip && (s.high || s.low);
    const bool channels = s.counts && s.counts->channels();
    uint8_t any = 0;
    for (; x < w; ++x) {
        const uint8_t b = p[3 * x], g = p[3 * x + 1], r = p[3 * x + 2];
        if (s.brightness)
            s.brightness[x] = std::max({b, g, r});
        if (s.luma)
            s.luma[x] = int16_t(b + 2 * g + r);
        if (clip) {
            uint8_t m = 0;
            if (s.high) {
                const uint8_t hi = s.highLevel;
                m = uint8_t((r >= hi ? kMarkClipRed : 0) | (g >= hi ? kMarkClipGreen : 0) |
                            (b >= hi ? kMarkClipBlue : 0));
            }
            if (s.low && r <= s.lowLevel && g <= s.lowLevel && b <= s.lowLevel)
                m |= kMarkShadow;
            s.clip[x] = m;
            any |= m;
        }
        if (s.counts)
            CountPixel(channels ? s.counts->ChannelSet(x % PixelCounts::kChannelSets)
                                : s.counts->BrightnessSet(x % PixelCounts::kBrightnessSets),
                       b, g, r, channels);
    }
    return any;
}

#if defined(__x86_64__) || defined(__i386__)
// pshufb masks that gather channel c (0 blue, 1 green, 2 red) of 16 pixels
// from the three 16-byte vectors holding them.
struct PlaneMasks {
    alignas(16) uint8_t m[3][3][16];
    PlaneMasks() {
        for (int c = 0; c < 3; ++c)
            for (int k = 0; k < 3; ++k)
                for (int j = 0; j < 16; ++j) {
                    const int g = 3 * j + c;
                    m[c][k][j] = g / 16 == k ? uint8_t(g % 16) : 0x80;
                }
    }
};
const PlaneMasks kPlaneMasks;

// Sixteen pixels at a time; returns the pixels done, a multiple of 16.
__attribute__((target("ssse3"))) int ScanSsse3(const uint8_t* p, int w, const RowScan& s,
                                               uint8_t& any) {
    const auto mask = [](int c, int k) {
        return _mm_load_si128(reinterpret_cast<const __m128i*>(kPlaneMasks.m[c][k]));
    };
    const __m128i mb0 = mask(0, 0), mb1 = mask(0, 1), mb2 = mask(0, 2);
    const __m128i mg0 = mask(1, 0), mg1 = mask(1, 1), mg2 = mask(1, 2);
    const __m128i mr0 = mask(2, 0), mr1 = mask(2, 1), mr2 = mask(2, 2);
    const __m128i zero = _mm_setzero_si128();
    const __m128i one = _mm_set1_epi8(1);
    const __m128i hiv = _mm_set1_epi8(char(s.highLevel));
    const __m128i lov = _mm_set1_epi8(char(s.lowLevel));
    const bool clip = s.clip && (s.high || s.low);
    PixelCounts* counts = s.counts;
    const bool channels = counts && counts->channels();
    uint32_t* base = counts ? counts->BrightnessSet(0) : nullptr;
    __m128i seen = zero;
    int x = 0;
    for (; x + 16 <= w; x += 16) {
        const uint8_t* q = p + 3 * x;
        const __m128i v0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(q));
        const __m128i v1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(q + 16));
        const __m128i v2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(q + 32));
        const __m128i b =
            _mm_or_si128(_mm_or_si128(_mm_shuffle_epi8(v0, mb0), _mm_shuffle_epi8(v1, mb1)),
                         _mm_shuffle_epi8(v2, mb2));
        const __m128i g =
            _mm_or_si128(_mm_or_si128(_mm_shuffle_epi8(v0, mg0), _mm_shuffle_epi8(v1, mg1)),
                         _mm_shuffle_epi8(v2, mg2));
        const __m128i r =
            _mm_or_si128(_mm_or_si128(_mm_shuffle_epi8(v0, mr0), _mm_shuffle_epi8(v1, mr1)),
                         _mm_shuffle_epi8(v2, mr2));
        const __m128i l = _mm_max_epu8(_mm_max_epu8(b, g), r);
        if (s.brightness)
            _mm_storeu_si128(reinterpret_cast<__m128i*>(s.brightness + x), l);
        if (s.luma) {
            const __m128i gl = _mm_unpacklo_epi8(g, zero), gh = _mm_unpackhi_epi8(g, zero);
            const __m128i lo16 =
                _mm_add_epi16(_mm_add_epi16(_mm_unpacklo_epi8(b, zero), _mm_unpacklo_epi8(r, zero)),
                              _mm_add_epi16(gl, gl));
            const __m128i hi16 =
                _mm_add_epi16(_mm_add_epi16(_mm_unpackhi_epi8(b, zero), _mm_unpackhi_epi8(r, zero)),
                              _mm_add_epi16(gh, gh));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(s.luma + x), lo16);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(s.luma + x + 8), hi16);
        }
        if (clip) {
            __m128i m = zero;
            if (s.high) {
                // v >= level exactly when max(v, level) == v.
                const auto atLeast = [&](__m128i v, int bit) {
                    return _mm_and_si128(_mm_cmpeq_epi8(_mm_max_epu8(v, hiv), v),
                                         _mm_set1_epi8(char(bit)));
                };
                m = _mm_or_si128(_mm_or_si128(atLeast(r, kMarkClipRed), atLeast(g, kMarkClipGreen)),
                                 atLeast(b, kMarkClipBlue));
            }
            if (s.low) {
                m = _mm_or_si128(m, _mm_and_si128(_mm_cmpeq_epi8(_mm_min_epu8(l, lov), l),
                                                  _mm_set1_epi8(char(kMarkShadow))));
            }
            _mm_storeu_si128(reinterpret_cast<__m128i*>(s.clip + x), m);
            seen = _mm_or_si128(seen, m);
        }
        if (!counts)
            continue;
        // Sixteen equal pixels of a flat area count at once.
        if (SixteenEqualPixels(q)) {
            CountPixel(base, q[0], q[1], q[2], channels, 16);
            continue;
        }
        if (!channels) {
            // Byte k of the brightness counts in set k, at a fixed offset
            // from the first set.
            uint64_t half = uint64_t(_mm_cvtsi128_si64(l));
            const uint64_t high = uint64_t(_mm_cvtsi128_si64(_mm_unpackhi_epi64(l, l)));
            for (int k = 0; k < 16; k += 8, half = high) {
                for (int j = 0; j < 8; ++j)
                    ++base[(k + j) * 256 + ((half >> (8 * j)) & 0xFF)];
            }
            continue;
        }
        // Each channel's counter: its value, and 256 more for the channel
        // that gives the pixel its brightness.
        const __m128i redIsMax = _mm_cmpeq_epi8(r, l);
        const __m128i greenIsMax = _mm_andnot_si128(redIsMax, _mm_cmpeq_epi8(g, l));
        const __m128i rf = _mm_and_si128(redIsMax, one);
        const __m128i gf = _mm_and_si128(greenIsMax, one);
        const __m128i bf = _mm_andnot_si128(_mm_or_si128(redIsMax, greenIsMax), one);
        constexpr int kSet = PixelCounts::kChannelSetSize, kC = PixelCounts::kChannelSize;
        // Four counters of a channel at a time from each 64-bit half.
        const auto count = [&](__m128i v, __m128i f, int channel) {
            const __m128i lo = _mm_unpacklo_epi8(v, f), hi = _mm_unpackhi_epi8(v, f);
            uint32_t* c = base + channel * kC;
            const uint64_t q0 = uint64_t(_mm_cvtsi128_si64(lo));
            const uint64_t q1 = uint64_t(_mm_cvtsi128_si64(_mm_unpackhi_epi64(lo, lo)));
            const uint64_t q2 = uint64_t(_mm_cvtsi128_si64(hi));
            const uint64_t q3 = uint64_t(_mm_cvtsi128_si64(_mm_unpackhi_epi64(hi, hi)));
            for (const uint64_t q : {q0, q1, q2, q3})
                for (int j = 0; j < 4; ++j)
                    ++c[j * kSet + ((q >> (16 * j)) & 0xFFFF)];
        };
        count(r, rf, 0);
        count(g, gf, 1);
        count(b, bf, 2);
    }
    if (_mm_movemask_epi8(_mm_cmpeq_epi8(seen, zero)) != 0xFFFF) {
        alignas(16) uint8_t bits[16];
        _mm_store_si128(reinterpret_cast<__m128i*>(bits), seen);
        for (uint8_t v : bits)
            any |= v;
    }
    return x;
}
#endif

}  // namespace

uint8_t ScanRow(const uint8_t* px, int w, const RowScan& scan) {
    uint8_t any = 0;
    int x = 0;
#if defined(__x86_64__) || defined(__i386__)
    if (ProcessorExtensionsInUse())
        x = ScanSsse3(px, w, scan, any);
#endif
    return any | ScanPortable(px, x, w, scan);
}

}  // namespace orka
