#include "main/BoardWidget.h"

#include "main/Main.h"
#include "windows/DevicePixels.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

BoardWidget::BoardWidget(TFormMain& form)
    : QWidget(&form)
    , Form(form) {
    // The board paints every pixel itself; the system never erases it first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(false);
}

QSize BoardWidget::DeviceSize() const {
    return ::DeviceSize(*this);
}

QPoint BoardWidget::DeviceOrigin() const {
    return DeviceOffsetInWindow(*this);
}

void BoardWidget::RepaintDevice(const QRect& device) {
    repaint(ToLogical(*this, device));
}

void BoardWidget::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    DrawInDevicePixels(painter, *this);
    const QRect dirty = ToDevice(*this, event->rect()).intersected({QPoint(), DeviceSize()});
    Form.FormPaint(painter, dirty);
}

void BoardWidget::resizeEvent(QResizeEvent*) {
    Form.FormResize();
}

void BoardWidget::mousePressEvent(QMouseEvent* event) {
    const QPoint at = ToDevice(*this, event->position());
    Form.FormMouseDown(event->button(), at.x(), at.y());
}

void BoardWidget::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = ToDevice(*this, event->position());
    Form.FormMouseMove(at.x(), at.y());
}

void BoardWidget::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint at = ToDevice(*this, event->position());
    Form.FormMouseUp(event->button(), at.x(), at.y());
}
