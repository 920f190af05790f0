#include "LiveViewMath.h"

#include <QCoreApplication>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <numeric>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace orka {

QSize DisplaySize(Orientation orientation, int w, int h) {
    switch (orientation) {
        case Orientation::Anticlockwise:
        case Orientation::Clockwise:
            return QSize(h, w);
        case Orientation::Normal:
        case Orientation::UpsideDown:
            break;
    }
    return QSize(w, h);
}

std::array<int32_t, 2> PreviewToCamera(int x, int y, Orientation orientation, int previewWidth,
                                       int previewHeight) {
    const int w = previewWidth;
    const int h = previewHeight;
    if (w <= 0 || h <= 0) {
        return {0, 0};
    }
    long double fx = x;
    long double fy = y;
    switch (orientation) {
        case Orientation::Normal:
            break;
        case Orientation::UpsideDown:
            fx = w - x;
            fy = h - y;
            break;
        case Orientation::Anticlockwise:
            fx = w - y;
            fy = x;
            break;
        case Orientation::Clockwise:
            fx = y;
            fy = h - x;
            break;
    }
    // nearbyint rounds in the current mode, to nearest with ties to even.
    return {int32_t(std::nearbyint(fx * CameraFrameWidth / w)),
            int32_t(std::nearbyint(fy * CameraFrameHeight / h))};
}

