#include "Detection.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace orka {

namespace {

RoiBox Scale(const RoiBox& b, long double factor) {
    // nearbyint rounds in the current mode, to nearest with ties to even.
    const auto r = [factor](int v) { return int(std::nearbyint(v * factor)); };
    return {r(b.x1), r(b.y1), r(b.x2), r(b.y2)};
}

RoiBox Divide(const RoiBox& b, long double divisor) {
    const auto r = [divisor](int v) { return int(std::nearbyint(v / divisor)); };
    return {r(b.x1), r(b.y1), r(b.x2), r(b.y2)};
}

}  // namespace

RoiBox RoiSmallToLarge(const RoiBox& small) {
    return Scale(small, 1.7L);
}
RoiBox RoiSmallToThumb(const RoiBox& small) {
    return Divide(small, 2.5L);
}
RoiBox RoiLargeToSmall(const RoiBox& large) {
    return Divide(large, 1.7L);
}
RoiBox RoiLargeToThumb(const RoiBox& large) {
    return Divide(large, 4.25L);
}

RoiStore StoreRoi(const RoiBox& box, bool large) {
    if (large) {
        return {RoiLargeToSmall(box), box, RoiLargeToThumb(box)};
    }
    return {box, RoiSmallToLarge(box), RoiSmallToThumb(box)};
}

QRect RoiThumbArea(QSize displayed) {
    if (displayed.width() > displayed.height()) {
        return QRect(0, 16, 128, 96);
    }
    return QRect(16, 0, 96, 128);
}

void DrawRoiThumbnail(QImage& thumbnail, const QImage& displayed, const RoiBox& roiThumb,
                      const QColor& shadow) {
    if (thumbnail.size() != QSize(128, 128)) {
        thumbnail = QImage(128, 128, QImage::Format_RGB32);
    }
    thumbnail.fill(shadow);
    const QRect area = RoiThumbArea(displayed.size());
    QPainter p(&thumbnail);
    p.drawImage(area, displayed);
    p.setPen(QPen(Qt::white, 0));
    p.setBrush(Qt::NoBrush);
    const int w = roiThumb.width();
    const int h = roiThumb.height();
    if (w > 0 && h > 0) {
        // The outline covers the rectangle's own pixels: columns x1..x2-1.
        p.drawRect(QRect(area.left() + roiThumb.x1, area.top() + roiThumb.y1, w - 1, h - 1));
    }
}

RoiBox RoiToFrame(const RoiBox& d, Orientation orientation, int w, int h) {
    RoiBox f = d;
    switch (orientation) {
        case Orientation::Normal:
            break;
        case Orientation::UpsideDown:
            f = {w - d.x2, h - d.y2, w - d.x1, h - d.y1};
            break;
        case Orientation::Anticlockwise:
            // Displayed (X, Y) shows frame pixel (w-1-Y, X).
            f = {w - d.y2, d.x1, w - d.y1, d.x2};
            break;
        case Orientation::Clockwise:
            // Displayed (X, Y) shows frame pixel (Y, h-1-X).
            f = {d.y1, h - d.x2, d.y2, h - d.x1};
            break;
    }
    f.x1 = std::clamp(f.x1, 0, std::max(w, 0));
    f.x2 = std::clamp(f.x2, 0, std::max(w, 0));
    f.y1 = std::clamp(f.y1, 0, std::max(h, 0));
    f.y2 = std::clamp(f.y2, 0, std::max(h, 0));
    return f;
}

bool MotionTriggers(int measure, int threshold, bool detectEventDown, bool scheduleAllows) {
    return scheduleAllows && detectEventDown && measure > threshold;
}

MotionDetector::MotionDetector() = default;

void MotionDetector::SetRectangle(const RoiBox& frameBox) {
    box_ = {std::min(frameBox.x1, frameBox.x2), std::min(frameBox.y1, frameBox.y2),
            std::max(frameBox.x1, frameBox.x2), std::max(frameBox.y1, frameBox.y2)};
    ResizeDetectionBuffers(box_.width() * box_.height());
}

void MotionDetector::ResizeDetectionBuffers(int n) {
    n = std::max(n, 0);
    roiLuma_.resize(size_t(n));
    blockSums_[0].resize(size_t(n / 9));
    blockSums_[1].resize(size_t(n / 9));
    blockDiffs_.resize(size_t(n / 9));
}

MotionResult MotionDetector::DetectMotion() {
    const int w = box_.width();
    const int h = box_.height();
    std::vector<int32_t>& current = blockSums_[current_];
    const std::vector<int32_t>& previous = blockSums_[current_ ^ 1];

    // Block sums over 3 x 3 cells; a remainder of one or two columns or rows
    // is not used. The buffers always hold w x h values after SetRectangle;
    // the guard keeps a mismatched resize from reading past them.
    const int bw = w / 3;
    const int bh = h / 3;
    if (size_t(w) * size_t(h) <= roiLuma_.size() && size_t(bw) * size_t(bh) <= current.size()) {
        for (int by = 0; by < bh; ++by) {
            const int32_t* r0 = roiLuma_.data() + size_t(3 * by) * size_t(w);
            const int32_t* r1 = r0 + w;
            const int32_t* r2 = r1 + w;
            int32_t* out = current.data() + size_t(by) * size_t(bw);
            for (int bx = 0; bx < bw; ++bx) {
                const int c = 3 * bx;
                out[bx] = r0[c] + r0[c + 1] + r0[c + 2] + r1[c] + r1[c + 1] + r1[c + 2] + r2[c] +
                          r2[c + 1] + r2[c + 2];
            }
        }
    }

    // The differences are whole numbers: their sum and sum of squares are
    // kept exactly, so the sample deviation below is exact up to the final
    // division and square root in extended precision.
    const size_t n = blockDiffs_.size();
    int64_t sum = 0;
    int64_t squares = 0;
    for (size_t k = 0; k < n; ++k) {
        const int64_t d = int64_t(current[k]) - previous[k];
        blockDiffs_[k] = double(d);
        sum += d;
        squares += d * d;
    }
    const long double average = (history_[0] + history_[1] + history_[2] + history_[3]) / 4;
    lastAverage_ = average;
    if (n == 0) {
        return {0, false};
    }

    long double sd;
    if (n == 1) {
        sd = blockDiffs_[0];
    } else {
        // sum((d - mean)^2) / (n - 1) = (n * sum(d^2) - sum(d)^2) / (n * (n - 1))
        const __int128 spread = __int128(n) * squares - __int128(sum) * sum;
        sd = std::sqrt(static_cast<long double>(spread) /
                       (static_cast<long double>(n) * static_cast<long double>(n - 1)));
    }

    if (justTriggered_) {
        justTriggered_ = false;
        return {0, false};
    }
    history_[historyCount_ % 4] = sd;
    ++historyCount_;
    // nearbyint rounds in the current mode, to nearest with ties to even.
    return {int(std::nearbyint(std::fabs(sd - average))), true};
}

void MotionDetector::NoteTrigger() {
    justTriggered_ = true;
    history_.fill(lastAverage_);
}

void MotionDetector::ResetHistory() {
    history_.fill(0);
    historyCount_ = 0;
    lastAverage_ = 0;
    justTriggered_ = false;
}

}  // namespace orka
