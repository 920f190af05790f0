#include "ReviewGeometry.h"

#include <algorithm>

namespace orka {

namespace {

// Origin of a span of length `span` inside [0, length) centred on c, kept
// inside; centred on the view when the picture is the shorter.
double ClampSpan(double c, double span, double length) {
    if (length <= span)
        return (length - span) / 2;
    return std::clamp(c - span / 2, 0.0, length - span);
}

bool Empty(QSizeF s) {
    return !(s.width() > 0 && s.height() > 0);
}

}  // namespace

QRectF FitRect(QSizeF picture, QSizeF view) {
    if (Empty(picture) || Empty(view))
        return {};
    const double scale =
        std::min({view.width() / picture.width(), view.height() / picture.height(), 1.0});
    const QSizeF size = picture * scale;
    return {QPointF((view.width() - size.width()) / 2, (view.height() - size.height()) / 2), size};
}

QRectF LoupeViewport(QSizeF picture, QSizeF view, QPointF centre) {
    if (Empty(picture) || Empty(view))
        return {};
    return {ClampSpan(centre.x(), view.width(), picture.width()),
            ClampSpan(centre.y(), view.height(), picture.height()), view.width(), view.height()};
}

QRectF PanViewport(QRectF viewport, QSizeF picture, QPointF delta) {
    return LoupeViewport(picture, viewport.size(), viewport.center() - delta);
}

QPointF FitToPicture(QPointF p, QSizeF picture, QRectF fit) {
    if (Empty(picture) || fit.isEmpty())
        return {};
    const double x = (p.x() - fit.left()) * picture.width() / fit.width();
    const double y = (p.y() - fit.top()) * picture.height() / fit.height();
    return {std::clamp(x, 0.0, picture.width()), std::clamp(y, 0.0, picture.height())};
}

QRectF LoupeMarker(QRectF viewport, QSizeF picture, QRectF fit) {
    if (Empty(picture) || fit.isEmpty())
        return {};
    const double sx = fit.width() / picture.width();
    const double sy = fit.height() / picture.height();
    const QRectF marker(fit.left() + viewport.left() * sx, fit.top() + viewport.top() * sy,
                        viewport.width() * sx, viewport.height() * sy);
    return marker.intersected(fit);
}

QPointF CameraToPicture(std::array<int32_t, 2> camera, QSize delivered, Orientation orientation) {
    const double w = delivered.width();
    const double h = delivered.height();
    if (w <= 0 || h <= 0)
        return {};
    // The part of the camera frame the picture covers.
    double frameW = CameraFrameWidth;
    double frameH = CameraFrameHeight;
    if (w * frameH > h * frameW)
        frameH = frameW * h / w;  // wider than the frame
    else
        frameW = frameH * w / h;
    const double x0 = (CameraFrameWidth - frameW) / 2;
    const double y0 = (CameraFrameHeight - frameH) / 2;
    const double x = std::clamp((camera[0] - x0) * w / frameW, 0.0, w);
    const double y = std::clamp((camera[1] - y0) * h / frameH, 0.0, h);
    // The turns of the live view, as PreviewToCamera undoes them.
    switch (orientation) {
        case Orientation::Normal:
            break;
        case Orientation::UpsideDown:
            return {w - x, h - y};
        case Orientation::Anticlockwise:
            return {y, w - x};
        case Orientation::Clockwise:
            return {h - y, x};
    }
    return {x, y};
}

}  // namespace orka
