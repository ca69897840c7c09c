#include "main/BoardWidget.h"

#include "desktop/DevicePixels.h"
#include "game/Board.h"
#include "main/Main.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScopedValueRollback>
#include <algorithm>
#include <optional>

namespace {

constexpr int BandRows = 64;

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

// The board, and the drag buffer inside a copy from it: a repaint also covers whatever else of
// the window was waiting to be painted.
void BoardWidget::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    DrawInDevicePixels(painter, *this);
    const QRect dirty = ToDevice(*this, event->rect()).intersected({QPoint(), DeviceSize()});
    // A bare board is painted in its colour.
    const std::optional<TColor> plain = Game.PlainColor();
    if (plain || Game.Width() == 0 || Game.Height() == 0) {
        const TColor color = plain.value_or(Game.Settings.BoardColor);
        painter.fillRect(dirty, QColor::fromRgb(PixelFromColor(color)));
        return;
    }
    const TRect& dragArea = Game.DragArea();
    const QRect composed = dirty.intersected(FromDragBuffer).intersected(ToQRect(dragArea));
    if (composed != dirty) {
        DrawBoard(painter, dirty);
    }
    if (!composed.isEmpty()) {
        painter.drawImage(composed, ImageOf(Game.DragBuffer()),
                          composed.translated(-dragArea.Left, -dragArea.Top));
    }
}

// A band of rows at a time, so that the window's own buffer is the only one the size of the
// board.
void BoardWidget::DrawBoard(QPainter& painter, const QRect& area) {
    const int rows = std::min(area.height(), BandRows);
    if (Band.Width() < area.width() || Band.Height() < rows) {
        Band = Bitmap(std::max(Band.Width(), area.width()), std::max(Band.Height(), rows));
    }
    for (int top = area.top(); top < area.top() + area.height(); top += rows) {
        const TRect band{area.left(), top, area.left() + area.width(),
                         std::min(top + rows, area.top() + area.height())};
        Game.DrawBoardPart(Band, {band.Left, band.Top}, band);
        painter.drawImage(QPoint(band.Left, band.Top), ImageOf(Band),
                          QRect(0, 0, band.Width(), band.Height()));
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