namespace {

inline void CopyPixel(uint8_t* d, const uint8_t* s) {
    d[0] = s[0];
    d[1] = s[1];
    d[2] = s[2];
}

// Pixels as 24-bit values (blue in the low byte). Turning moves four pixels
// at a time through registers, so that twelve bytes cost two stores instead
// of four: the turns are bound by stores and loads, not arithmetic.
constexpr bool kLittleEndian = std::endian::native == std::endian::little;

// The pixel at s; reads a fourth byte, so only where one follows in the row.
inline uint32_t LoadPixelWide(const uint8_t* s) {
    if constexpr (kLittleEndian) {
        uint32_t v;
        std::memcpy(&v, s, 4);
        return v & 0xFFFFFF;
    }
    return uint32_t(s[0]) | uint32_t(s[1]) << 8 | uint32_t(s[2]) << 16;
}

inline uint32_t LoadPixel(const uint8_t* s) {
    return uint32_t(s[0]) | uint32_t(s[1]) << 8 | uint32_t(s[2]) << 16;
}

// Writes pixels a, b, c, e to d[0..11] in that order.
inline void StoreFour(uint8_t* d, uint32_t a, uint32_t b, uint32_t c, uint32_t e) {
    if constexpr (kLittleEndian) {
        const uint64_t lo = uint64_t(a) | uint64_t(b) << 24 | uint64_t(c) << 48;
        const uint32_t hi = c >> 16 | e << 8;
        std::memcpy(d, &lo, 8);
        std::memcpy(d + 8, &hi, 4);
        return;
    }
    const uint32_t px[4] = {a, b, c, e};
    for (int i = 0; i < 4; ++i) {
        d[3 * i] = uint8_t(px[i]);
        d[3 * i + 1] = uint8_t(px[i] >> 8);
        d[3 * i + 2] = uint8_t(px[i] >> 16);
    }
}

// Quarter turns read the source in tiles of kTile columns by four rows, so
// that both the rows read and the rows written stay in cache.
constexpr int kTile = 32;

void CopyFrameNormal(const uint8_t* const* src, int w, int y0, int y1, uint8_t* const* dst) {
    for (int y = y0; y < y1; ++y) {
        std::memcpy(dst[y], src[y], size_t(w) * 3);
    }
}

// Writes the w pixels of s to d in reverse order, from destination pixel c
// on (the pixels before it are the caller's).
void ReverseRowFrom(const uint8_t* s, int w, uint8_t* d, int c) {
    d += size_t(c) * 3;
    // Destination pixels c..c+3 are source pixels w-1-c down to w-4-c:
    // twelve bytes read as one 8-byte and one 4-byte word.
    for (; c + 4 <= w; c += 4, d += 12) {
        const uint8_t* q = s + size_t(w - 4 - c) * 3;
        if constexpr (kLittleEndian) {
            uint64_t lo;
            uint32_t hi;
            std::memcpy(&lo, q, 8);
            std::memcpy(&hi, q + 8, 4);
            const uint32_t q0 = uint32_t(lo) & 0xFFFFFF;
            const uint32_t q1 = uint32_t(lo >> 24) & 0xFFFFFF;
            const uint32_t q2 = (uint32_t(lo >> 48) | hi << 16) & 0xFFFFFF;
            const uint32_t q3 = hi >> 8;
            StoreFour(d, q3, q2, q1, q0);
        } else {
            StoreFour(d, LoadPixel(q + 9), LoadPixel(q + 6), LoadPixel(q + 3), LoadPixel(q));
        }
    }
    for (; c < w; ++c, d += 3) {
        CopyPixel(d, s + size_t(w - 1 - c) * 3);
    }
}

#if defined(__x86_64__) || defined(__i386__)
// Byte shuffles for sixteen pixels (48 bytes) reversed: output register k
// takes destination bytes 16k..16k+15 from input register i, 0x80 (zero)
// where the byte comes from the other input register.
struct ReverseMasks {
    alignas(16) uint8_t m[3][3][16];
    constexpr ReverseMasks() : m{} {
        for (int k = 0; k < 3; ++k) {
            for (int i = 0; i < 3; ++i) {
                for (int j = 0; j < 16; ++j) {
                    const int out = 16 * k + j;
                    const int in = 3 * (15 - out / 3) + out % 3;
                    m[k][i][j] = in / 16 == i ? uint8_t(in % 16) : uint8_t(0x80);
                }
            }
        }
    }
};
constexpr ReverseMasks kReverseMasks;

// Whether the SSSE3 routines run; see UseProcessorExtensions.
bool gUseSsse3 = __builtin_cpu_supports("ssse3");
// Whether the AVX-512 ones may, where the processor has them; see UseAvx512.
bool gUseAvx512 = true;
// Whether the processor has AVX-512 with its byte permutations (VBMI); they
// run where the SSSE3 routines would.
const bool kHasVbmi = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
                      __builtin_cpu_supports("avx512vbmi");

int ReverseRowVbmi(const uint8_t* s, int w, uint8_t* d);
#endif

#if defined(__x86_64__) || defined(__i386__)
// The sixteen pixels in in[0..2] in reverse order into out[0..2].
__attribute__((target("ssse3"), always_inline)) inline void ReverseSixteen(const __m128i in[3],
                                                                           __m128i out[3]) {
    for (int k = 0; k < 3; ++k) {
        const auto mask = [k](int i) {
            return _mm_load_si128(reinterpret_cast<const __m128i*>(kReverseMasks.m[k][i]));
        };
        out[k] = _mm_or_si128(
            _mm_or_si128(_mm_shuffle_epi8(in[0], mask(0)), _mm_shuffle_epi8(in[1], mask(1))),
            _mm_shuffle_epi8(in[2], mask(2)));
    }
}

// Reverses the w pixels at p in place, sixteen from each end at a time;
// returns the first pixel of the middle left undone, which ends before
// pixel w - returned.
__attribute__((target("ssse3"))) int MirrorRowSsse3(uint8_t* p, int w) {
    int l = 0;
    for (int r = w - 16; l + 16 <= r; l += 16, r -= 16) {
        const auto load = [](const uint8_t* q, __m128i v[3]) {
            for (int k = 0; k < 3; ++k)
                v[k] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(q + 16 * k));
        };
        const auto store = [](uint8_t* q, const __m128i v[3]) {
            for (int k = 0; k < 3; ++k)
                _mm_storeu_si128(reinterpret_cast<__m128i*>(q + 16 * k), v[k]);
        };
        __m128i left[3], right[3], turned[3];
        load(p + size_t(l) * 3, left);
        load(p + size_t(r) * 3, right);
        ReverseSixteen(right, turned);
        store(p + size_t(l) * 3, turned);
        ReverseSixteen(left, turned);
        store(p + size_t(r) * 3, turned);
    }
    return l;
}

// Sixteen pixels at a time from destination pixel c on; the rest left to
// ReverseRowFrom.
__attribute__((target("ssse3"))) void ReverseRowSsse3(const uint8_t* s, int w, uint8_t* d, int c) {
    for (; c + 16 <= w; c += 16) {
        const uint8_t* q = s + size_t(w - 16 - c) * 3;
        __m128i in[3], out[3];
        for (int k = 0; k < 3; ++k)
            in[k] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(q + 16 * k));
        ReverseSixteen(in, out);
        for (int k = 0; k < 3; ++k)
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d + size_t(c) * 3 + 16 * k), out[k]);
    }
    ReverseRowFrom(s, w, d, c);
}
#endif

