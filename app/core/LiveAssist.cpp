#include "LiveAssist.h"

#include <QCoreApplication>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace orka {

namespace {

constexpr int kHistoW = 256;
constexpr int kHistoH = 100;

// Colours in the byte order of the picture: blue, green, red.
struct Bgr {
    uint8_t b, g, r;
};

Bgr PeakingBgr(PeakingColour c) {
    switch (c) {
        case PeakingColour::Yellow:
            return {0, 255, 255};
        case PeakingColour::White:
            return {255, 255, 255};
        case PeakingColour::Blue:
            return {255, 64, 0};
        case PeakingColour::Red:
            break;
    }
    return {0, 0, 255};
}

#if defined(__x86_64__) || defined(__i386__)
// The high-frequency energy of sixteen pixels at a time (see PeakRow), for
// processors with AVX2: marks into edge, and the magnitudes into energy when
// it is not null. Returns the pixels done, a multiple of 16.
__attribute__((target("avx2"))) int EdgesAvx2(const int16_t* t, const int16_t* m, const int16_t* b,
                                              int x0, int n, int16_t limit, uint8_t* edge,
                                              int16_t* energy, uint8_t& any) {
    const __m256i lim = _mm256_set1_epi16(limit);
    const __m256i zero = _mm256_setzero_si256();
    __m256i seen = zero;
    int i = 0;
    for (; i + 16 <= n; i += 16) {
        const int x = x0 + i;
#define ORKA_AT(r, x) _mm256_loadu_si256(reinterpret_cast<const __m256i*>((r) + (x)))
        const __m256i around = _mm256_add_epi16(
            _mm256_add_epi16(_mm256_add_epi16(ORKA_AT(t, x - 1), ORKA_AT(t, x)),
                             _mm256_add_epi16(ORKA_AT(t, x + 1), ORKA_AT(m, x - 1))),
            _mm256_add_epi16(_mm256_add_epi16(ORKA_AT(m, x + 1), ORKA_AT(b, x - 1)),
                             _mm256_add_epi16(ORKA_AT(b, x), ORKA_AT(b, x + 1))));
        const __m256i mag =
            _mm256_abs_epi16(_mm256_sub_epi16(_mm256_slli_epi16(ORKA_AT(m, x), 3), around));
#undef ORKA_AT
        if (energy)
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(energy + i), mag);
        const __m256i hit = _mm256_cmpgt_epi16(mag, lim);
        // The pack works within each half: quadwords 0 and 2 hold the 16 bytes.
        const __m256i packed = _mm256_permute4x64_epi64(_mm256_packs_epi16(hit, hit), 0x08);
        const __m256i e = _mm256_and_si256(packed, _mm256_set1_epi8(char(kMarkPeak)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(edge + i), _mm256_castsi256_si128(e));
        seen = _mm256_or_si256(seen, e);
    }
    if (!_mm256_testz_si256(seen, seen))
        any = kMarkPeak;
    return i;
}

// The same, thirty-two pixels at a time, for processors with AVX-512 (its
// byte and word instructions): the marks come straight from the comparison's
// mask. Returns the pixels done, a multiple of 32.
__attribute__((target("avx512f,avx512bw,avx512vl"))) int EdgesAvx512(
    const int16_t* t, const int16_t* m, const int16_t* b, int x0, int n, int16_t limit,
    uint8_t* edge, int16_t* energy, uint8_t& any) {
    const __m512i lim = _mm512_set1_epi16(limit);
    __mmask32 seen = 0;
    int i = 0;
    for (; i + 32 <= n; i += 32) {
        const int x = x0 + i;
#define ORKA_AT(r, x) _mm512_loadu_si512(reinterpret_cast<const void*>((r) + (x)))
        const __m512i around = _mm512_add_epi16(
            _mm512_add_epi16(_mm512_add_epi16(ORKA_AT(t, x - 1), ORKA_AT(t, x)),
                             _mm512_add_epi16(ORKA_AT(t, x + 1), ORKA_AT(m, x - 1))),
            _mm512_add_epi16(_mm512_add_epi16(ORKA_AT(m, x + 1), ORKA_AT(b, x - 1)),
                             _mm512_add_epi16(ORKA_AT(b, x), ORKA_AT(b, x + 1))));
        const __m512i mag =
            _mm512_abs_epi16(_mm512_sub_epi16(_mm512_slli_epi16(ORKA_AT(m, x), 3), around));
#undef ORKA_AT
        if (energy)
            _mm512_storeu_si512(reinterpret_cast<void*>(energy + i), mag);
        const __mmask32 hit = _mm512_cmpgt_epi16_mask(mag, lim);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(edge + i),
                            _mm256_maskz_set1_epi8(hit, char(kMarkPeak)));
        seen |= hit;
    }
    if (seen)
        any = kMarkPeak;
    return i;
}

