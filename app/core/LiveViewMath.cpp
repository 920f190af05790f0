#include "LiveViewMath.h"

#include <cmath>
#include <cstring>
#include <numeric>

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

// Copies a pixel with one 4-byte load and store: the fourth byte read is the
// next source pixel's, the fourth byte written lands on the next destination
// pixel, which the caller writes afterwards. Only where both stay inside
// their rows.
inline void CopyPixelWide(uint8_t* d, const uint8_t* s) {
    uint32_t v;
    std::memcpy(&v, s, 4);
    std::memcpy(d, &v, 4);
}

// Quarter turns read the source in square tiles so that both the rows read
// and the rows written stay in cache.
constexpr int kTile = 32;

}  // namespace

void CopyFrameNormal(const uint8_t* const* src, int w, int h, uint8_t* const* dst) {
    for (int y = 0; y < h; ++y) {
        std::memcpy(dst[y], src[y], size_t(w) * 3);
    }
}

void TurnFrameUpsideDown(const uint8_t* const* src, int w, int h, uint8_t* const* dst) {
    if (w <= 0) {
        return;
    }
    for (int r = 0; r < h; ++r) {
        const uint8_t* s = src[h - 1 - r] + size_t(w - 1) * 3;
        uint8_t* d = dst[r];
        // The first pixel read is the last of its row, the last written the
        // last of its row: those two go byte by byte.
        CopyPixel(d, s);
        d += 3;
        s -= 3;
        for (int c = 1; c < w - 1; ++c, d += 3, s -= 3) {
            CopyPixelWide(d, s);
        }
        if (w > 1) {
            CopyPixel(d, s);
        }
    }
}

void TurnFrameAnticlockwise(const uint8_t* const* src, int w, int h, uint8_t* const* dst) {
    for (int y0 = 0; y0 < h; y0 += kTile) {
        const int y1 = std::min(h, y0 + kTile);
        for (int x0 = 0; x0 < w; x0 += kTile) {
            const int x1 = std::min(w, x0 + kTile);
            for (int x = x0; x < x1; ++x) {
                // Destination row w-1-x, columns y0..y1-1 left to right.
                uint8_t* d = dst[w - 1 - x] + size_t(y0) * 3;
                const size_t sx = size_t(x) * 3;
                int y = y0;
                if (x < w - 1) {
                    for (; y < y1 - 1; ++y, d += 3) {
                        CopyPixelWide(d, src[y] + sx);
                    }
                }
                for (; y < y1; ++y, d += 3) {
                    CopyPixel(d, src[y] + sx);
                }
            }
        }
    }
}

void TurnFrameClockwise(const uint8_t* const* src, int w, int h, uint8_t* const* dst) {
    for (int y0 = 0; y0 < h; y0 += kTile) {
        const int y1 = std::min(h, y0 + kTile);
        for (int x0 = 0; x0 < w; x0 += kTile) {
            const int x1 = std::min(w, x0 + kTile);
            for (int x = x0; x < x1; ++x) {
                // Destination row x, columns h-y1..h-1-y0 left to right, that
                // is source rows y1-1 down to y0.
                uint8_t* d = dst[x] + size_t(h - y1) * 3;
                const size_t sx = size_t(x) * 3;
                int y = y1 - 1;
                if (x < w - 1) {
                    for (; y > y0; --y, d += 3) {
                        CopyPixelWide(d, src[y] + sx);
                    }
                }
                for (; y >= y0; --y, d += 3) {
                    CopyPixel(d, src[y] + sx);
                }
            }
        }
    }
}

void TurnFrame(Orientation orientation, const uint8_t* const* src, int w, int h,
               uint8_t* const* dst) {
    switch (orientation) {
        case Orientation::Normal:
            CopyFrameNormal(src, w, h, dst);
            break;
        case Orientation::UpsideDown:
            TurnFrameUpsideDown(src, w, h, dst);
            break;
        case Orientation::Anticlockwise:
            TurnFrameAnticlockwise(src, w, h, dst);
            break;
        case Orientation::Clockwise:
            TurnFrameClockwise(src, w, h, dst);
            break;
    }
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
    const TRowAddresses srcRows(src);
    const TRowAddresses dstRows(dst);
    TurnFrame(orientation, srcRows.rows(), w, h, dstRows.writableRows());
}

void TRowAddresses::Reserve(int height) {
    if (height > kStackRows) {
        heap_.resize(size_t(height));
        rows_ = heap_.data();
    }
}

TRowAddresses::TRowAddresses(const QImage& image) {
    Reserve(image.height());
    for (int y = 0; y < image.height(); ++y) {
        // Handed out as const by rows(); writableRows() is for the other constructor.
        rows_[y] = const_cast<uint8_t*>(image.constScanLine(y));
    }
}

TRowAddresses::TRowAddresses(QImage& image) {
    Reserve(image.height());
    for (int y = 0; y < image.height(); ++y) {
        rows_[y] = image.scanLine(y);
    }
}

double TFrameRate::FrameRate(uint32_t nowMs) {
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
    return QStringLiteral("FTr = ") + plain.toString(rate, 'f', 2) + QStringLiteral(" Img/s");
}

void TFrameRate::Reset() {
    FrameIntervals_.fill(1);
    frameCount_ = 0;
    lastTick_ = 0;
}

}  // namespace orka