// Writes the w pixels of s to d in reverse order.
void ReverseRow(const uint8_t* s, int w, uint8_t* d) {
#if defined(__x86_64__) || defined(__i386__)
    if (gUseSsse3) {
        ReverseRowSsse3(s, w, d, VbmiInUse() ? ReverseRowVbmi(s, w, d) : 0);
        return;
    }
#endif
    ReverseRowFrom(s, w, d, 0);
}

void TurnFrameUpsideDown(const uint8_t* const* src, int w, int h, int y0, int y1,
                         uint8_t* const* dst) {
    for (int y = y0; y < y1; ++y) {
        ReverseRow(src[y], w, dst[h - 1 - y]);
    }
}

#if defined(__x86_64__) || defined(__i386__)
// A 4 x 4 pixel block with SSSE3: each of the four rows' pixels spread to
// 32-bit lanes, a 4 x 4 transpose of the lanes, and the lanes packed back to
// twelve bytes, in row order (anticlockwise) or reversed (clockwise).
// column[j] gets column x + j (sx = 3 x) of rows[0..3], its bytes 12..15 zero.
template <bool Clockwise>
__attribute__((target("ssse3"), always_inline)) inline void TransposeBlockSsse3(
    const uint8_t* const* rows, size_t sx, __m128i column[4]) {
    const __m128i spread =
        _mm_setr_epi8(0, 1, 2, -128, 3, 4, 5, -128, 6, 7, 8, -128, 9, 10, 11, -128);
    const __m128i pack =
        Clockwise ? _mm_setr_epi8(12, 13, 14, 8, 9, 10, 4, 5, 6, 0, 1, 2, -128, -128, -128, -128)
                  : _mm_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -128, -128, -128, -128);
    __m128i a[4];
    for (int r = 0; r < 4; ++r)
        a[r] = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[r] + sx)),
                                spread);
    const __m128i t0 = _mm_unpacklo_epi32(a[0], a[1]);
    const __m128i t1 = _mm_unpacklo_epi32(a[2], a[3]);
    const __m128i t2 = _mm_unpackhi_epi32(a[0], a[1]);
    const __m128i t3 = _mm_unpackhi_epi32(a[2], a[3]);
    column[0] = _mm_shuffle_epi8(_mm_unpacklo_epi64(t0, t1), pack);
    column[1] = _mm_shuffle_epi8(_mm_unpackhi_epi64(t0, t1), pack);
    column[2] = _mm_shuffle_epi8(_mm_unpacklo_epi64(t2, t3), pack);
    column[3] = _mm_shuffle_epi8(_mm_unpackhi_epi64(t2, t3), pack);
}

// Quarter turns of 4 x 4 pixel blocks on rows y..y+3, columns from x while
// x + 4 <= xEnd and the 16-byte loads stay in their rows; returns the first
// column not done.
template <bool Clockwise>
__attribute__((target("ssse3"))) int TurnBlocksSsse3(const uint8_t* const* src, int w, int h, int y,
                                                     int x, int xEnd, uint8_t* const* dst) {
    const size_t column = Clockwise ? size_t(h - 4 - y) * 3 : size_t(y) * 3;
    for (; x + 4 <= xEnd && x + 6 <= w; x += 4) {
        __m128i c[4];
        TransposeBlockSsse3<Clockwise>(src + y, size_t(x) * 3, c);
        for (int j = 0; j < 4; ++j) {
            uint8_t* d = (Clockwise ? dst[x + j] : dst[w - 1 - x - j]) + column;
            _mm_storel_epi64(reinterpret_cast<__m128i*>(d), c[j]);
            const uint32_t tail = uint32_t(_mm_cvtsi128_si32(_mm_srli_si128(c[j], 8)));
            std::memcpy(d + 8, &tail, 4);
        }
    }
    return x;
}

// The destination of a quarter turn is written 48 bytes (sixteen rows of the
// source) into each of its rows per band: lines all over a picture that has
// long left the cache. Asking now for the lines the next band writes, just
// beside d, lets their fetches overlap instead of stalling the stores one by
// one.
template <bool Clockwise>
inline void PrefetchNextBand(const uint8_t* d) {
    // The last band's neighbour lies outside the picture: a prefetch never
    // faults, and the address is formed as a number, not a pointer.
    const uintptr_t next = reinterpret_cast<uintptr_t>(d) + (Clockwise ? -48 : 48);
    __builtin_prefetch(reinterpret_cast<const void*>(next), 1, 3);
    __builtin_prefetch(reinterpret_cast<const void*>(next + 47), 1, 3);
}

