#include "Histogram.h"

#include <QCoreApplication>

#include "Detection.h"
#include "LiveViewMath.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace orka {

namespace {

// Pixels per chunk of a row: the brightness of a chunk is computed into a
// small buffer on the stack first.
constexpr int kChunk = 512;

// peak[i] = max(p[i], p[i + 1], p[i + 2]) for i < 3n - 2: at i = 3k it is the
// brightness of pixel k. Sixteen bytes at a time where SSE2 is there (every
// x86-64 processor).
inline void PeakOfThree(const uint8_t* p, int n, uint8_t* peak) {
    const int bytes = 3 * n - 2;
    int i = 0;
#if defined(__SSE2__)
    for (; i + 16 <= bytes; i += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i + 1));
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i + 2));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(peak + i), _mm_max_epu8(_mm_max_epu8(a, b), c));
    }
#endif
    for (; i < bytes; ++i) {
        peak[i] = std::max({p[i], p[i + 1], p[i + 2]});
    }
}

// Counts pixels [from, to) of a chunk whose peaks are in peak (pixel from at
// peak[0]) and whose own bytes are at px; copies their brightness to luma when
// luma is not null. Sixteen equal pixels of a flat area count at once.
inline void CountRun(const uint8_t* peak, const uint8_t* px, int n, FrameAnalyser::Bins4& b,
                     int32_t* luma) {
    int i = 0;
    if (luma) {
        for (; i + 4 <= n; i += 4) {
            const uint8_t l0 = peak[3 * i];
            const uint8_t l1 = peak[3 * i + 3];
            const uint8_t l2 = peak[3 * i + 6];
            const uint8_t l3 = peak[3 * i + 9];
            ++b.t[0][l0];
            ++b.t[1][l1];
            ++b.t[2][l2];
            ++b.t[3][l3];
            luma[i] = l0;
            luma[i + 1] = l1;
            luma[i + 2] = l2;
            luma[i + 3] = l3;
        }
        for (; i < n; ++i) {
            ++b.t[0][peak[3 * i]];
            luma[i] = peak[3 * i];
        }
        return;
    }
    for (; i + 16 <= n; i += 16) {
        if (SixteenEqualPixels(px + 3 * i)) {
            b.t[0][peak[3 * i]] += 16;
            continue;
        }
        for (int k = i; k < i + 16; k += 4) {
            ++b.t[0][peak[3 * k]];
            ++b.t[1][peak[3 * k + 3]];
            ++b.t[2][peak[3 * k + 6]];
            ++b.t[3][peak[3 * k + 9]];
        }
    }
    for (; i + 4 <= n; i += 4) {
        ++b.t[0][peak[3 * i]];
        ++b.t[1][peak[3 * i + 3]];
        ++b.t[2][peak[3 * i + 6]];
        ++b.t[3][peak[3 * i + 9]];
    }
    for (; i < n; ++i) {
        ++b.t[0][peak[3 * i]];
    }
}

}  // namespace

FrameAnalyser::FrameAnalyser(int w, int h, MotionDetector* detector)
    : w_(std::max(w, 0)), detector_(detector) {
    h = std::max(h, 0);
    if (detector) {
        box_ = detector->Rectangle();
        luma_ = detector->RoiLuma();
    }
    // The part of the rectangle that lies in the frame.
    cx1_ = std::clamp(box_.x1, 0, w_);
    cx2_ = std::clamp(box_.x2, cx1_, w_);
    cy1_ = std::clamp(box_.y1, 0, h);
    cy2_ = std::clamp(box_.y2, cy1_, h);
    copy_ = luma_ && cx2_ > cx1_ && cy2_ > cy1_ &&
            detector->RoiLumaValues().size() >= size_t(box_.width()) * size_t(box_.height());
}

