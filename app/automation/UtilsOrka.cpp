#include "UtilsOrka.h"

#include "InterfaceOrka.h"

#include <QCoreApplication>
#include <QPainter>

#include <algorithm>
#include <cstdlib>

namespace orka {

// ---- Camera summary -------------------------------------------------------

QString FormatCameraInfo(const CameraStatusData& status) {
    static const QString kSeparator = QStringLiteral(" - ");
    static const QString kNoIso = QStringLiteral("--- ISO");
    static const QString kNone = QStringLiteral("---");
    static const QString kPrograms[] = {QStringLiteral("P"), QStringLiteral("A"),
                                        QStringLiteral("S"), QStringLiteral("M")};
    static const QString kFocus[] = {QStringLiteral("AF"), QStringLiteral("MF")};

    const QStringList& iso = InterfaceOrka::IsoTexts();
    const QStringList& shutter = InterfaceOrka::ShutterTexts();
    const QStringList& aperture = InterfaceOrka::ApertureTexts();

    QString text;
    text.reserve(48);
    text += status.sensitivity >= 0 && status.sensitivity < iso.size() ? iso[status.sensitivity]
                                                                       : kNoIso;
    text += kSeparator;
    text += status.shutterSpeed >= 1 && status.shutterSpeed <= shutter.size()
                ? LocalFigures(shutter[status.shutterSpeed - 1])
                : kNone;
    text += kSeparator;
    text += status.aperture >= 0 && status.aperture < aperture.size()
                ? LocalFigures(aperture[status.aperture])
                : kNone;
    text += kSeparator;
    if (status.exposureProgram >= 0 && status.exposureProgram < 4) {
        text += kPrograms[status.exposureProgram];
    }
    text += kSeparator;
    if (status.focusMode == 0 || status.focusMode == 1) {
        text += kFocus[status.focusMode];
    }
    return text;
}

// ---- Numeric edit boxes ---------------------------------------------------

EditRangeResult ReadEditInRange(const QString& text, int low, int high, int def) {
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok) {
        return {
            EditRangeResult::NotANumber, 0,
            QCoreApplication::translate("UtilsOrka", "'%1' n'est pas une valeur entière correcte")
                .arg(text)};
    }
    if (value >= low && value <= high) {
        return {EditRangeResult::Accepted, value, QString()};
    }
    return {
        EditRangeResult::OutOfRange, def,
        QCoreApplication::translate("UtilsOrka", "%1 n'est pas dans l'intervalle spécifié %2..%3")
            .arg(value)
            .arg(low)
            .arg(high)};
}

DigitFilterResult eNbImgTChange(const QString& text, int caret, int selectionLength) {
    if (caret <= 0 || caret > text.size()) {
        return {text, caret, false};
    }
    const QChar before = text[caret - 1];
    if (before >= QLatin1Char('0') && before <= QLatin1Char('9')) {
        return {text, caret, false};
    }
    QString filtered = text;
    filtered.remove(caret - 1, 1);
    int newCaret = filtered.size() < caret ? caret : caret - selectionLength - 1;
    // The caret can never stand before the start or past the end of the text.
    newCaret = std::clamp(newCaret, 0, int(filtered.size()));
    return {filtered, newCaret, true};
}

// ---- Live-view markers ----------------------------------------------------

void DrawFocusMarker(QPainter& painter, int x, int y) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    // Upper right, upper left, lower left, lower right.
    static constexpr int kDirections[4][2] = {{1, -1}, {-1, -1}, {-1, 1}, {1, 1}};
    for (const auto& d : kDirections) {
        const int dx = d[0];
        const int dy = d[1];
        const QPoint bracket[6] = {{x + 2 * dx, y + 2 * dy}, {x + 7 * dx, y + 2 * dy},
                                   {x + 7 * dx, y + 4 * dy}, {x + 4 * dx, y + 4 * dy},
                                   {x + 4 * dx, y + 7 * dy}, {x + 2 * dx, y + 7 * dy}};
        painter.drawPolygon(bracket, 6);
    }
    painter.restore();
}