const bool kHasAvx2 = __builtin_cpu_supports("avx2");
const bool kHasAvx512 = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
                        __builtin_cpu_supports("avx512vl");
#endif

}  // namespace

int PeakingSharePercent(int sensitivity) {
    const double s = std::clamp(sensitivity, 0, 100);
    return int(std::lround(100 * std::pow(10.0, -s / 100)));
}

QString PeakingSensitivityText(int sensitivity) {
    return QCoreApplication::translate("LiveAssist",
                                       "%1 % de la netteté des contours les plus nets")
        .arg(PeakingSharePercent(sensitivity));
}

void LiveAssist::Start(const AssistSettings& settings, int w, int h) {
    settings_ = settings;
    w_ = std::max(w, 0);
    h_ = std::max(h, 0);
    complete_ = false;
    scanned_ = 0;
    threshold_ = std::max(kPeakFloor,
                          peakReference_ * PeakingSharePercent(settings.peakingSensitivity) / 100);
    for (auto& set : energyCounts_)
        set.fill(0);
    const size_t pixels = size_t(w_) * size_t(h_);
    if (settings.marks()) {
        if (marks_.size() != pixels)
            marks_.assign(pixels, 0);
        rowUsed_.assign(size_t(h_), 0);
    } else {
        rowUsed_.clear();
    }
    if (settings.peaking) {
        luma_.resize(3 * size_t(w_));
        energy_.resize(size_t(w_));
    }
    if (settings.highlights || settings.shadows)
        clipBits_.resize(size_t(w_));
    rgb_ = {};
    countsZeroed_ = false;
}

PixelCounts& LiveAssist::OwnCounts() {
    // Zeroed at the first use in a frame: the window's analyser counts in
    // its own, and this one then stays untouched.
    if (!countsZeroed_) {
        counts_.Reset(settings_.rgbHistogram);
        countsZeroed_ = true;
    }
    return counts_;
}

uint8_t* LiveAssist::MarkRow(int y) {
    uint8_t* row = marks_.data() + size_t(y) * size_t(w_);
    if (!rowUsed_[size_t(y)]) {
        std::memset(row, 0, size_t(w_));
        rowUsed_[size_t(y)] = 1;
    }
    return row;
}

const uint8_t* LiveAssist::MarksOfRow(int y) const {
    if (y < 0 || size_t(y) >= rowUsed_.size() || !rowUsed_[size_t(y)])
        return nullptr;
    return marks_.data() + size_t(y) * size_t(w_);
}

RowScan LiveAssist::PrepareRow(int y) {
    RowScan scan;
    if (settings_.highlights || settings_.shadows) {
        scan.clip = clipBits_.data();
        scan.high = settings_.highlights;
        scan.highLevel = uint8_t(std::clamp(settings_.highlightLevel, 0, 255));
        scan.low = settings_.shadows;
        scan.lowLevel = uint8_t(std::clamp(settings_.shadowLevel, 0, 255));
    }
    if (settings_.peaking)
        scan.luma = luma_.data() + size_t(y % 3) * size_t(w_);
    scan.countChannels = settings_.rgbHistogram && y % RgbRowStep() == 0;
    return scan;
}

void LiveAssist::AfterRow(int y, uint8_t clipped) {
    scanned_ = y + 1;
    if (clipped) {
        // The row's first marks: peaking marks it once the next row is in.
        std::memcpy(marks_.data() + size_t(y) * size_t(w_), clipBits_.data(), size_t(w_));
        rowUsed_[size_t(y)] = 1;
    }
    if (settings_.peaking && y >= 2)
        PeakRow(y - 1);
}