void FrameAnalyser::AddRows(const uint8_t* const* rows, int y0, int y1) {
    uint8_t peak[3 * kChunk];
    for (int y = y0; y < y1; ++y) {
        const uint8_t* row = rows[y];
        const bool inRows = copy_ && y >= cy1_ && y < cy2_;
        int32_t* lumaRow =
            inRows ? luma_ + size_t(y - box_.y1) * size_t(box_.width()) - box_.x1 : nullptr;
        for (int x0 = 0; x0 < w_; x0 += kChunk) {
            const int n = std::min(kChunk, w_ - x0);
            const uint8_t* px = row + size_t(x0) * 3;
            PeakOfThree(px, n, peak);
            if (!inRows || x0 + n <= cx1_ || x0 >= cx2_) {
                CountRun(peak, px, n, bins_, nullptr);
                continue;
            }
            // Split the chunk at the rectangle's sides.
            const int a = std::max(cx1_, x0) - x0;
            const int b = std::min(cx2_, x0 + n) - x0;
            CountRun(peak, px, a, bins_, nullptr);
            CountRun(peak + 3 * a, px + 3 * a, b - a, bins_, lumaRow + x0 + a);
            CountRun(peak + 3 * b, px + 3 * b, n - b, bins_, nullptr);
        }
    }
}

void FrameAnalyser::Finish(Histogram& histogram) {
    if (detector_) {
        detector_->ExchangeBlockArrays();
    }
    histogram.largest = 0;
    for (int i = 0; i < 256; ++i) {
        const uint32_t c = bins_.t[0][i] + bins_.t[1][i] + bins_.t[2][i] + bins_.t[3][i];
        histogram.bins[size_t(i)] = c;
        histogram.largest = std::max(histogram.largest, c);
    }
}

void AnalyseFrame(const uint8_t* const* rows, int w, int h, Histogram& histogram,
                  MotionDetector* detector) {
    FrameAnalyser analyser(w, h, detector);
    analyser.AddRows(rows, 0, h);
    analyser.Finish(histogram);
}

void AnalyseFrame(const QImage& frame, Histogram& histogram, MotionDetector* detector) {
    Q_ASSERT(frame.format() == QImage::Format_BGR888);
    const RowAddresses rows(frame);
    AnalyseFrame(rows.rows(), frame.width(), frame.height(), histogram, detector);
}

void DrawHistogram(const Histogram& histogram, QImage& image) {
    if (image.size() != QSize(HistogramWidth, HistogramHeight) ||
        image.format() != QImage::Format_RGB32) {
        image = QImage(HistogramWidth, HistogramHeight, QImage::Format_RGB32);
    }
    image.fill(Qt::white);
    const uint64_t largest = histogram.largest;
    if (largest == 0) {
        return;  // an empty frame: nothing to scale against
    }
    const QRgb grey = qRgb(128, 128, 128);
    for (int i = 0; i < HistogramWidth; ++i) {
        // round(100 * bin / largest), ties to even, in exact integers.
        const uint64_t num = uint64_t(HistogramHeight) * histogram.bins[size_t(i)];
        uint64_t bar = num / largest;
        const uint64_t twiceRest = 2 * (num % largest);
        if (twiceRest > largest || (twiceRest == largest && (bar & 1))) {
            ++bar;
        }
        // The bar covers rows 99 down to 100 - bar.
        for (int y = HistogramHeight - int(bar); y < HistogramHeight; ++y) {
            reinterpret_cast<QRgb*>(image.scanLine(y))[i] = grey;
        }
    }
}

QString WarningText(int32_t warnings) {
    static const char* const kTexts[9] = {
        QT_TRANSLATE_NOOP("Histogram", " - Système de mesure en surexposition, "),
        QT_TRANSLATE_NOOP("Histogram", " - Système de mesure en sousexposition, "),
        QT_TRANSLATE_NOOP("Histogram", " - Hors domaine d'exposition automatique, "),
        QT_TRANSLATE_NOOP("Histogram", " - Hors domaine d'exposition automatique, "),
        QT_TRANSLATE_NOOP("Histogram", " - Système Anti-bougé hors domaine, "),
        QT_TRANSLATE_NOOP("Histogram", " - Utilisation du Flash conseillé, "),
        QT_TRANSLATE_NOOP("Histogram", " - Flash anti-yeux rouges activé, "),
        QT_TRANSLATE_NOOP("Histogram", " - Le Flash va être déclenché, "),
        QT_TRANSLATE_NOOP("Histogram", " - Exposition automatique verrouillée."),
    };
    QString text;
    for (int bit = 0; bit < 9; ++bit) {
        if (uint32_t(warnings) & (1u << bit)) {
            text += QCoreApplication::translate("Histogram", kTexts[bit]);
        }
    }
    return text;
}

}  // namespace orka
