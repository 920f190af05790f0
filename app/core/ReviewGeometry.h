// Geometry of the review of a picture: where the fitted picture sits in the
// view, the part of the picture a 100 % view shows (the loupe) and how a drag
// pans it, the loupe's marker on the fitted picture, and where the focus
// point of the shot lies on the picture.
//
// Coordinates: view points in the view's pixels; picture points in the
// pixels of the picture as displayed (turned as the live view is), with
// (0, 0) its top left corner and (w, h) its bottom right one. Pure functions.
#pragma once

#include <QPointF>
#include <QRectF>
#include <QSize>
#include <QSizeF>

#include <array>
#include <cstdint>

#include "LiveViewMath.h"

namespace orka {

// The rectangle of the view the picture fills when fitted: the largest that
// keeps its proportions, centred, but never larger than the picture itself
// (a small picture is shown at 100 %). Empty for an empty picture or view.
QRectF FitRect(QSizeF picture, QSizeF view);

// The part of the picture a view of viewSize shows at 100 %, centred on the
// picture point centre as far as the picture allows: the rectangle stays
// inside the picture; along a side where the picture is smaller than the
// view it is the whole side, centred on the view (its origin then negative).
QRectF LoupeViewport(QSizeF picture, QSizeF view, QPointF centre);

// The viewport after the mouse was dragged by delta view pixels: the picture
// follows the mouse, within the same bounds as LoupeViewport.
QRectF PanViewport(QRectF viewport, QSizeF picture, QPointF delta);

// The picture point under view point p of the fitted picture, clamped to
// the picture.
QPointF FitToPicture(QPointF p, QSizeF picture, QRectF fit);

// The view rectangle of the fit view that shows the viewport: the loupe's
// marker, clipped to the fitted picture.
QRectF LoupeMarker(QRectF viewport, QSizeF picture, QRectF fit);

// The point of the displayed picture where a camera frame point (the focus
// point of the shot, in the camera's 3264 x 2448 frame) lies, for a picture
// delivered as delivered.width() x delivered.height() and displayed turned as
// orientation says. A picture of other proportions than the frame is taken
// as the centred part of the frame with its proportions (a 3:2 picture drops
// the top and bottom of the 4:3 frame); a point outside that part is clamped
// to the picture's edge.
QPointF CameraToPicture(std::array<int32_t, 2> camera, QSize delivered, Orientation orientation);

}  // namespace orka
