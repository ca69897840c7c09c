#pragma once

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

// Where top-level windows go. Outer sizes and frame positions include the frame and caption a
// window manager puts around a window.

// Positions and sizes are in the toolkit's units, unrounded: at a scale factor above 1 a frame
// of one pixel is a fraction of a unit.

// Where a window of outer size `outer` goes so that its right and bottom edges lie one pixel
// (`pixel` units) inside the work area's.
QPointF CornerPosition(const QRectF& workArea, const QSizeF& outer, qreal pixel = 1);

// Where a window of outer size `outer` goes to be centred on `area`.
QPointF CenteredPosition(const QRectF& area, const QSizeF& outer);

// The frame as the toolkit counts it, rounded to its units: none until it has learnt it.
QMargins ToolkitFrameMargins(const QWidget& window);

// The window manager's frame around a top-level window. Before the window is mapped the frame
// is unknown; the owner's frame (same window manager, same decorations) stands in for it.
QMarginsF FrameMargins(const QWidget& window);

// The window's size with its frame.
QSizeF OuterSize(const QWidget& window);

// Moves the window so that its frame's top-left corner lies at `framePosition`, also while the
// frame is still a guess.
void MoveFrameTo(QWidget& window, const QPointF& framePosition);
