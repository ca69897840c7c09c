#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

// Where top-level windows go. Sizes here are outer sizes: the window with the frame and
// caption a window manager puts around it.

// Where a window of outer size `outer` goes so that its right and bottom edges lie one pixel
// inside the work area's.
QPoint CornerPosition(const QRect& workArea, const QSize& outer);

// Where a window of outer size `outer` goes to be centred on `area`.
QPoint CenteredPosition(const QRect& area, const QSize& outer);

// What the window manager's frame adds to a top-level window. Before the window is mapped the
// frame is unknown; the owner's frame (same window manager, same decorations) stands in for it.
QSize FrameExtra(const QWidget& window);

// The window's size with its frame.
QSize OuterSize(const QWidget& window);