void LiveAssist::AddRows(const uint8_t* const* rows, int y0, int y1) {
    y0 = std::max(y0, 0);
    y1 = std::min(y1, h_);
    for (int y = y0; y < y1; ++y) {
        RowScan scan = PrepareRow(y);
        scan.counts = &OwnCounts();
        scan.countBrightness = false;
        AfterRow(y, ScanRow(rows[y], w_, scan));
    }
}

void LiveAssist::PeakRow(int y) {
    const int w = w_;
    if (w < 3)
        return;
    const int16_t* t = luma_.data() + size_t((y - 1) % 3) * size_t(w);
    const int16_t* m = luma_.data() + size_t(y % 3) * size_t(w);
    const int16_t* b = luma_.data() + size_t((y + 1) % 3) * size_t(w);
    const int16_t limit = int16_t(std::min(threshold_, int(INT16_MAX)));
    // One row in kEnergyRowStep gives its magnitudes to the frame's
    // distribution, one pixel in kEnergyPixelStep of it.
    const bool sampled = y % kEnergyRowStep == 0;
    // The edges of a stretch of a row that has marks already (clipping) go
    // to a small buffer first, and are then added to them.
    constexpr int kStretch = 1024;
    uint8_t edgeBuffer[kStretch];
    uint8_t* const marks = marks_.data() + size_t(y) * size_t(w_);
    for (int x0 = 1; x0 < w - 1; x0 += kStretch) {
        const int n = std::min(kStretch, w - 1 - x0);
        // A row without marks yet, in one stretch, takes its edges in place
        // (it counts as marked only if one is found).
        const bool inPlace = !rowUsed_[size_t(y)] && n == w - 2;
        uint8_t* const edge = inPlace ? marks + 1 : edgeBuffer;
        int16_t* energy = sampled ? energy_.data() + x0 : nullptr;
        uint8_t any = 0;
        int i = 0;
#if defined(__x86_64__) || defined(__i386__)
        if (kHasAvx512 && Avx512InUse())
            i = EdgesAvx512(t, m, b, x0, n, limit, edge, energy, any);
        if (kHasAvx2 && ProcessorExtensionsInUse())
            i += EdgesAvx2(t, m, b, x0 + i, n - i, limit, edge + i, energy ? energy + i : nullptr,
                           any);
#endif
#if defined(__SSE2__)
        // Eight pixels at a time in 16-bit lanes; |v| = max(v, -v).
        const __m128i lim = _mm_set1_epi16(limit);
        const __m128i one = _mm_set1_epi8(char(kMarkPeak));
        __m128i seen = _mm_setzero_si128();
        const auto at = [](const int16_t* r, int x) {
            return _mm_loadu_si128(reinterpret_cast<const __m128i*>(r + x));
        };
        for (; i + 8 <= n; i += 8) {
            const int x = x0 + i;
            const __m128i around =
                _mm_add_epi16(_mm_add_epi16(_mm_add_epi16(at(t, x - 1), at(t, x)),
                                            _mm_add_epi16(at(t, x + 1), at(m, x - 1))),
                              _mm_add_epi16(_mm_add_epi16(at(m, x + 1), at(b, x - 1)),
                                            _mm_add_epi16(at(b, x), at(b, x + 1))));
            const __m128i lap = _mm_sub_epi16(_mm_slli_epi16(at(m, x), 3), around);
            const __m128i mag = _mm_max_epi16(lap, _mm_sub_epi16(_mm_setzero_si128(), lap));
            if (energy)
                _mm_storeu_si128(reinterpret_cast<__m128i*>(energy + i), mag);
            const __m128i hit = _mm_cmpgt_epi16(mag, lim);
            const __m128i e = _mm_and_si128(_mm_packs_epi16(hit, hit), one);
            _mm_storel_epi64(reinterpret_cast<__m128i*>(edge + i), e);
            seen = _mm_or_si128(seen, e);
        }
        if (_mm_movemask_epi8(_mm_cmpeq_epi8(seen, _mm_setzero_si128())) != 0xFFFF)
            any = kMarkPeak;
#endif
        for (; i < n; ++i) {
            const int x = x0 + i;
            const int around =
                t[x - 1] + t[x] + t[x + 1] + m[x - 1] + m[x + 1] + b[x - 1] + b[x] + b[x + 1];
            const int16_t mag = int16_t(std::abs(8 * m[x] - around));
            if (energy)
                energy[i] = mag;
            const uint8_t e = mag > limit ? kMarkPeak : 0;
            edge[i] = e;
            any |= e;
        }
        if (energy) {
            const auto bin = [&](int k) {
                return size_t(std::min(energy[k] >> kEnergyBinShift, kEnergyBins - 1));
            };
            int k = 0;
            constexpr int kStep = kEnergyPixelStep;
            for (; k + 4 * kStep <= n; k += 4 * kStep) {
                ++energyCounts_[0][bin(k)];
                ++energyCounts_[1][bin(k + kStep)];
                ++energyCounts_[2][bin(k + 2 * kStep)];
                ++energyCounts_[3][bin(k + 3 * kStep)];
            }
            for (; k < n; k += kStep)
                ++energyCounts_[0][bin(k)];
        }
        if (!any)
            continue;
        if (inPlace) {
            marks[0] = marks[w - 1] = 0;
            rowUsed_[size_t(y)] = 1;
            continue;
        }
        uint8_t* const row = MarkRow(y) + x0;
        for (int k = 0; k < n; ++k)
            row[k] |= edge[k];
    }
}

