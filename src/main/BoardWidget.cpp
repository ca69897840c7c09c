#include "main/BoardWidget.h"

#include "desktop/DevicePixels.h"
#include "game/Board.h"
#include "main/Main.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScopedValueRollback>

namespace {

QRect ToQRect(const TRect& r) {
    return {r.Left, r.Top, r.Width(), r.Height()};
}

} // namespace

BoardWidget::BoardWidget(TFormMain& form, const Board& game)
    : QWidget(&form)
    , Form(form)
    , Game(game) {
    // The board paints every pixel itself; the system never erases it first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(false);
}

QSize BoardWidget::DeviceSize() const {
    return ::DeviceSize(*this);
}

void BoardWidget::ShowNow(const TRect& rect, bool fromDragBuffer) {
    const QRect visible = ToQRect(rect).intersected({QPoint(), DeviceSize()});
    if (visible.isEmpty()) {
        return;
    }
    const QScopedValueRollback copying(FromDragBuffer, fromDragBuffer ? visible : QRect());
    repaint(ToLogical(*this, visible));
}

// The board buffer, and the drag buffer inside a copy from it: a repaint also covers whatever
// else of the window was waiting to be painted.
void BoardWidget::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    DrawInDevicePixels(painter, *this);
    const QRect dirty = ToDevice(*this, event->rect()).intersected({QPoint(), DeviceSize()});
    // A bare board is painted in its colour rather than copied.
    if (Game.Width() == 0 || Game.Height() == 0 || Game.ShowsOnlyTheBoardColour()) {
        painter.fillRect(dirty, QColor::fromRgb(PixelFromColor(Game.Settings.BoardColor)));
        return;
    }
    const Bitmap& board = Game.BoardBuffer();
    const TRect& dragArea = Game.DragArea();
    const QRect composed = dirty.intersected(FromDragBuffer).intersected(ToQRect(dragArea));
    if (composed != dirty) {
        painter.drawImage(dirty, ImageOf(board), dirty);
    }
    if (!composed.isEmpty()) {
        painter.drawImage(composed, ImageOf(Game.DragBuffer()),
                          composed.translated(-dragArea.Left, -dragArea.Top));
    }
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
