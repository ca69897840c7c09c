#include "desktop/DevicePixels.h"

#include "game/ScreenLayout.h"

#include <QPainter>
#include <QWidget>
#include <cmath>

namespace {

int Floor(double value) {
    return static_cast<int>(std::floor(value + 1e-6));
}

int Ceil(double value) {
    return static_cast<int>(std::ceil(value - 1e-6));
}

} // namespace

qreal DeviceRatio(const QWidget& widget) {
    return widget.devicePixelRatioF();
}

QSize DeviceSize(const QWidget& widget) {
    return widget.size() * DeviceRatio(widget);
}

namespace {

// The length in the toolkit's units, whole in device pixels, whose device length is nearest.
int NearestWholeLength(int device, qreal r) {
    const int guess = static_cast<int>(std::lround(device / r));
    const int down = AlignDownToDevicePixels(guess, r);
    const int up = AlignUpToDevicePixels(guess, r);
    return std::abs(up * r - device) < std::abs(down * r - device) ? up : down;
}

} // namespace

QSize LogicalSize(const QWidget& widget, const QSize& device) {
    const qreal r = DeviceRatio(widget);
    return {NearestWholeLength(device.width(), r), NearestWholeLength(device.height(), r)};
}

QPoint DeviceOffsetInWindow(const QWidget& widget) {
    return ToDevice(widget, QPointF(widget.mapTo(widget.window(), QPoint(0, 0))));
}

QRect ToDevice(const QWidget& widget, const QRect& logical) {
    const qreal r = DeviceRatio(widget);
    const int left = Floor(logical.left() * r);
    const int top = Floor(logical.top() * r);
    return {left, top, Ceil((logical.left() + logical.width()) * r) - left,
            Ceil((logical.top() + logical.height()) * r) - top};
}

QRect ToLogical(const QWidget& widget, const QRect& device) {
    const qreal r = DeviceRatio(widget);
    const int left = Floor(device.left() / r);
    const int top = Floor(device.top() / r);
    return {left, top, Ceil((device.left() + device.width()) / r) - left,
            Ceil((device.top() + device.height()) / r) - top};
}

QPoint ToDevice(const QWidget& widget, const QPointF& logical) {
    const qreal r = DeviceRatio(widget);
    return {Floor(logical.x() * r), Floor(logical.y() * r)};
}

void DrawInDevicePixels(QPainter& painter, const QWidget& widget) {
    const qreal r = DeviceRatio(widget);
    painter.setWorldTransform(QTransform::fromScale(1 / r, 1 / r));
}

int AlignUpToDevicePixels(int logical, qreal ratio) {
    return AlignUpToWholeDevicePixels(logical, ratio);
}

int AlignDownToDevicePixels(int logical, qreal ratio) {
    return AlignDownToWholeDevicePixels(logical, ratio);
}

QImage ImageOf(const Bitmap& bitmap) {
    return QImage(reinterpret_cast<const uchar*>(bitmap.Scanline(0)), bitmap.Width(),
                  bitmap.Height(), static_cast<qsizetype>(bitmap.Pitch()) * sizeof(Pixel),
                  QImage::Format_RGB32);
}