void LiveAssist::Finish(const PixelCounts& channels) {
    if (settings_.peaking) {
        // The reference of the next frames: the energy that one sampled
        // pixel in a hundred reaches.
        std::array<uint32_t, kEnergyBins> counts{};
        uint64_t total = 0;
        for (const auto& set : energyCounts_)
            for (int bin = 0; bin < kEnergyBins; ++bin) {
                counts[size_t(bin)] += set[size_t(bin)];
                total += set[size_t(bin)];
            }
        if (total > 0) {
            const uint64_t top = (total + 99) / 100;
            uint64_t above = 0;
            int bin = kEnergyBins - 1;
            for (; bin > 0; --bin) {
                above += counts[size_t(bin)];
                if (above >= top)
                    break;
            }
            peakReference_ =
                std::max(kPeakFloor, (bin << kEnergyBinShift) + (1 << kEnergyBinShift) / 2);
        }
    }
    if (settings_.rgbHistogram) {
        for (int c = 0; c < 3; ++c)
            channels.AddChannel(c, rgb_.bins[size_t(c)]);
        const int step = RgbRowStep();
        rgb_.pixels = uint64_t(w_) * uint64_t((h_ + step - 1) / step);
    }
    complete_ = true;
}

namespace {

// What a pixel's marks paint, on a zebra stripe and off it.
struct Paint {
    Bgr colour;
    bool draws;
};
using PaintTable = std::array<std::array<Paint, 32>, 2>;  // [on stripe][marks]

PaintTable MakePaintTable(const AssistSettings& s) {
    const Bgr peak = PeakingBgr(s.peakingColour);
    const bool zebra = s.clipStyle == ClipStyle::Zebra;
    PaintTable table{};
    for (int onStripe = 0; onStripe < 2; ++onStripe) {
        for (int bits = 1; bits < 32; ++bits) {
            Paint& p = table[size_t(onStripe)][size_t(bits)];
            p.draws = true;
            if (bits & kMarkPeak) {
                p.colour = peak;
            } else if (bits & (kMarkClipRed | kMarkClipGreen | kMarkClipBlue)) {
                p.colour = {uint8_t(bits & kMarkClipBlue ? 255 : 0),
                            uint8_t(bits & kMarkClipGreen ? 255 : 0),
                            uint8_t(bits & kMarkClipRed ? 255 : 0)};
                const bool all = (bits & 14) == 14;
                if (zebra && !onStripe)
                    p.colour = {0, 0, 0};
                else if (!zebra && all)
                    p.colour = {128, 128, 128};
            } else {
                p.colour = {255, 0, 0};
                p.draws = !zebra || onStripe;
            }
        }
    }
    return table;
}

// Paints the pixel at d with what its marks paint, stripe being the sum of
// its display coordinates (the zebra stripes run every other four of them).
inline void PaintPixel(uint8_t* d, const PaintTable& paint, int stripe, uint8_t bits) {
    const bool onStripe = ((stripe >> 2) & 1) == 0;
    const Paint& p = paint[onStripe][bits & 31];
    if (!p.draws)
        return;
    d[0] = p.colour.b;
    d[1] = p.colour.g;
    d[2] = p.colour.r;
}

template <Orientation O>
void DrawMarks(const LiveAssist& assist, const PaintTable& paint, uint8_t* const* shownRows) {
    const int w = assist.width();
    const int h = assist.height();
    for (int y = 0; y < h; ++y) {
        const uint8_t* m = assist.MarksOfRow(y);
        if (!m)
            continue;
        const auto draw = [&](int x, uint8_t bits) {
            int dx = x, dy = y;
            if constexpr (O == Orientation::UpsideDown) {
                dx = w - 1 - x;
                dy = h - 1 - y;
            } else if constexpr (O == Orientation::Anticlockwise) {
                dx = y;
                dy = w - 1 - x;
            } else if constexpr (O == Orientation::Clockwise) {
                dx = h - 1 - y;
                dy = x;
            }
            PaintPixel(shownRows[dy] + 3 * size_t(dx), paint, dx + dy, bits);
        };
        int x0 = 0;
#if defined(__SSE2__)
        // Sixteen pixels at a time: only the marked ones are visited.
        for (; x0 + 16 <= w; x0 += 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(m + x0));
            unsigned marked =
                ~unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_setzero_si128()))) & 0xFFFF;
            for (; marked; marked &= marked - 1) {
                const int x = x0 + std::countr_zero(marked);
                draw(x, m[x]);
            }
        }
