#include "platform/ScreenFit.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QGuiApplication>
#include <QScreen>

TEST(ScreenFit, RectangleIsMovedAndCutIntoTheArea)
{
    const QRect area(0, 0, 1024, 568);
    // Inside already: unchanged.
    EXPECT_EQ(FitRectInto(QRect(10, 20, 300, 200), area), QRect(10, 20, 300, 200));
    // Sticking out at the right and the bottom: moved back, size kept.
    EXPECT_EQ(FitRectInto(QRect(900, 500, 300, 200), area), QRect(724, 368, 300, 200));
    // Above and left of the area: moved in.
    EXPECT_EQ(FitRectInto(QRect(-50, -30, 300, 200), area), QRect(0, 0, 300, 200));
    // Larger than the area: cut to it and moved to its left and top edges.
    EXPECT_EQ(FitRectInto(QRect(-8, -8, 1044, 680), area), QRect(0, 0, 1024, 568));
    EXPECT_EQ(FitRectInto(QRect(100, 50, 1100, 300), area), QRect(0, 50, 1024, 300));
}

TEST(ScreenFit, AreaAwayFromTheOriginAndMinimumSize)
{
    // A second screen to the right of the first, under a top panel.
    const QRect area(1024, 32, 683, 352);
    EXPECT_EQ(FitRectInto(QRect(0, 0, 400, 300), area), QRect(1024, 32, 400, 300));
    EXPECT_EQ(FitRectInto(QRect(1500, 300, 400, 300), area), QRect(1307, 84, 400, 300));
    // A window that cannot shrink enough keeps its minimum and its top-left
    // corner (with the title bar) at the area's corner.
    EXPECT_EQ(FitRectInto(QRect(1200, 200, 800, 500), area, QSize(700, 400)), QRect(1024, 32, 700, 400));
    // A minimum larger than the rectangle itself does not make it grow.
    EXPECT_EQ(FitRectInto(QRect(1100, 40, 200, 100), area, QSize(900, 900)), QRect(1100, 40, 200, 100));
    // No area to fit into: nothing to do.
    EXPECT_EQ(FitRectInto(QRect(5, 5, 10, 10), QRect()), QRect(5, 5, 10, 10));
}

TEST(ScreenFit, ShownWindowWithItsFrameIsKeptOnItsScreen)
{
    QDialog d;
    d.resize(3000, 2000);
    d.move(500, 400);
    d.show();
    const QRect area = d.screen()->availableGeometry();
    FitWindowToScreen(&d);
    EXPECT_TRUE(area.contains(d.frameGeometry())) << d.frameGeometry().x() << "," << d.frameGeometry().y();
    EXPECT_EQ(d.frameGeometry().topLeft(), area.topLeft());
    // The frame is counted: the client area is smaller than the screen by it.
    const QMargins m = WindowFrameMargins(&d);
    EXPECT_EQ(d.size(), area.size().shrunkBy(m));

    // Already on the screen: left where it is.
    d.resize(200, 100);
    d.move(area.left() + 30, area.top() + 40);
    const QRect before = d.frameGeometry();
    EXPECT_FALSE(FitWindowToScreen(&d));
    EXPECT_EQ(d.frameGeometry(), before);

    // Widgets that are not windows are not touched.
    QWidget child(&d);
    child.setGeometry(-100, -100, 5000, 5000);
    EXPECT_FALSE(FitWindowToScreen(&child));
    EXPECT_EQ(child.geometry(), QRect(-100, -100, 5000, 5000));
}

TEST(ScreenFit, MaximisedWindowIsLeftToTheWindowSystem)
{
    QWidget w;
    w.resize(300, 200);
    w.showMaximized();
    const QRect before = w.geometry();
    EXPECT_FALSE(FitWindowToScreen(&w));
    EXPECT_EQ(w.geometry(), before);
}