// The same on sixteen rows y..y+15 at once: the four 4 x 4 blocks of a
// column are joined into the 48 bytes that column gives its destination row,
// written with three full stores instead of eight small ones.
template <bool Clockwise>
__attribute__((target("ssse3"))) int TurnBlocks16Ssse3(const uint8_t* const* src, int w, int h,
                                                       int y, int x, int xEnd,
                                                       uint8_t* const* dst) {
    const size_t column = Clockwise ? size_t(h - 16 - y) * 3 : size_t(y) * 3;
    for (; x + 4 <= xEnd && x + 6 <= w; x += 4) {
        // piece[b][j]: column x + j of rows y + 4b .. y + 4b + 3, twelve bytes
        // in destination order.
        __m128i piece[4][4];
        for (int b = 0; b < 4; ++b)
            TransposeBlockSsse3<Clockwise>(src + y + 4 * b, size_t(x) * 3, piece[b]);
        for (int j = 0; j < 4; ++j) {
            // Left to right on the destination row: rows upwards when
            // clockwise, downwards otherwise.
            const __m128i p0 = piece[Clockwise ? 3 : 0][j], p1 = piece[Clockwise ? 2 : 1][j];
            const __m128i p2 = piece[Clockwise ? 1 : 2][j], p3 = piece[Clockwise ? 0 : 3][j];
            uint8_t* d = (Clockwise ? dst[x + j] : dst[w - 1 - x - j]) + column;
            PrefetchNextBand<Clockwise>(d);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d),
                             _mm_or_si128(p0, _mm_slli_si128(p1, 12)));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 16),
                             _mm_or_si128(_mm_srli_si128(p1, 4), _mm_slli_si128(p2, 8)));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 32),
                             _mm_or_si128(_mm_srli_si128(p2, 8), _mm_slli_si128(p3, 4)));
        }
    }
    return x;
}
#endif

#if defined(__x86_64__) || defined(__i386__)
// Byte permutations of a 16 x 16 pixel transpose, one row of sixteen pixels
// (48 bytes) per register: step k swaps, between rows i and i + d (d = 2^k,
// i without bit k), the pixels of the columns with bit k set in row i with
// those without it in row i + d. After the four steps, one per bit, row c
// holds column c. lo[k] makes the new row i and hi[k] the new row i + d, from
// rows i and i + d as first and second operand (indices 64 and up).
struct TransposeIndex {
    alignas(64) uint8_t lo[4][64];
    alignas(64) uint8_t hi[4][64];
    constexpr TransposeIndex() : lo{}, hi{} {
        for (int k = 0; k < 4; ++k) {
            const int d = 1 << k;
            for (int c = 0; c < 16; ++c) {
                for (int t = 0; t < 3; ++t) {
                    const bool set = (c & d) != 0;
                    lo[k][3 * c + t] = uint8_t(set ? 64 + 3 * (c - d) + t : 3 * c + t);
                    hi[k][3 * c + t] = uint8_t(set ? 64 + 3 * c + t : 3 * (c + d) + t);
                }
            }
        }
    }
};
constexpr TransposeIndex kTransposeIndex;

#define ORKA_VBMI __attribute__((target("avx512f,avx512bw,avx512vbmi")))

template <int K>
ORKA_VBMI __attribute__((always_inline)) inline void TransposeStep(__m512i (&r)[16], __m512i lo,
                                                                   __m512i hi) {
    constexpr int d = 1 << K;
#pragma GCC unroll 16
    for (int i = 0; i < 16; ++i) {
        if (i & d)
            continue;
        const __m512i a = r[i], b = r[i + d];
        r[i] = _mm512_permutex2var_epi8(a, lo, b);
        r[i + d] = _mm512_permutex2var_epi8(a, hi, b);
    }
}