#endif
        for (int x = x0; x < w; ++x)
            if (m[x])
                draw(x, m[x]);
    }
}

// The zebra stripe of pixel (x, y) of the frame as delivered, once turned as
// shown: the sum of its display coordinates, a + b x on row y.
struct StripeLine {
    int a, b;
};
StripeLine Stripes(Orientation o, int w, int h, int y) {
    switch (o) {
        case Orientation::UpsideDown:  // (w - 1 - x, h - 1 - y)
            return {w + h - 2 - y, -1};
        case Orientation::Anticlockwise:  // (y, w - 1 - x)
            return {y + w - 1, -1};
        case Orientation::Clockwise:  // (h - 1 - y, x)
            return {h - 1 - y, 1};
        case Orientation::Normal:
            break;
    }
    return {y, 1};
}

// Paints the marks m of the w pixels of a row onto it, one at a time.
void PaintRowPortable(const uint8_t* m, uint8_t* row, int w, StripeLine stripes,
                      const PaintTable& paint) {
    for (int x = 0; x < w; ++x)
        if (m[x])
            PaintPixel(row + 3 * size_t(x), paint, stripes.a + stripes.b * x, m[x]);
}

#if defined(__x86_64__) || defined(__i386__)
// The paint table as byte permutations take it: entry (marks & 31) + 32 off
// stripe of each of blue, green, red, and whether it draws (0xFF).
struct PaintLanes {
    alignas(64) uint8_t colour[3][64];
    alignas(64) uint8_t draws[64];
    explicit PaintLanes(const PaintTable& paint) {
        for (int i = 0; i < 64; ++i) {
            const Paint& p = paint[i < 32][i & 31];
            colour[0][i] = p.colour.b;
            colour[1][i] = p.colour.g;
            colour[2][i] = p.colour.r;
            draws[i] = (i & 31) && p.draws ? 0xFF : 0;
        }
    }
};

