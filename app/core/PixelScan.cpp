#include "PixelScan.h"

#include "LiveAssist.h"
#include "LiveViewMath.h"

#include <algorithm>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace orka {

void PixelCounts::Reset(bool channels) {
    channels_ = channels;
    room_ = kMaxRow;
    std::memset(
        sets_, 0,
        (kBrightnessSize + (channels ? kChannelSets * kChannelSetSize : 0)) * sizeof(uint16_t));
    std::memset(totals_, 0, (channels ? 4 : 1) * 256 * sizeof(uint32_t));
}

void PixelCounts::Reserve(int w) {
    if (w > room_)
        Flush();
    room_ -= w;
}

void PixelCounts::Flush() {
    for (int s = 0; s < kBrightnessSets; ++s)
        for (int v = 0; v < 256; ++v)
            totals_[v] += sets_[s * 256 + v];
    std::memset(sets_, 0, kBrightnessSize * sizeof(uint16_t));
    if (channels_) {
        for (int s = 0; s < kChannelSets; ++s)
            for (int v = 0; v < kChannelSetSize; ++v)
                totals_[256 + v] += sets_[kBrightnessSize + s * kChannelSetSize + v];
        std::memset(sets_ + kBrightnessSize, 0, kChannelSets * kChannelSetSize * sizeof(uint16_t));
    }
    room_ = kMaxRow;
}

void PixelCounts::AddBrightness(std::array<uint32_t, 256>& bins) const {
    for (int v = 0; v < 256; ++v)
        bins[size_t(v)] += totals_[v];
    for (int s = 0; s < kBrightnessSets; ++s)
        for (int v = 0; v < 256; ++v)
            bins[size_t(v)] += sets_[s * 256 + v];
}

void PixelCounts::AddChannel(int c, std::array<uint32_t, 256>& bins) const {
    if (!channels_ || c < 0 || c > 2)
        return;
    for (int v = 0; v < 256; ++v)
        bins[size_t(v)] += totals_[256 * (c + 1) + v];
    for (int s = 0; s < kChannelSets; ++s) {
        const uint16_t* channel = sets_ + kBrightnessSize + s * kChannelSetSize + c * 256;
        for (int v = 0; v < 256; ++v)
            bins[size_t(v)] += channel[v];
    }
}