void DrawSpotCircle(QPainter& painter, int x, int y) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setCompositionMode(QPainter::RasterOp_NotDestination);
    painter.setPen(QPen(Qt::black, 0, Qt::SolidLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QPoint(x, y), 20, 20);
    painter.restore();
}

// ---- Detection rectangle editor -------------------------------------------

void RoiMouseDown(TRoiState& roi, QSize bounds, int x, int y) {
    roi.Bounds = bounds;
    if (roi.Exists && roi.Zone == rzNone) {
        roi.Exists = false;
    }
    if (roi.Exists) {
        roi.LastPoint = QPoint(x, y);
    } else {
        roi.Corner1 = roi.Corner2 = QPoint(x, y);
        // A zone of the rectangle that is gone must not steer the new one.
        roi.Zone = rzNone;
    }
}

RoiHit RoiHitTest(const TRoiState& roi, int x, int y) {
    const int x1 = roi.Corner1.x();
    const int y1 = roi.Corner1.y();
    const int x2 = roi.Corner2.x();
    const int y2 = roi.Corner2.y();
    const auto near = [](int v, int a) { return std::abs(v - a) < 3; };

    RoiHit hit{rzNone, Qt::ArrowCursor};
    // Later tests override earlier ones: corners win over edges, edges over
    // the inside.
    if (x1 + 2 < x && x < x2 - 2 && y1 + 2 < y && y < y2 - 2) {
        hit = {rzMove, Qt::DragMoveCursor};
    }
    if (x1 + 3 < x && x < x2 - 3 && near(y, y1)) {
        hit = {rzTop, Qt::SizeVerCursor};
    }
    if (x1 + 3 < x && x < x2 - 3 && near(y, y2)) {
        hit = {rzBottom, Qt::SizeVerCursor};
    }
    if (y1 + 3 < y && y < y2 - 3 && near(x, x1)) {
        hit = {rzLeft, Qt::SizeHorCursor};
    }
    if (y1 + 3 < y && y < y2 - 3 && near(x, x2)) {
        hit = {rzRight, Qt::SizeHorCursor};
    }
    if (near(x, x1) && near(y, y1)) {
        hit = {rzTopLeft, Qt::SizeFDiagCursor};
    }
    if (near(x, x2) && near(y, y1)) {
        hit = {rzTopRight, Qt::SizeBDiagCursor};
    }
    if (near(x, x1) && near(y, y2)) {
        hit = {rzBottomLeft, Qt::SizeBDiagCursor};
    }
    if (near(x, x2) && near(y, y2)) {
        hit = {rzBottomRight, Qt::SizeFDiagCursor};
    }
    return hit;
}

std::optional<Qt::CursorShape> RoiMouseMove(TRoiState& roi, Qt::MouseButtons buttons,
                                            Qt::KeyboardModifiers modifiers, int x, int y) {
    constexpr Qt::KeyboardModifiers kKeys =
        Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    const Qt::KeyboardModifiers keys = modifiers & kKeys;

    std::optional<Qt::CursorShape> cursor;
    if (roi.Exists && buttons == Qt::NoButton && keys == Qt::NoModifier) {
        const RoiHit hit = RoiHitTest(roi, x, y);
        roi.Zone = hit.zone;
        cursor = hit.cursor;
    }
    if (buttons == Qt::LeftButton && (keys == Qt::NoModifier || keys == Qt::ControlModifier)) {
        if (roi.Exists) {
            switch (roi.Zone) {
                case rzMove:
                    roi.Corner1 += QPoint(x, y) - roi.LastPoint;
                    roi.Corner2 += QPoint(x, y) - roi.LastPoint;
                    roi.LastPoint = QPoint(x, y);
                    break;
                case rzTopLeft:
                    roi.Corner1 = QPoint(x, y);
                    break;
                case rzTop:
                    roi.Corner1.setY(y);
                    break;
                case rzTopRight:
                    roi.Corner2.setX(x);
                    roi.Corner1.setY(y);
                    break;
                case rzBottomRight:
                    roi.Corner2 = QPoint(x, y);
                    break;
                case rzBottomLeft:
                    roi.Corner1.setX(x);
                    roi.Corner2.setY(y);
                    break;
                case rzBottom:
                    roi.Corner2.setY(y);
                    break;
                case rzRight:
                    roi.Corner2.setX(x);
                    break;
                case rzLeft:
                    roi.Corner1.setX(x);
                    break;
                case rzNone:
                    break;
            }
        } else {
            roi.Corner2 = QPoint(x, y);
        }
        RoiClamp(roi);
    }
    return cursor;
}