#pragma GCC diagnostic push
// GCC 12's AVX-512 headers start their narrowing casts from an undefined
// register, which its own warning takes for an uninitialised read.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
// Quarter turns of the 16 x 16 pixel blocks of rows y .. y + 15, columns 0 to
// xEnd (a multiple of 16), with AVX-512 byte permutations: a block is sixteen
// loads, 64 permutations and sixteen rows of 48 bytes stored. The rows are
// loaded bottom up when clockwise, so that each transposed row is already in
// its destination's order.
template <bool Clockwise>
ORKA_VBMI void TurnBlocksVbmi(const uint8_t* const* src, int w, int h, int y, int xEnd,
                              uint8_t* const* dst) {
    constexpr __mmask64 k48 = 0xFFFFFFFFFFFFull;
    const size_t column = Clockwise ? size_t(h - 16 - y) * 3 : size_t(y) * 3;
    __m512i lo[4], hi[4];
    for (int k = 0; k < 4; ++k) {
        lo[k] = _mm512_load_si512(kTransposeIndex.lo[k]);
        hi[k] = _mm512_load_si512(kTransposeIndex.hi[k]);
    }
    for (int x = 0; x + 16 <= xEnd; x += 16) {
        __m512i r[16];
#pragma GCC unroll 16
        for (int i = 0; i < 16; ++i)
            r[i] =
                _mm512_maskz_loadu_epi8(k48, src[Clockwise ? y + 15 - i : y + i] + size_t(x) * 3);
        TransposeStep<0>(r, lo[0], hi[0]);
        TransposeStep<1>(r, lo[1], hi[1]);
        TransposeStep<2>(r, lo[2], hi[2]);
        TransposeStep<3>(r, lo[3], hi[3]);
#pragma GCC unroll 16
        for (int c = 0; c < 16; ++c) {
            uint8_t* d = (Clockwise ? dst[x + c] : dst[w - 1 - x - c]) + column;
            PrefetchNextBand<Clockwise>(d);
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(d), _mm512_castsi512_si256(r[c]));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 32),
                             _mm512_castsi512_si128(_mm512_alignr_epi64(r[c], r[c], 4)));
        }
    }
}

// Byte permutations that reverse 64 pixels (192 bytes in three registers
// z0, z1, z2): the first 64 bytes of the result come from input bytes
// 126..191 (z1 and z2), the middle ones from bytes 64..128 (z1 and z2) but
// one, byte 63, taken from z0 where middleFromZ0 is set, and the last from
// bytes 0..65 (z0 and z1).
struct ReverseIndex {
    alignas(64) uint8_t first[64];
    alignas(64) uint8_t middle[64];
    alignas(64) uint8_t last[64];
    uint64_t middleFromZ0;
    constexpr ReverseIndex() : first{}, middle{}, last{}, middleFromZ0{} {
        for (int o = 0; o < 192; ++o) {
            const int in = 3 * (63 - o / 3) + o % 3;
            if (o < 64) {
                first[o] = uint8_t(in - 64);
            } else if (o < 128) {
                middle[o - 64] = uint8_t(in >= 64 ? in - 64 : in);
                if (in < 64)
                    middleFromZ0 |= uint64_t(1) << (o - 64);
            } else {
                last[o - 128] = uint8_t(in);
            }
        }
    }
};
constexpr ReverseIndex kReverseIndex;

// The 64 pixels at q in reverse order into out[0..2].
ORKA_VBMI __attribute__((always_inline)) inline void ReverseSixtyFour(const uint8_t* q,
                                                                      __m512i out[3]) {
    const __m512i z0 = _mm512_loadu_si512(q);
    const __m512i z1 = _mm512_loadu_si512(q + 64);
    const __m512i z2 = _mm512_loadu_si512(q + 128);
    out[0] = _mm512_permutex2var_epi8(z1, _mm512_load_si512(kReverseIndex.first), z2);
    const __m512i middle = _mm512_load_si512(kReverseIndex.middle);
    out[1] = _mm512_mask_permutexvar_epi8(_mm512_permutex2var_epi8(z1, middle, z2),
                                          kReverseIndex.middleFromZ0, middle, z0);
    out[2] = _mm512_permutex2var_epi8(z0, _mm512_load_si512(kReverseIndex.last), z1);
}

// Writes the w pixels of s to d in reverse order, 64 at a time; returns the
// destination pixels done.
ORKA_VBMI int ReverseRowVbmi(const uint8_t* s, int w, uint8_t* d) {
    int c = 0;
    for (; c + 64 <= w; c += 64) {
        __m512i out[3];
        ReverseSixtyFour(s + size_t(w - 64 - c) * 3, out);
        for (int k = 0; k < 3; ++k)
            _mm512_storeu_si512(d + size_t(c) * 3 + 64 * k, out[k]);
    }
    return c;
}

// Reverses the w pixels at p in place, 64 from each end at a time; returns
// the first pixel of the middle left undone, which ends before pixel w -
// returned.
ORKA_VBMI int MirrorRowVbmi(uint8_t* p, int w) {
    int l = 0;
    for (int r = w - 64; l + 64 <= r; l += 64, r -= 64) {
        __m512i left[3], right[3];
        ReverseSixtyFour(p + size_t(l) * 3, left);
        ReverseSixtyFour(p + size_t(r) * 3, right);
        for (int k = 0; k < 3; ++k) {
            _mm512_storeu_si512(p + size_t(l) * 3 + 64 * k, right[k]);
            _mm512_storeu_si512(p + size_t(r) * 3 + 64 * k, left[k]);
        }
    }
    return l;
}
#pragma GCC diagnostic pop
#undef ORKA_VBMI
#endif