// Fixed byte permutations of the vector painter: which lanes are off stripe
// (32, else 0) for a stripe sum c + j (first eight) or c - j at lane j, by c
// modulo 8; and how 64 pixels of blue, green and red lanes and their 64-bit
// mask spread over the 192 bytes of three registers (byte i of register o is
// channel (64 o + i) % 3 of pixel (64 o + i) / 3).
struct PaintIndex {
    alignas(64) uint8_t offStripe[16][64];
    alignas(64) uint8_t blueGreen[3][64];  // blue lanes, green ones from 64
    alignas(64) uint8_t pixel[3][64];      // the pixel of each byte: red, and the mask
    uint64_t fromRed[3];
    constexpr PaintIndex() : offStripe{}, blueGreen{}, pixel{}, fromRed{} {
        for (int p = 0; p < 16; ++p)
            for (int j = 0; j < 64; ++j) {
                const int sum = p < 8 ? p + j : (p - 8) - j;
                // Arithmetic shift: floor division, as for the true sums.
                offStripe[p][j] = ((sum >= 0 ? sum / 4 : -((-sum + 3) / 4)) & 1) ? 32 : 0;
            }
        for (int o = 0; o < 3; ++o)
            for (int i = 0; i < 64; ++i) {
                const int at = 64 * o + i, c = at % 3;
                blueGreen[o][i] = uint8_t(c == 1 ? 64 + at / 3 : at / 3);
                pixel[o][i] = uint8_t(at / 3);
                if (c == 2)
                    fromRed[o] |= uint64_t(1) << i;
            }
    }
};
constexpr PaintIndex kPaintIndex;

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
// The same, 64 pixels at a time with AVX-512 byte permutations: the colours
// of the marks looked up in registers, spread to the pixels' bytes and
// stored through masks. Does the whole row.
__attribute__((target("avx512f,avx512bw,avx512vbmi"))) void PaintRowVbmi(const uint8_t* m,
                                                                         uint8_t* row, int w,
                                                                         StripeLine stripes,
                                                                         const PaintLanes& lanes) {
    const __m512i blue = _mm512_load_si512(lanes.colour[0]);
    const __m512i green = _mm512_load_si512(lanes.colour[1]);
    const __m512i red = _mm512_load_si512(lanes.colour[2]);
    const __m512i draws = _mm512_load_si512(lanes.draws);
    const __m512i low5 = _mm512_set1_epi8(31);
    for (int x = 0; x < w; x += 64) {
        const int n = std::min(64, w - x);
        const __mmask64 part = n == 64 ? ~__mmask64(0) : (__mmask64(1) << n) - 1;
        const __m512i marks = _mm512_maskz_loadu_epi8(part, m + x);
        if (!_mm512_test_epi8_mask(marks, marks))
            continue;
        const int c = stripes.a + stripes.b * x;
        const __m512i off =
            _mm512_load_si512(kPaintIndex.offStripe[(c & 7) + (stripes.b < 0 ? 8 : 0)]);
        const __m512i at = _mm512_or_si512(_mm512_and_si512(marks, low5), off);
        const __m512i drawn = _mm512_permutexvar_epi8(at, draws);
        const __m512i b = _mm512_permutexvar_epi8(at, blue);
        const __m512i g = _mm512_permutexvar_epi8(at, green);
        const __m512i r = _mm512_permutexvar_epi8(at, red);
        uint8_t* d = row + 3 * size_t(x);
        for (int o = 0; o < 3; ++o) {
            const __m512i pixel = _mm512_load_si512(kPaintIndex.pixel[o]);
            const __m512i bytes = _mm512_mask_permutexvar_epi8(
                _mm512_permutex2var_epi8(b, _mm512_load_si512(kPaintIndex.blueGreen[o]), g),
                kPaintIndex.fromRed[o], pixel, r);
            const __mmask64 k = _mm512_movepi8_mask(_mm512_permutexvar_epi8(pixel, drawn));
            _mm512_mask_storeu_epi8(d + 64 * o, k, bytes);
        }
    }
}
#pragma GCC diagnostic pop
#endif

}  // namespace

void DrawAssist(const LiveAssist& assist, Orientation orientation, uint8_t* const* shownRows) {
    const AssistSettings& s = assist.settings();
    if (!s.marks() || !assist.complete())
        return;
    const PaintTable paint = MakePaintTable(s);
    switch (orientation) {
        case Orientation::Normal:
            DrawMarks<Orientation::Normal>(assist, paint, shownRows);
            break;
        case Orientation::UpsideDown:
            DrawMarks<Orientation::UpsideDown>(assist, paint, shownRows);
            break;
        case Orientation::Anticlockwise:
            DrawMarks<Orientation::Anticlockwise>(assist, paint, shownRows);
            break;
        case Orientation::Clockwise:
            DrawMarks<Orientation::Clockwise>(assist, paint, shownRows);
            break;
    }
}