namespace {

// One axis of RoiClamp: c1, c2 the corner coordinates, limit the image size,
// size the rectangle's size on this axis.
void ClampAxis(int& c1, int& c2, int limit, int size, bool moving) {
    if (c1 < 0) {
        if (moving) {
            c2 = size;
        }
        c1 = 0;
    } else if (c1 > limit) {
        c1 = limit;
    }
    if (c2 < 0) {
        c2 = 0;
    } else if (c2 > limit) {
        if (moving) {
            c1 = limit - size;
        }
        c2 = limit;
    }
}

}  // namespace

void RoiClamp(TRoiState& roi) {
    const bool moving = roi.Zone == rzMove;
    int x1 = roi.Corner1.x();
    int y1 = roi.Corner1.y();
    int x2 = roi.Corner2.x();
    int y2 = roi.Corner2.y();
    // Corner1.x, Corner1.y, Corner2.x, Corner2.y in turn: the axes are
    // independent, so clamping x fully before y gives the same corners.
    ClampAxis(x1, x2, roi.Bounds.width(), roi.Size.width(), moving);
    ClampAxis(y1, y2, roi.Bounds.height(), roi.Size.height(), moving);
    roi.Corner1 = QPoint(x1, y1);
    roi.Corner2 = QPoint(x2, y2);
}

bool RoiMouseUp(TRoiState& roi) {
    const int x1 = roi.Corner1.x();
    const int y1 = roi.Corner1.y();
    const int x2 = roi.Corner2.x();
    const int y2 = roi.Corner2.y();
    roi.MinCorner = QPoint(std::max(0, std::min(x1, x2)), std::max(0, std::min(y1, y2)));
    roi.MaxCorner = QPoint(std::min(std::max(x1, x2), roi.Bounds.width()),
                           std::min(std::max(y1, y2), roi.Bounds.height()));
    roi.Size = QSize(std::abs(roi.MaxCorner.x() - roi.MinCorner.x()),
                     std::abs(roi.MaxCorner.y() - roi.MinCorner.y()));
    roi.Corner1 = roi.MinCorner;
    roi.Corner2 = roi.MaxCorner;
    roi.Exists = roi.MinCorner.x() != roi.MaxCorner.x() && roi.MinCorner.y() != roi.MaxCorner.y();
    return roi.Exists;
}

void RoiSetCorners(TRoiState& roi, QPoint minCorner, QPoint maxCorner) {
    roi.MinCorner = roi.Corner1 = minCorner;
    roi.MaxCorner = roi.Corner2 = maxCorner;
    roi.Size =
        QSize(std::abs(maxCorner.x() - minCorner.x()), std::abs(maxCorner.y() - minCorner.y()));
}

void RoiReset(TRoiState& roi) {
    roi.Corner1 = roi.Corner2 = roi.MinCorner = roi.MaxCorner = QPoint(0, 0);
    roi.Size = QSize(0, 0);
    roi.Exists = false;
    roi.Zone = rzNone;
}

void DrawRoiRectangle(QPainter& painter, const TRoiState& roi) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    // (not pen) xor destination with a black pen inverts what lies under it.
    painter.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
    painter.setPen(QPen(Qt::black, 0, Qt::DotLine));
    painter.setBrush(Qt::NoBrush);
    const int left = std::min(roi.Corner1.x(), roi.Corner2.x());
    const int right = std::max(roi.Corner1.x(), roi.Corner2.x());
    const int top = std::min(roi.Corner1.y(), roi.Corner2.y());
    const int bottom = std::max(roi.Corner1.y(), roi.Corner2.y());
    if (right > left && bottom > top) {
        // The outline covers columns left..right-1 and rows top..bottom-1,
        // the pixels of the rectangle itself.
        painter.drawRect(QRect(left, top, right - left - 1, bottom - top - 1));
    }
    painter.restore();
}

}  // namespace orka