template <bool Clockwise>
void TurnQuarterFrom(const uint8_t* const* src, int w, int h, int y0, int y1, uint8_t* const* dst,
                     int xStart);

// Source pixel (x, y) goes to destination row w-1-x, column y when
// anticlockwise, row x, column h-1-y when clockwise. With AVX-512 the whole
// blocks of sixteen rows and columns are turned in registers, the rest as
// without.
template <bool Clockwise>
void TurnFrameQuarter(const uint8_t* const* src, int w, int h, int y0, int y1,
                      uint8_t* const* dst) {
#if defined(__x86_64__) || defined(__i386__)
    if (VbmiInUse()) {
        const int wide = w - w % 16;
        const int tall = y0 + (y1 - y0) / 16 * 16;
        for (int y = y0; y < tall; y += 16)
            TurnBlocksVbmi<Clockwise>(src, w, h, y, wide, dst);
        if (wide < w)
            TurnQuarterFrom<Clockwise>(src, w, h, y0, tall, dst, wide);
        TurnQuarterFrom<Clockwise>(src, w, h, tall, y1, dst, 0);
        return;
    }
#endif
    TurnQuarterFrom<Clockwise>(src, w, h, y0, y1, dst, 0);
}

// The same with SSSE3 or the portable code, from column xStart on.
template <bool Clockwise>
void TurnQuarterFrom(const uint8_t* const* src, int w, int h, int y0, int y1, uint8_t* const* dst,
                     int xStart) {
    auto target = [&](int x, int y) {
        return Clockwise ? dst[x] + size_t(h - 1 - y) * 3 : dst[w - 1 - x] + size_t(y) * 3;
    };
    for (int x0 = xStart; x0 < w; x0 += kTile) {
        const int x1 = std::min(w, x0 + kTile);
        // The last pixel of a row is read without the fourth byte.
        const int wideEnd = std::min(x1, w - 1);
        // Rows y..y+3 from column x on.
        const auto fourRows = [&](int y, int x) {
            const uint8_t* s0 = src[y];
            const uint8_t* s1 = src[y + 1];
            const uint8_t* s2 = src[y + 2];
            const uint8_t* s3 = src[y + 3];
            auto put = [&](int x, uint32_t p0, uint32_t p1, uint32_t p2, uint32_t p3) {
                // Four neighbouring destination pixels, left to right.
                if (Clockwise)
                    StoreFour(target(x, y + 3), p3, p2, p1, p0);
                else
                    StoreFour(target(x, y), p0, p1, p2, p3);
            };
#if defined(__x86_64__) || defined(__i386__)
            if (gUseSsse3)
                x = TurnBlocksSsse3<Clockwise>(src, w, h, y, x, x1, dst);
#endif
            for (; x < wideEnd; ++x) {
                const size_t sx = size_t(x) * 3;
                put(x, LoadPixelWide(s0 + sx), LoadPixelWide(s1 + sx), LoadPixelWide(s2 + sx),
                    LoadPixelWide(s3 + sx));
            }
            for (; x < x1; ++x) {
                const size_t sx = size_t(x) * 3;
                put(x, LoadPixel(s0 + sx), LoadPixel(s1 + sx), LoadPixel(s2 + sx),
                    LoadPixel(s3 + sx));
            }
        };
        int y = y0;
#if defined(__x86_64__) || defined(__i386__)
        if (gUseSsse3) {
            for (; y + 16 <= y1; y += 16) {
                const int x = TurnBlocks16Ssse3<Clockwise>(src, w, h, y, x0, x1, dst);
                for (int r = y; r < y + 16; r += 4)
                    fourRows(r, x);
            }
        }
#endif
        for (; y + 4 <= y1; y += 4)
            fourRows(y, x0);
        for (; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                CopyPixel(target(x, y), src[y] + size_t(x) * 3);
            }
        }
    }
}