void PaintAssistRows(const LiveAssist& assist, Orientation orientation, uint8_t* const* rows,
                     int y0, int y1) {
    const AssistSettings& s = assist.settings();
    if (!s.marks() || y0 >= y1)
        return;
    const int w = assist.width();
    const int h = assist.height();
    const PaintTable paint = MakePaintTable(s);
#if defined(__x86_64__) || defined(__i386__)
    const bool vbmi = VbmiInUse();
    const PaintLanes lanes(paint);
#endif
    for (int y = std::max(y0, 0); y < std::min(y1, h); ++y) {
        const uint8_t* m = assist.MarksOfRow(y);
        if (!m)
            continue;
        const StripeLine stripes = Stripes(orientation, w, h, y);
#if defined(__x86_64__) || defined(__i386__)
        if (vbmi) {
            PaintRowVbmi(m, rows[y], w, stripes, lanes);
            continue;
        }
#endif
        PaintRowPortable(m, rows[y], w, stripes, paint);
    }
}

bool ChannelClips(const RgbHistogram& rgb, int channel, int level, bool high) {
    if (channel < 0 || channel > 2 || rgb.pixels == 0)
        return false;
    level = std::clamp(level, 0, 255);
    const auto& bins = rgb.bins[size_t(channel)];
    uint64_t n = 0;
    for (int i = high ? level : 0; i <= (high ? 255 : level); ++i)
        n += bins[size_t(i)];
    return n * 1000 > rgb.pixels;
}

void DrawRgbHistogram(const RgbHistogram& rgb, int highlightLevel, int shadowLevel,
                      uint32_t* const* rows) {
    static constexpr uint32_t kColours[3] = {0xFFE00000u, 0xFF00A000u, 0xFF0000FFu};
    // The scale is the fullest bin between the two ends: an over- or
    // underexposed frame piles most pixels into bin 255 or 0, which would
    // flatten every other bin into the bottom row. A clipped end then runs
    // off the top, and its marker says the rest. Only a frame with nothing
    // between the ends is scaled to them.
    uint64_t largest = 0, largestAtEnds = 0;
    for (const auto& bins : rgb.bins) {
        for (int i = 1; i < kHistoW - 1; ++i)
            largest = std::max<uint64_t>(largest, bins[size_t(i)]);
        largestAtEnds = std::max<uint64_t>({largestAtEnds, bins[0], bins[kHistoW - 1]});
    }
    if (largest == 0)
        largest = largestAtEnds;
    if (largest == 0)
        return;
    // Blue first, red last: where curves meet, red shows.
    for (int c = 2; c >= 0; --c) {
        const auto& bins = rgb.bins[size_t(c)];
        int prev = -1;
        for (int i = 0; i < kHistoW; ++i) {
            // Row of the curve: 99 for an empty bin, 0 for the fullest one.
            const uint64_t lift = std::min<uint64_t>(
                kHistoH - 1,
                (2 * uint64_t(kHistoH - 1) * bins[size_t(i)] + largest) / (2 * largest));
            const int y = kHistoH - 1 - int(lift);
            const int a = prev < 0 ? y : std::min(prev, y);
            const int b = prev < 0 ? y : std::max(prev, y);
            for (int r = a; r <= b; ++r)
                rows[r][i] = kColours[c];
            prev = y;
        }
    }
    for (int c = 0; c < 3; ++c) {
        for (int end = 0; end < 2; ++end) {
            const bool high = end == 1;
            if (!ChannelClips(rgb, c, high ? highlightLevel : shadowLevel, high))
                continue;
            const int x0 = high ? kHistoW - 6 : 0;
            for (int r = 6 * c; r < 6 * c + 5; ++r)
                for (int x = x0; x < x0 + 6; ++x)
                    rows[r][x] = kColours[c];
        }
    }
}

}  // namespace orka
