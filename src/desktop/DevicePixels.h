#pragma once

#include "puzzle/Bitmap.h"

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>

class QPainter;
class QWidget;

// Device pixels are the screen's own; the toolkit's units are device pixels divided by the
// scale factor. The board and the thumbnail are drawn pixel for pixel in device pixels, so
// that the picture stays sharp at every scale factor.

qreal DeviceRatio(const QWidget& widget);

// The widget's size in device pixels.
QSize DeviceSize(const QWidget& widget);

// The size in the toolkit's units nearest to `device` device pixels that is a whole number of
// device pixels.
QSize LogicalSize(const QWidget& widget, const QSize& device);

// The smallest rectangle of the other unit that covers `rect`.
QRect ToDevice(const QWidget& widget, const QRect& logical);
QRect ToLogical(const QWidget& widget, const QRect& device);

// Where the widget starts inside its top-level window, in device pixels.
QPoint DeviceOffsetInWindow(const QWidget& widget);

// The device pixel under a position given in the toolkit's units.
QPoint ToDevice(const QWidget& widget, const QPointF& logical);

// From here on, one unit of `painter` on `widget` is one device pixel.
void DrawInDevicePixels(QPainter& painter, const QWidget& widget);

// The nearest length at or above (or at or below) `logical` whose device length is whole, so
// that what lies beyond it starts on a device pixel.
int AlignUpToDevicePixels(int logical, qreal ratio);
int AlignDownToDevicePixels(int logical, qreal ratio);

// The bitmap's pixels as an image, without a copy; valid while the bitmap lives unchanged.
QImage ImageOf(const Bitmap& bitmap);