inline uint32_t Load32(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

inline void Store32(uint8_t* p, uint32_t v) {
    std::memcpy(p, &v, 4);
}

void TurnUpsideDown32(const uint8_t* const* src, int w, int h, int y0, int y1,
                      uint8_t* const* dst) {
    for (int y = y0; y < y1; ++y) {
        const uint8_t* s = src[y];
        uint8_t* d = dst[h - 1 - y];
        int x = 0;
#if defined(__SSE2__)
        for (; x + 4 <= w; x += 4) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 4 * size_t(x)));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 4 * size_t(w - 4 - x)),
                             _mm_shuffle_epi32(v, 0x1B));
        }
#endif
        for (; x < w; ++x)
            Store32(d + 4 * size_t(w - 1 - x), Load32(s + 4 * size_t(x)));
    }
}

// Source pixel (x, y) goes to destination row w-1-x, column y when
// anticlockwise, row x, column h-1-y when clockwise; tiles of kTile columns
// by four rows, each 4 x 4 block transposed in registers.
template <bool Clockwise>
void TurnQuarter32(const uint8_t* const* src, int w, int h, int y0, int y1, uint8_t* const* dst) {
    const auto target = [&](int x, int y) {
        return Clockwise ? dst[x] + 4 * size_t(h - 1 - y) : dst[w - 1 - x] + 4 * size_t(y);
    };
    for (int x0 = 0; x0 < w; x0 += kTile) {
        const int x1 = std::min(w, x0 + kTile);
        int y = y0;
#if defined(__SSE2__)
        for (; y + 4 <= y1; y += 4) {
            int x = x0;
            for (; x + 4 <= x1; x += 4) {
                const auto row = [&](int k) {
                    return _mm_loadu_si128(
                        reinterpret_cast<const __m128i*>(src[y + k] + 4 * size_t(x)));
                };
                const __m128i r0 = row(0), r1 = row(1), r2 = row(2), r3 = row(3);
                const __m128i t0 = _mm_unpacklo_epi32(r0, r1), t1 = _mm_unpacklo_epi32(r2, r3);
                const __m128i t2 = _mm_unpackhi_epi32(r0, r1), t3 = _mm_unpackhi_epi32(r2, r3);
                // column[j]: pixel x + j of rows y .. y + 3.
                const __m128i column[4] = {_mm_unpacklo_epi64(t0, t1), _mm_unpackhi_epi64(t0, t1),
                                           _mm_unpacklo_epi64(t2, t3), _mm_unpackhi_epi64(t2, t3)};
                for (int j = 0; j < 4; ++j) {
                    if (Clockwise)
                        _mm_storeu_si128(
                            reinterpret_cast<__m128i*>(dst[x + j] + 4 * size_t(h - 4 - y)),
                            _mm_shuffle_epi32(column[j], 0x1B));
                    else
                        _mm_storeu_si128(
                            reinterpret_cast<__m128i*>(dst[w - 1 - x - j] + 4 * size_t(y)),
                            column[j]);
                }
            }
            for (; x < x1; ++x)
                for (int k = 0; k < 4; ++k)
                    Store32(target(x, y + k), Load32(src[y + k] + 4 * size_t(x)));
        }
#endif
        for (; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                Store32(target(x, y), Load32(src[y] + 4 * size_t(x)));
    }
}

}  // namespace

void UseProcessorExtensions(bool on) {
#if defined(__x86_64__) || defined(__i386__)
    gUseSsse3 = on && __builtin_cpu_supports("ssse3");
#else
    (void)on;
#endif
}

bool ProcessorExtensionsInUse() {
#if defined(__x86_64__) || defined(__i386__)
    return gUseSsse3;
#else
    return false;
#endif
}

void UseAvx512(bool on) {
#if defined(__x86_64__) || defined(__i386__)
    gUseAvx512 = on;
#else
    (void)on;
#endif
}

bool Avx512InUse() {
#if defined(__x86_64__) || defined(__i386__)
    return gUseSsse3 && gUseAvx512;
#else
    return false;
#endif
}

bool VbmiInUse() {
#if defined(__x86_64__) || defined(__i386__)
    return kHasVbmi && Avx512InUse();
#else
    return false;
#endif
}

void TurnRows(Orientation orientation, const uint8_t* const* src, int w, int h, int y0, int y1,
              uint8_t* const* dst) {
    y0 = std::max(y0, 0);
    y1 = std::min(y1, h);
    if (y0 >= y1) {
        return;
    }
    switch (orientation) {
        case Orientation::Normal:
            CopyFrameNormal(src, w, y0, y1, dst);
            break;
        case Orientation::UpsideDown:
            TurnFrameUpsideDown(src, w, h, y0, y1, dst);
            break;
        case Orientation::Anticlockwise:
            TurnFrameQuarter<false>(src, w, h, y0, y1, dst);
            break;
        case Orientation::Clockwise:
            TurnFrameQuarter<true>(src, w, h, y0, y1, dst);
            break;
    }
}

