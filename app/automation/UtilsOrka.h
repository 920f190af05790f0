// Small routines the main window shares: the camera summary line, the range
// check and digit filter of the numeric edit boxes (NumericEdit.h gives the
// boxes that behaviour), the focus-point and spot-metering markers drawn over
// the live view, and the editor of the detection rectangle (R.O.I.).
#pragma once

#include "fotolien.h"

#include <QObject>
#include <QPoint>
#include <QSize>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

class QPainter;

namespace orka {

// ---- Camera summary -------------------------------------------------------

// "100 ISO - 1/160 - F/5,6 - P - AF": sensitivity, shutter speed, aperture,
// exposure program and focus mode of a status record. A code outside its
// table shows "--- ISO" (sensitivity) or "---"; an unknown program or focus
// mode shows an empty item.
QString FormatCameraInfo(const CameraStatusData& status);

// ---- Numeric edit boxes ---------------------------------------------------

// Accepted range and default of a numeric edit box.
struct EditRange {
    int low;
    int high;
    int def;
};

inline constexpr EditRange RetDeclRange{1, 120, 2};        // self-timer, s
inline constexpr EditRange eNbImgTRange{2, 1000, 2};       // total shots
inline constexpr EditRange eDepImgRange{0, 60, 0};         // start delay, min
inline constexpr EditRange eInterImgRange{5, 86400, 10};   // interval, s
inline constexpr EditRange eDureeVideoRange{0, 99999, 0};  // video length, s (0 = no limit)
inline constexpr EditRange eDepVideoRange{0, 60, 0};       // video start delay, min
inline constexpr EditRange eDFocRange{28, 200, 50};        // focal length, mm

struct EditRangeResult {
    enum Outcome { Accepted, OutOfRange, NotANumber };
    Outcome outcome;
    // The value to store: the number when accepted, the default when out of
    // range; unused when the text is not a number (the setting keeps its value).
    int value;
    // The text of the warning (out of range) or error (not a number).
    QString message;
};

// The rule applied to a numeric box's text once the user has stopped typing.
EditRangeResult ReadEditInRange(const QString& text, int low, int high, int def);
inline EditRangeResult ReadEditInRange(const QString& text, EditRange r) {
    return ReadEditInRange(text, r.low, r.high, r.def);
}

struct DigitFilterResult {
    QString text;
    int caret;
    bool changed;
};

// The character filter of the numeric boxes, run on every change: when the
// character just before the caret is not a digit it is deleted and the caret
// put back (at the old caret when the text became shorter than it, else one
// place and the selection length to the left). Only that one character is
// examined.
DigitFilterResult eNbImgTChange(const QString& text, int caret, int selectionLength);

// ---- Live-view markers ----------------------------------------------------

// Four white L-shaped brackets, 2 px thick with 5 px arms, around (x, y),
// leaving a 4 x 4 gap around the point.
void DrawFocusMarker(QPainter& painter, int x, int y);

// A circle of radius 20 around (x, y) that inverts the pixels under it; a
// second call at the same point restores them. Needs a raster paint device
// (QImage).
void DrawSpotCircle(QPainter& painter, int x, int y);

// ---- Detection rectangle editor -------------------------------------------

enum TRoiZone : uint8_t {
    rzNone = 0,
    rzMove = 1,
    rzTopLeft = 2,
    rzTopRight = 3,
    rzBottomRight = 4,
    rzBottomLeft = 5,
    rzTop = 6,
    rzRight = 7,
    rzBottom = 8,
    rzLeft = 9,
};

// The one rectangle being edited, in the pixels of the displayed preview.
struct TRoiState {
    QSize Bounds;      // size of the image the rectangle lives on
    QPoint Corner1;    // after a release: top left
    QPoint Corner2;    // after a release: bottom right
    QPoint MinCorner;  // normalised rectangle of the last release
    QPoint MaxCorner;
    QSize Size;        // |MaxCorner - MinCorner|, kept while moving
    QPoint LastPoint;  // mouse position at the previous move step
    bool Exists = false;
    TRoiZone Zone = rzNone;
};

struct RoiHit {
    TRoiZone zone;
    Qt::CursorShape cursor;
};

// A press at (x, y) on an image of the given size: grabs the rectangle when the
// last hover found it under the mouse, else discards it and starts a new one.
void RoiMouseDown(TRoiState& roi, QSize bounds, int x, int y);

// A move to (x, y). Hovering (no button, no modifier) over an existing
// rectangle updates Zone and returns the cursor to show. Dragging with the
// left button, alone or with Ctrl, moves the rectangle, one edge or corner, or
// the free corner of a new one, then clamps to the image. Returns nullopt when
// the cursor is to stay as it is.
std::optional<Qt::CursorShape> RoiMouseMove(TRoiState& roi, Qt::MouseButtons buttons,
                                            Qt::KeyboardModifiers modifiers, int x, int y);

// The zone and cursor under (x, y); a value is near a when |value - a| < 3.
RoiHit RoiHitTest(const TRoiState& roi, int x, int y);

// Keeps both corners inside the image; a rectangle being moved keeps its size.
void RoiClamp(TRoiState& roi);

// The release: normalises the corners (Corner1 top left, Corner2 bottom right)
// and returns whether a rectangle of non-zero width and height exists.
bool RoiMouseUp(TRoiState& roi);

// Loads a stored rectangle (preview-size change): both corner pairs and Size.
void RoiSetCorners(TRoiState& roi, QPoint minCorner, QPoint maxCorner);

// No rectangle: corners and size zero, nothing grabbed.
void RoiReset(TRoiState& roi);

// Outline of the rectangle from its raw corners: dotted and inverting, so
// that it shows on any picture. Needs a raster paint device (QImage).
void DrawRoiRectangle(QPainter& painter, const TRoiState& roi);

}  // namespace orka