namespace {

// What a pass over a row writes and counts, from its RowScan.
struct ScanTargets {
    bool clip;                 // the clipping bits are asked
    uint16_t* brightnessSets;  // the first brightness set; null: not counted
    uint16_t* channelSets;     // the first channel set; null: not counted
    explicit ScanTargets(const RowScan& s)
        : clip(s.clip && (s.high || s.low)),
          brightnessSets(s.counts && s.countBrightness ? s.counts->BrightnessSet(0) : nullptr),
          channelSets(s.counts && s.countChannels && s.counts->channels() ? s.counts->ChannelSet(0)
                                                                          : nullptr) {}
};

// Counts a pixel n times into the first set of each kind asked (null: not
// counted).
inline void CountPixel(uint16_t* brightness, uint16_t* channels, uint8_t b, uint8_t g, uint8_t r,
                       int n = 1) {
    if (brightness)
        brightness[std::max({b, g, r})] += uint16_t(n);
    if (channels) {
        channels[r] += uint16_t(n);
        channels[256 + g] += uint16_t(n);
        channels[512 + b] += uint16_t(n);
    }
}

// Pixels from x to w one at a time.
uint8_t ScanPortable(const uint8_t* p, int x, int w, const RowScan& s) {
    const ScanTargets targets(s);
    const bool clip = targets.clip;
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
        CountPixel(
            targets.brightnessSets ? s.counts->BrightnessSet(x % PixelCounts::kBrightnessSets)
                                   : nullptr,
            targets.channelSets ? s.counts->ChannelSet(x % PixelCounts::kChannelSets) : nullptr, b,
            g, r);
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

// Counts the sixteen bytes of v, byte k in set k modulo Sets, the sets
// Stride counters apart from sets on. The bytes come out two at a time, which
// costs less than shifting them out of a word.
template <int Sets, int Stride>
__attribute__((target("ssse3"), always_inline)) inline void CountBytes(__m128i v, uint16_t* sets) {
    const auto pair = [sets](int k, unsigned both) {
        ++sets[(2 * k) % Sets * Stride + (both & 0xFF)];
        ++sets[(2 * k + 1) % Sets * Stride + (both >> 8)];
    };
    pair(0, unsigned(_mm_extract_epi16(v, 0)));
    pair(1, unsigned(_mm_extract_epi16(v, 1)));
    pair(2, unsigned(_mm_extract_epi16(v, 2)));
    pair(3, unsigned(_mm_extract_epi16(v, 3)));
    pair(4, unsigned(_mm_extract_epi16(v, 4)));
    pair(5, unsigned(_mm_extract_epi16(v, 5)));
    pair(6, unsigned(_mm_extract_epi16(v, 6)));
    pair(7, unsigned(_mm_extract_epi16(v, 7)));
}

// Sixteen pixels at a time from x on; returns the pixels done.
__attribute__((target("ssse3"))) int ScanSsse3(const uint8_t* p, int x, int w, const RowScan& s,
                                               uint8_t& any) {
    const auto mask = [](int c, int k) {
        return _mm_load_si128(reinterpret_cast<const __m128i*>(kPlaneMasks.m[c][k]));
    };
    const __m128i mb0 = mask(0, 0), mb1 = mask(0, 1), mb2 = mask(0, 2);
    const __m128i mg0 = mask(1, 0), mg1 = mask(1, 1), mg2 = mask(1, 2);
    const __m128i mr0 = mask(2, 0), mr1 = mask(2, 1), mr2 = mask(2, 2);
    const __m128i zero = _mm_setzero_si128();
    const __m128i hiv = _mm_set1_epi8(char(s.highLevel));
    const __m128i lov = _mm_set1_epi8(char(s.lowLevel));
    const ScanTargets targets(s);
    const bool clip = targets.clip;
    uint16_t* const brightnessSets = targets.brightnessSets;
    uint16_t* const channelSets = targets.channelSets;
    __m128i seen = zero;
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
        if (!brightnessSets && !channelSets)
            continue;
        // Sixteen equal pixels of a flat area count at once.
        if (SixteenEqualPixels(q)) {
            CountPixel(brightnessSets, channelSets, q[0], q[1], q[2], 16);
            continue;
        }
        if (brightnessSets)
            CountBytes<PixelCounts::kBrightnessSets, 256>(l, brightnessSets);
        if (channelSets) {
            constexpr int kSets = PixelCounts::kChannelSets, kStride = PixelCounts::kChannelSetSize;
            CountBytes<kSets, kStride>(r, channelSets);
            CountBytes<kSets, kStride>(g, channelSets + 256);
            CountBytes<kSets, kStride>(b, channelSets + 512);
        }
    }
    if (_mm_movemask_epi8(_mm_cmpeq_epi8(seen, zero)) != 0xFFFF) {
        alignas(16) uint8_t bits[16];
        _mm_store_si128(reinterpret_cast<__m128i*>(bits), seen);
        for (uint8_t v : bits)
            any |= v;
    }
    return x;
}
#define ORKA_AVX2 __attribute__((target("avx2"), always_inline)) inline
ORKA_AVX2 __m256i PlaneMaskAvx2(int c, int k) {
    return _mm256_broadcastsi128_si256(
        _mm_load_si128(reinterpret_cast<const __m128i*>(kPlaneMasks.m[c][k])));
}
// Bytes k..k+15 of the pixels at q in the low half, of those 48 bytes on in
// the high one.
ORKA_AVX2 __m256i LoadBothAvx2(const uint8_t* q, int k) {
    return _mm256_inserti128_si256(
        _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(q + k))),
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(q + 48 + k)), 1);
}
ORKA_AVX2 __m256i PlaneAvx2(__m256i v0, __m256i v1, __m256i v2, __m256i m0, __m256i m1,
                            __m256i m2) {
    return _mm256_or_si256(
        _mm256_or_si256(_mm256_shuffle_epi8(v0, m0), _mm256_shuffle_epi8(v1, m1)),
        _mm256_shuffle_epi8(v2, m2));
}
// R + 2G + B of sixteen pixels, widened to sixteen bits.
ORKA_AVX2 __m256i LumaAvx2(__m128i b8, __m128i g8, __m128i r8) {
    const __m256i g16 = _mm256_cvtepu8_epi16(g8);
    return _mm256_add_epi16(_mm256_add_epi16(_mm256_cvtepu8_epi16(b8), _mm256_cvtepu8_epi16(r8)),
                            _mm256_add_epi16(g16, g16));
}
// bit where v >= level (exactly when max(v, level) == v).
ORKA_AVX2 __m256i AtLeastAvx2(__m256i v, __m256i level, int bit) {
    return _mm256_and_si256(_mm256_cmpeq_epi8(_mm256_max_epu8(v, level), v),
                            _mm256_set1_epi8(char(bit)));
}
ORKA_AVX2 __m128i HalfAvx2(__m256i v, int half) {
    return half ? _mm256_extracti128_si256(v, 1) : _mm256_castsi256_si128(v);
}
#undef ORKA_AVX2

