#pragma once
// Keeping top-level windows on the screen: a window, its frame and title bar
// included, is moved and if need be shrunk into the part of its screen that
// windows may use (the screen less panels and docks). Nothing here centres a
// window; a window placed by its owner is only corrected when it sticks out.
#include <QMargins>
#include <QRect>
#include <QSize>

class QApplication;
class QWidget;

// `frame` moved into `area`, and shrunk to the area's size where it is
// larger, but never below `minimum`. A rectangle that cannot shrink enough
// keeps its top-left corner at the area's top-left corner, so that the
// title bar stays within reach. A rectangle already inside comes back as it
// is. An empty area leaves the rectangle unchanged.
QRect FitRectInto(const QRect& frame, const QRect& area, const QSize& minimum = QSize(0, 0));

// The margins the window system puts around a top-level window (title bar
// and borders). When the window system has not told them yet (on X11 that
// is before the window is first mapped), the margins of another visible
// window of the program stand in, and failing that an estimate of a usual
// title bar. Null for a widget that is not a window.
QMargins WindowFrameMargins(const QWidget* window);

// Fits a top-level window with its frame into the available area of the
// screen it is on (the screen under its centre). Maximised, full-screen and
// minimised windows, and widgets that are not windows, are left alone.
// Returns whether the window was moved or resized.
bool FitWindowToScreen(QWidget* window);

// Fits every top-level window of the application (dialogs, message boxes,
// tool windows) each time it is shown, and once more when the window system
// first reports the real size of its frame. Pop-ups and tool tips, which Qt
// places itself, are left alone. Call once, after the application object
// exists.
void InstallWindowFitting(QApplication& app);
