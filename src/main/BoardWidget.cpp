#include "main/BoardWidget.h"

#include "main/Main.h"

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

void BoardWidget::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    Form.FormPaint(painter, event->rect());
}

void BoardWidget::resizeEvent(QResizeEvent*) {
    Form.FormResize();
}

void BoardWidget::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    Form.FormMouseDown(event->button(), at.x(), at.y());
}

void BoardWidget::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    Form.FormMouseMove(at.x(), at.y());
}

void BoardWidget::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    Form.FormMouseUp(event->button(), at.x(), at.y());
}