// Thirty-two pixels at a time with AVX2, from x on: each half of a register
// holds sixteen pixels, gathered with the same byte shuffles as above, so
// that the bytes come out in pixel order. Returns the pixels done.
__attribute__((target("avx2"))) int ScanAvx2(const uint8_t* p, int x, int w, const RowScan& s,
                                             uint8_t& any) {
    const __m256i mb0 = PlaneMaskAvx2(0, 0), mb1 = PlaneMaskAvx2(0, 1), mb2 = PlaneMaskAvx2(0, 2);
    const __m256i mg0 = PlaneMaskAvx2(1, 0), mg1 = PlaneMaskAvx2(1, 1), mg2 = PlaneMaskAvx2(1, 2);
    const __m256i mr0 = PlaneMaskAvx2(2, 0), mr1 = PlaneMaskAvx2(2, 1), mr2 = PlaneMaskAvx2(2, 2);
    const __m256i zero = _mm256_setzero_si256();
    const __m256i hiv = _mm256_set1_epi8(char(s.highLevel));
    const __m256i lov = _mm256_set1_epi8(char(s.lowLevel));
    const ScanTargets targets(s);
    const bool clip = targets.clip;
    uint16_t* const brightnessSets = targets.brightnessSets;
    uint16_t* const channelSets = targets.channelSets;
    __m256i seen = zero;
    for (; x + 32 <= w; x += 32) {
        const uint8_t* q = p + 3 * x;
        const __m256i v0 = LoadBothAvx2(q, 0), v1 = LoadBothAvx2(q, 16), v2 = LoadBothAvx2(q, 32);
        const __m256i b = PlaneAvx2(v0, v1, v2, mb0, mb1, mb2);
        const __m256i g = PlaneAvx2(v0, v1, v2, mg0, mg1, mg2);
        const __m256i r = PlaneAvx2(v0, v1, v2, mr0, mr1, mr2);
        const __m256i l = _mm256_max_epu8(_mm256_max_epu8(b, g), r);
        if (s.brightness)
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(s.brightness + x), l);
        if (s.luma) {
            for (int half = 0; half < 2; ++half)
                _mm256_storeu_si256(
                    reinterpret_cast<__m256i*>(s.luma + x + 16 * half),
                    LumaAvx2(HalfAvx2(b, half), HalfAvx2(g, half), HalfAvx2(r, half)));
        }
        if (clip) {
            __m256i m = zero;
            if (s.high) {
                m = _mm256_or_si256(_mm256_or_si256(AtLeastAvx2(r, hiv, kMarkClipRed),
                                                    AtLeastAvx2(g, hiv, kMarkClipGreen)),
                                    AtLeastAvx2(b, hiv, kMarkClipBlue));
            }
            if (s.low) {
                m = _mm256_or_si256(m,
                                    _mm256_and_si256(_mm256_cmpeq_epi8(_mm256_min_epu8(l, lov), l),
                                                     _mm256_set1_epi8(char(kMarkShadow))));
            }
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(s.clip + x), m);
            seen = _mm256_or_si256(seen, m);
        }
        if (!brightnessSets && !channelSets)
            continue;
        for (int half = 0; half < 2; ++half) {
            const uint8_t* h = q + 48 * half;
            if (SixteenEqualPixels(h)) {
                CountPixel(brightnessSets, channelSets, h[0], h[1], h[2], 16);
                continue;
            }
            if (brightnessSets)
                CountBytes<PixelCounts::kBrightnessSets, 256>(HalfAvx2(l, half), brightnessSets);
            if (channelSets) {
                constexpr int kSets = PixelCounts::kChannelSets;
                constexpr int kStride = PixelCounts::kChannelSetSize;
                CountBytes<kSets, kStride>(HalfAvx2(r, half), channelSets);
                CountBytes<kSets, kStride>(HalfAvx2(g, half), channelSets + 256);
                CountBytes<kSets, kStride>(HalfAvx2(b, half), channelSets + 512);
            }
        }
    }
    if (!_mm256_testz_si256(seen, seen)) {
        alignas(32) uint8_t bits[32];
        _mm256_store_si256(reinterpret_cast<__m256i*>(bits), seen);
        for (uint8_t v : bits)
            any |= v;
    }
    return x;
}