void TurnRows32(Orientation orientation, const uint8_t* const* src, int w, int h, int y0, int y1,
                uint8_t* const* dst) {
    y0 = std::max(y0, 0);
    y1 = std::min(y1, h);
    switch (orientation) {
        case Orientation::Normal:
            for (int y = y0; y < y1; ++y)
                std::memcpy(dst[y], src[y], 4 * size_t(w));
            break;
        case Orientation::UpsideDown:
            TurnUpsideDown32(src, w, h, y0, y1, dst);
            break;
        case Orientation::Anticlockwise:
            TurnQuarter32<false>(src, w, h, y0, y1, dst);
            break;
        case Orientation::Clockwise:
            TurnQuarter32<true>(src, w, h, y0, y1, dst);
            break;
    }
}

void MirrorRows(uint8_t* const* rows, int w, int y0, int y1) {
    for (int y = y0; y < y1; ++y) {
        uint8_t* p = rows[y];
        int l = 0;
#if defined(__x86_64__) || defined(__i386__)
        // Each routine reverses the middle its predecessor left.
        if (VbmiInUse())
            l = MirrorRowVbmi(p, w);
        if (gUseSsse3)
            l += MirrorRowSsse3(p + size_t(l) * 3, w - 2 * l);
#endif
        for (int r = w - 1 - l; l < r; ++l, --r) {
            uint8_t* a = p + size_t(l) * 3;
            uint8_t* b = p + size_t(r) * 3;
            std::swap_ranges(a, a + 3, b);
        }
    }
}

void TurnFrame(Orientation orientation, const uint8_t* const* src, int w, int h,
               uint8_t* const* dst) {
    TurnRows(orientation, src, w, h, 0, h, dst);
}

void TurnFrame(Orientation orientation, const QImage& src, QImage& dst) {
    Q_ASSERT(src.format() == QImage::Format_BGR888);
    const int w = src.width();
    const int h = src.height();
    const QSize size = DisplaySize(orientation, w, h);
    if (dst.size() != size || dst.format() != QImage::Format_BGR888) {
        dst = QImage(size, QImage::Format_BGR888);
    }
    if (w == 0 || h == 0) {
        return;
    }
    const RowAddresses srcRows(src);
    const RowAddresses dstRows(dst);
    TurnFrame(orientation, srcRows.rows(), w, h, dstRows.writableRows());
}

void RowAddresses::Reserve(int height) {
    if (height > kStackRows) {
        heap_.resize(size_t(height));
        rows_ = heap_.data();
    }
}

RowAddresses::RowAddresses(const QImage& image) {
    Reserve(image.height());
    // Handed out as const by rows(); writableRows() is for the other constructor.
    Fill(const_cast<uint8_t*>(image.constBits()), image.bytesPerLine(), image.height());
}

RowAddresses::RowAddresses(QImage& image, bool bottomUp) {
    Reserve(image.height());
    const int h = image.height();
    if (bottomUp && h > 0)
        Fill(image.bits() + (h - 1) * image.bytesPerLine(), -image.bytesPerLine(), h);
    else
        Fill(image.bits(), image.bytesPerLine(), h);
}

void RowAddresses::Fill(uint8_t* first, qsizetype stride, int height) {
    for (int y = 0; y < height; ++y)
        rows_[y] = first + y * stride;
}

double FrameRateMeter::FrameRate(uint32_t nowMs) {
    const uint64_t sum =
        std::accumulate(FrameIntervals_.begin(), FrameIntervals_.end(), uint64_t(0));
    // Unsigned difference: correct across a wrap of the tick counter.
    const uint32_t interval = nowMs - lastTick_;
    FrameIntervals_[frameCount_ % FrameIntervals_.size()] = std::max<uint32_t>(interval, 1);
    lastTick_ = nowMs;
    ++frameCount_;
    return 8000.0 / double(sum);
}

QString FrameRateText(double rate, const QLocale& locale) {
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    return QStringLiteral("FTr = ") + plain.toString(rate, 'f', 2) +
           QCoreApplication::translate("LiveViewMath", " Img/s");
}

void FrameRateMeter::Reset() {
    FrameIntervals_.fill(1);
    frameCount_ = 0;
    lastTick_ = 0;
}

}  // namespace orka
