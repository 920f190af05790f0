#include "Histogram.h"

#include <QCoreApplication>

#include "Detection.h"
#include "LiveAssist.h"
#include "LiveViewMath.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace orka {

namespace {

// to[x] = from[x] for x in x1..x2-1, bytes widened to 32 bits.
void WidenRow(const uint8_t* from, int x1, int x2, int32_t* to) {
    int x = x1;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    for (; x + 16 <= x2; x += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + x));
        const __m128i lo = _mm_unpacklo_epi8(v, zero), hi = _mm_unpackhi_epi8(v, zero);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to + x), _mm_unpacklo_epi16(lo, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to + x + 4), _mm_unpackhi_epi16(lo, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to + x + 8), _mm_unpacklo_epi16(hi, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to + x + 12), _mm_unpackhi_epi16(hi, zero));
    }
#endif
    for (; x < x2; ++x)
        to[x] = from[x];
}

}  // namespace

FrameAnalyser::FrameAnalyser(int w, int h, MotionDetector* detector, LiveAssist* assist)
    : w_(std::max(w, 0)), h_(std::max(h, 0)), detector_(detector), assist_(assist) {
    if (detector) {
        box_ = detector->Rectangle();
        luma_ = detector->RoiLuma();
    }
    // The part of the rectangle that lies in the frame.
    cx1_ = std::clamp(box_.x1, 0, w_);
    cx2_ = std::clamp(box_.x2, cx1_, w_);
    cy1_ = std::clamp(box_.y1, 0, h_);
    cy2_ = std::clamp(box_.y2, cy1_, h_);
    copy_ = luma_ && cx2_ > cx1_ && cy2_ > cy1_ &&
            detector->RoiLumaValues().size() >= size_t(box_.width()) * size_t(box_.height());
    if (copy_)
        brightness_.resize(size_t(w_));
    // An assist started for another size is left alone (and unfinished).
    if (assist_ && (assist_->width() != w_ || assist_->height() != h_)) {
        assist_ = nullptr;
    }
    counts_.Reset(assist_ && assist_->settings().rgbHistogram);
}

void FrameAnalyser::AddRows(const uint8_t* const* rows, int y0, int y1) {
    y0 = std::max(y0, 0);
    y1 = std::min(y1, h_);
    for (int y = y0; y < y1; ++y) {
        RowScan scan = assist_ ? assist_->PrepareRow(y) : RowScan{};
        scan.counts = &counts_;
        const bool inRows = copy_ && y >= cy1_ && y < cy2_;
        if (inRows) {
            scan.brightness = brightness_.data();
        }
        const uint8_t clipped = ScanRow(rows[y], w_, scan);
        if (inRows) {
            int32_t* lumaRow = luma_ + size_t(y - box_.y1) * size_t(box_.width()) - box_.x1;
            WidenRow(brightness_.data(), cx1_, cx2_, lumaRow);
        }
        if (assist_) {
            assist_->AfterRow(y, clipped);
        }
    }
}

void FrameAnalyser::Finish(Histogram& histogram) {
    if (detector_) {
        detector_->ExchangeBlockArrays();
    }
    histogram.bins.fill(0);
    counts_.AddBrightness(histogram.bins);
    histogram.largest = *std::max_element(histogram.bins.begin(), histogram.bins.end());
    if (assist_) {
        assist_->Finish(counts_);
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