const bool kHasAvx2 = __builtin_cpu_supports("avx2");

// The byte permutations that pick one channel of 64 pixels out of their 192
// bytes in registers z0, z1, z2: first[c] takes the bytes of channel c that
// lie in z0 and z1 (index 64 and up: z1), second[c] keeps those in place and
// takes the rest from z2, for the bytes where fromZ2[c] is set.
struct ChannelPicks {
    alignas(64) uint8_t first[3][64];
    alignas(64) uint8_t second[3][64];
    uint64_t fromZ2[3];
    constexpr ChannelPicks() : first{}, second{}, fromZ2{} {
        for (int c = 0; c < 3; ++c) {
            for (int j = 0; j < 64; ++j) {
                const int at = 3 * j + c;
                first[c][j] = uint8_t(at < 128 ? at : 0);
                second[c][j] = uint8_t(at < 128 ? j : at - 128);
                if (at >= 128)
                    fromZ2[c] |= uint64_t(1) << j;
            }
        }
    }
};
constexpr ChannelPicks kChannelPicks;

#pragma GCC diagnostic push
// GCC 12's AVX-512 headers start some permutations from an undefined
// register, which its own warning takes for an uninitialised read.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#define ORKA_VBMI __attribute__((target("avx512f,avx512bw,avx512vbmi")))

// Bit k set where pixel k's byte in v equals the first of its sixteen (a
// byte shuffle with index zero repeats each lane's first byte).
ORKA_VBMI __attribute__((always_inline)) inline uint64_t SameAsFirstOfSixteen(__m512i v) {
    return _mm512_cmpeq_epi8_mask(v, _mm512_shuffle_epi8(v, _mm512_setzero_si512()));
}

// Bytes 32 half .. 32 half + 31 of v, widened to sixteen bits.
ORKA_VBMI __attribute__((always_inline)) inline __m512i WidenHalf(__m512i v, int half) {
    return _mm512_cvtepu8_epi16(half ? _mm512_extracti64x4_epi64(v, 1) : _mm512_castsi512_si256(v));
}

// Bits of v's bytes at or above level, as bytes: bit where set, 0 elsewhere.
ORKA_VBMI __attribute__((always_inline)) inline __m512i AtLeastVbmi(__m512i v, __m512i level,
                                                                    uint8_t bit) {
    return _mm512_maskz_set1_epi8(_mm512_cmpge_epu8_mask(v, level), char(bit));
}

// The bytes of mask from q + at: whole registers where the mask is full
// (most of a row), masked ones at its end, and no address past the row.
ORKA_VBMI __attribute__((always_inline)) inline __m512i LoadPart(const uint8_t* q, int at,
                                                                 uint64_t mask) {
    if (mask == ~uint64_t(0))
        return _mm512_loadu_si512(q + at);
    return mask ? _mm512_maskz_loadu_epi8(mask, q + at) : _mm512_setzero_si512();
}
ORKA_VBMI __attribute__((always_inline)) inline void StorePart(void* q, uint64_t mask, __m512i v) {
    if (mask == ~uint64_t(0))
        _mm512_storeu_si512(q, v);
    else
        _mm512_mask_storeu_epi8(q, mask, v);
}
// The low n bits (n <= 64).
inline uint64_t LowBits(int n) {
    return n >= 64 ? ~uint64_t(0) : n <= 0 ? 0 : (uint64_t(1) << n) - 1;
}

