// The detection-rectangle editor: drawing, hit zones, dragging, clamping.
#include "UtilsOrka.h"

#include <gtest/gtest.h>

using namespace orka;

namespace {

const QSize kBounds(320, 240);

void Drag(TRoiState& roi, QPoint from, QPoint to, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    RoiMouseDown(roi, kBounds, from.x(), from.y());
    RoiMouseMove(roi, Qt::LeftButton, mods, to.x(), to.y());
}

TRoiState Drawn(QPoint a, QPoint b) {
    TRoiState roi;
    Drag(roi, a, b);
    EXPECT_TRUE(RoiMouseUp(roi));
    return roi;
}

TEST(RoiEditor, DragFromLowerRightNormalisesOnRelease) {
    TRoiState roi = Drawn({200, 150}, {50, 40});
    EXPECT_EQ(roi.Corner1, QPoint(50, 40));
    EXPECT_EQ(roi.Corner2, QPoint(200, 150));
    EXPECT_EQ(roi.MinCorner, QPoint(50, 40));
    EXPECT_EQ(roi.MaxCorner, QPoint(200, 150));
    EXPECT_EQ(roi.Size, QSize(150, 110));
}

TEST(RoiEditor, ClickWithoutDragLeavesNoRectangle) {
    TRoiState roi = Drawn({10, 10}, {100, 100});
    RoiMouseMove(roi, Qt::NoButton, Qt::NoModifier, 200, 200);  // away from it
    RoiMouseDown(roi, kBounds, 200, 200);
    EXPECT_FALSE(roi.Exists);
    EXPECT_FALSE(RoiMouseUp(roi));
    Drag(roi, {5, 5}, {5, 90});  // zero width
    EXPECT_FALSE(RoiMouseUp(roi));
}

TEST(RoiEditor, CornersClampToTheImage) {
    TRoiState roi;
    Drag(roi, {100, 100}, {400, -10});
    EXPECT_EQ(roi.Corner2, QPoint(320, 0));
    RoiMouseMove(roi, Qt::LeftButton, Qt::NoModifier, -5, 500);
    EXPECT_EQ(roi.Corner2, QPoint(0, 240));
}

TEST(RoiEditor, MovingAgainstABorderKeepsTheSize) {
    TRoiState roi = Drawn({50, 40}, {200, 150});
    EXPECT_EQ(RoiMouseMove(roi, Qt::NoButton, Qt::NoModifier, 100, 100), Qt::DragMoveCursor);
    RoiMouseDown(roi, kBounds, 100, 100);
    RoiMouseMove(roi, Qt::LeftButton, Qt::NoModifier, -100, 60);
    EXPECT_EQ(roi.Corner1, QPoint(0, 0));
    EXPECT_EQ(roi.Corner2, QPoint(150, 110));
    RoiMouseMove(roi, Qt::LeftButton, Qt::ControlModifier, 600, 400);
    EXPECT_EQ(roi.Corner1, QPoint(170, 130));
    EXPECT_EQ(roi.Corner2, QPoint(320, 240));
    ASSERT_TRUE(RoiMouseUp(roi));
    EXPECT_EQ(roi.Size, QSize(150, 110));
}

TEST(RoiEditor, HitZonesInPriorityOrder) {
    TRoiState roi = Drawn({10, 10}, {100, 60});
    struct Case {
        int x, y;
        TRoiZone zone;
        Qt::CursorShape cursor;
    } const cases[] = {
        {50, 30, rzMove, Qt::DragMoveCursor},       {13, 30, rzMove, Qt::DragMoveCursor},
        {50, 10, rzTop, Qt::SizeVerCursor},         {50, 62, rzBottom, Qt::SizeVerCursor},
        {12, 30, rzLeft, Qt::SizeHorCursor},        {101, 30, rzRight, Qt::SizeHorCursor},
        {11, 11, rzTopLeft, Qt::SizeFDiagCursor},   {100, 8, rzTopRight, Qt::SizeBDiagCursor},
        {8, 62, rzBottomLeft, Qt::SizeBDiagCursor}, {102, 58, rzBottomRight, Qt::SizeFDiagCursor},
        {14, 11, rzTop, Qt::SizeVerCursor},         {50, 13, rzMove, Qt::DragMoveCursor},
        {200, 200, rzNone, Qt::ArrowCursor},        {50, 7, rzNone, Qt::ArrowCursor},
    };
    for (const Case& c : cases) {
        const RoiHit hit = RoiHitTest(roi, c.x, c.y);
        EXPECT_EQ(hit.zone, c.zone) << c.x << "," << c.y;
        EXPECT_EQ(hit.cursor, c.cursor) << c.x << "," << c.y;
    }
}

TEST(RoiEditor, EdgesAndCornersFollowTheDrag) {
    TRoiState roi = Drawn({10, 10}, {100, 60});
    RoiMouseMove(roi, Qt::NoButton, Qt::NoModifier, 101, 30);  // right edge
    RoiMouseDown(roi, kBounds, 101, 30);
    RoiMouseMove(roi, Qt::LeftButton, Qt::NoModifier, 5, 200);  // across the left edge
    EXPECT_EQ(roi.Corner1, QPoint(10, 10));
    EXPECT_EQ(roi.Corner2, QPoint(5, 60));
    ASSERT_TRUE(RoiMouseUp(roi));
    EXPECT_EQ(roi.Corner1, QPoint(5, 10));
    EXPECT_EQ(roi.Corner2, QPoint(10, 60));

    RoiMouseMove(roi, Qt::NoButton, Qt::NoModifier, 10, 10);  // top right corner
    RoiMouseDown(roi, kBounds, 10, 10);
    RoiMouseMove(roi, Qt::LeftButton, Qt::NoModifier, 80, 20);
    EXPECT_EQ(roi.Corner1, QPoint(5, 20));
    EXPECT_EQ(roi.Corner2, QPoint(80, 60));
}

TEST(RoiEditor, OnlyLeftButtonAloneOrWithCtrlDrags) {
    TRoiState roi;
    RoiMouseDown(roi, kBounds, 10, 10);
    RoiMouseMove(roi, Qt::LeftButton, Qt::ShiftModifier, 50, 50);
    RoiMouseMove(roi, Qt::RightButton, Qt::NoModifier, 60, 60);
    EXPECT_EQ(roi.Corner2, QPoint(10, 10));
    // A hover changes no zone while there is no rectangle.
    EXPECT_FALSE(RoiMouseMove(roi, Qt::NoButton, Qt::NoModifier, 10, 10).has_value());
}

TEST(RoiEditor, ResetForgetsTheGrabbedZone) {
    TRoiState roi = Drawn({10, 10}, {100, 60});
    RoiMouseMove(roi, Qt::NoButton, Qt::NoModifier, 50, 30);  // inside: rzMove
    RoiReset(roi);
    Drag(roi, {30, 30}, {60, 70});
    ASSERT_TRUE(RoiMouseUp(roi));
    EXPECT_EQ(roi.Corner1, QPoint(30, 30));
    EXPECT_EQ(roi.Corner2, QPoint(60, 70));
}

}  // namespace