// Everything the AVX2 pass computes, over the whole row: 64 pixels at a time
// with AVX-512, the last ones through masks; each channel picked out of the
// pixels' 192 bytes with two byte permutations; the counts taken from memory,
// sixteen or 64 equal pixels with one addition (flat areas are common).
ORKA_VBMI void ScanVbmi(const uint8_t* p, int w, const RowScan& s, uint8_t& any) {
    __m512i first[3], second[3];
    for (int c = 0; c < 3; ++c) {
        first[c] = _mm512_load_si512(kChannelPicks.first[c]);
        second[c] = _mm512_load_si512(kChannelPicks.second[c]);
    }
    const __m512i hiv = _mm512_set1_epi8(char(s.highLevel));
    const __m512i lov = _mm512_set1_epi8(char(s.lowLevel));
    const ScanTargets targets(s);
    const bool clip = targets.clip;
    uint16_t* const brightnessSets = targets.brightnessSets;
    uint16_t* const channelSets = targets.channelSets;
    __m512i seen = _mm512_setzero_si512();
    // The values of a step to count, from memory: brightness, red, green,
    // blue. A step's values are counted during the next step, when their
    // stores have reached the cache: loads right after them would wait.
    alignas(64) uint8_t stored[2][4][64];
    int pendingN = 0;  // pixels of the step waiting to be counted
    uint64_t pendingSame = 0;
    // Counts the n pixels of a step whose values are in counted; bit k of
    // same says pixel k equals the first of its sixteen in every value.
    const auto countStep = [&](const uint8_t(*counted)[64], int n, uint64_t same)
        __attribute__((always_inline)) {
        // Pixel k counted times.
        const auto countOne = [&](int k, uint16_t times) {
            if (brightnessSets)
                brightnessSets[counted[0][k]] += times;
            if (channelSets) {
                channelSets[counted[1][k]] += times;
                channelSets[256 + counted[2][k]] += times;
                channelSets[512 + counted[3][k]] += times;
            }
        };
        // Every group of sixteen uniform: one value when their firsts agree.
        const auto firstsAgree = [&](int i) {
            const uint8_t* v = counted[i];
            return v[0] == v[16] && v[0] == v[32] && v[0] == v[48];
        };
        if (n == 64 && same == ~uint64_t(0) && firstsAgree(0) &&
            (!channelSets || (firstsAgree(1) && firstsAgree(2) && firstsAgree(3)))) {
            countOne(0, 64);
            return;
        }
        // Pixels k0 .. k0 + count - 1 one by one, k0 a multiple of sixteen,
        // so that whole groups take the same sets (an unrolled loop).
        const auto countEach = [&](int k0, int count) __attribute__((always_inline)) {
            constexpr int kSets = PixelCounts::kBrightnessSets;
            constexpr int kChannelSets = PixelCounts::kChannelSets;
            constexpr int kStride = PixelCounts::kChannelSetSize;
            if (brightnessSets) {
#pragma GCC unroll 16
                for (int k = 0; k < count; ++k)
                    ++brightnessSets[k % kSets * 256 + counted[0][k0 + k]];
            }
            if (channelSets) {
#pragma GCC unroll 16
                for (int k = 0; k < count; ++k) {
                    uint16_t* set = channelSets + k % kChannelSets * kStride;
                    ++set[counted[1][k0 + k]];
                    ++set[256 + counted[2][k0 + k]];
                    ++set[512 + counted[3][k0 + k]];
                }
            }
        };
        for (int k0 = 0; k0 < n; k0 += 16) {
            if (k0 + 16 > n)
                countEach(k0, n - k0);
            else if (((same >> k0) & 0xFFFF) == 0xFFFF)
                countOne(k0, 16);
            else
                countEach(k0, 16);
        }
    };
    for (int x = 0; x < w; x += 64) {
        const int n = std::min(64, w - x);  // pixels in this step
        const uint64_t part = LowBits(n);
        const uint8_t* q = p + 3 * size_t(x);
        const __m512i z0 = LoadPart(q, 0, LowBits(3 * n));
        const __m512i z1 = LoadPart(q, 64, LowBits(3 * n - 64));
        const __m512i z2 = LoadPart(q, 128, LowBits(3 * n - 128));
        __m512i channel[3];  // blue, green, red
        for (int c = 0; c < 3; ++c)
            channel[c] = _mm512_mask_permutexvar_epi8(_mm512_permutex2var_epi8(z0, first[c], z1),
                                                      kChannelPicks.fromZ2[c], second[c], z2);
        const __m512i b = channel[0], g = channel[1], r = channel[2];
        const __m512i l = _mm512_max_epu8(_mm512_max_epu8(b, g), r);
        if (s.brightness)
            StorePart(s.brightness + x, part, l);
        if (s.luma) {
            for (int half = 0; half < 2 && 32 * half < n; ++half) {
                const __m512i g16 = WidenHalf(g, half);
                const __m512i luma =
                    _mm512_add_epi16(_mm512_add_epi16(WidenHalf(b, half), WidenHalf(r, half)),
                                     _mm512_add_epi16(g16, g16));
                int16_t* to = s.luma + x + 32 * half;
                if (n >= 32 * half + 32)
                    _mm512_storeu_si512(to, luma);
                else
                    _mm512_mask_storeu_epi16(to, __mmask32(LowBits(n - 32 * half)), luma);
            }
        }
        if (clip) {
            __m512i m = _mm512_setzero_si512();
            if (s.high)
                m = _mm512_or_si512(_mm512_or_si512(AtLeastVbmi(r, hiv, kMarkClipRed),
                                                    AtLeastVbmi(g, hiv, kMarkClipGreen)),
                                    AtLeastVbmi(b, hiv, kMarkClipBlue));
            if (s.low)
                m = _mm512_or_si512(
                    m, _mm512_maskz_set1_epi8(_mm512_cmple_epu8_mask(l, lov), char(kMarkShadow)));
            m = _mm512_maskz_mov_epi8(part, m);  // the bytes past the row are no pixels
            StorePart(s.clip + x, part, m);
            seen = _mm512_or_si512(seen, m);
        }
        if (!brightnessSets && !channelSets)
            continue;
        uint8_t(*counted)[64] = stored[(x >> 6) & 1];
        _mm512_store_si512(counted[0], l);
        uint64_t same = SameAsFirstOfSixteen(l);
        if (channelSets) {
            _mm512_store_si512(counted[1], r);
            _mm512_store_si512(counted[2], g);
            _mm512_store_si512(counted[3], b);
            same &= SameAsFirstOfSixteen(r) & SameAsFirstOfSixteen(g) & SameAsFirstOfSixteen(b);
        }
        if (pendingN)
            countStep(stored[((x >> 6) & 1) ^ 1], pendingN, pendingSame);
        pendingN = n;
        pendingSame = same;
    }
    if (pendingN)
        countStep(stored[((w - 1) >> 6) & 1], pendingN, pendingSame);
    if (_mm512_test_epi8_mask(seen, seen)) {
        alignas(64) uint8_t bits[64];
        _mm512_store_si512(bits, seen);
        for (uint8_t v : bits)
            any |= v;
    }
}
#undef ORKA_VBMI
#pragma GCC diagnostic pop
#endif

}  // namespace

uint8_t ScanRow(const uint8_t* px, int w, const RowScan& scan) {
    if (w > PixelCounts::kMaxRow) {
        // No picture is this wide (JPEG stops at 65535), but a counter
        // would overflow: in pieces.
        uint8_t any = 0;
        for (int x = 0; x < w; x += PixelCounts::kMaxRow) {
            RowScan piece = scan;
            const auto at = [x](auto* p) { return p ? p + x : p; };
            piece.brightness = at(scan.brightness);
            piece.luma = at(scan.luma);
            piece.clip = at(scan.clip);
            any |= ScanRow(px + 3 * size_t(x), std::min(PixelCounts::kMaxRow, w - x), piece);
        }
        return any;
    }
    if (scan.counts)
        scan.counts->Reserve(w);
    uint8_t any = 0;
    int x = 0;
#if defined(__x86_64__) || defined(__i386__)
    if (ProcessorExtensionsInUse()) {
        if (VbmiInUse()) {
            ScanVbmi(px, w, scan, any);
            return any;
        }
        if (kHasAvx2)
            x = ScanAvx2(px, x, w, scan, any);
        x = ScanSsse3(px, x, w, scan, any);
    }
#endif
    return any | ScanPortable(px, x, w, scan);
}

}  // namespace orka
