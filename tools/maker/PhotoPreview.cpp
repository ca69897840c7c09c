#include "PhotoPreview.h"

#include <QPainter>
#include <QPalette>

PhotoPreview::PhotoPreview(QWidget* parent)
    : QWidget(parent) {
    setObjectName("photoPreview");
    setAccessibleName(tr("Photo preview"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void PhotoPreview::SetPhoto(const QImage& photo, int packedWidth) {
    Photo = photo;
    PackedWidth = packedWidth;
    update();
}

void PhotoPreview::SetLayout(const PuzzleLayout& layout) {
    Layout = layout;
    update();
}

void PhotoPreview::SetBoardColor(const QColor& color) {
    BoardColor = color;
    update();
}

void PhotoPreview::SetBusy(bool busy) {
    Busy = busy;
    update();
}

QSize PhotoPreview::sizeHint() const {
    return {480, 320};
}

QSize PhotoPreview::minimumSizeHint() const {
    return {240, 160};
}

// The photo fitted into the widget, centred, aspect kept.
QRect PhotoPreview::PhotoRect() const {
    const QRect area = rect().adjusted(1, 1, -1, -1);
    if (Photo.isNull()) {
        return area;
    }
    const QSize size = Photo.size().scaled(area.size(), Qt::KeepAspectRatio);
    return QRect(area.center() - QPoint(size.width() / 2, size.height() / 2), size);
}

void PhotoPreview::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Dark));
    if (Photo.isNull()) {
        painter.setPen(palette().color(QPalette::BrightText));
        painter.drawText(rect().adjusted(12, 12, -12, -12), Qt::AlignCenter | Qt::TextWordWrap,
                         Busy ? tr("Opening the photo…") : tr("Choose a photo, or drop one here"));
        return;
    }
    const QRect target = PhotoRect();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, Photo);
    if (Layout.PieceCount() > 0 && Layout.Fit.Width > 0 && PackedWidth > 0) {
        DrawGrid(painter, target);
    }
    if (Busy) {
        painter.fillRect(target, QColor(0, 0, 0, 100));
    }
}

// The grid in the board colour, over a thin halo of black or white, whichever stands out from
// it, so that it shows on any photo.
void PhotoPreview::DrawGrid(QPainter& painter, const QRect& target) const {
    // Fitted-picture pixels to widget pixels; the grid covers the trimmed picture in equal
    // cells (the pieces' knobs reach across the lines).
    const double step = static_cast<double>(target.width()) / Layout.Fit.Width;
    const Grid& g = Layout.Cells;
    const double right = target.left() + g.PictureWidth * step;
    const double bottom = target.top() + g.PictureHeight * step;
    // What the trimmed grid leaves out of the puzzle is dimmed.
    painter.fillRect(QRectF(right, target.top(), target.right() + 1 - right, target.height()),
                     QColor(0, 0, 0, 140));
    painter.fillRect(
        QRectF(target.left(), bottom, right - target.left(), target.bottom() + 1 - bottom),
        QColor(0, 0, 0, 140));
    QList<QLineF> lines;
    const double cellWidth = static_cast<double>(g.PictureWidth) / g.Cols * step;
    const double cellHeight = static_cast<double>(g.PictureHeight) / g.Rows * step;
    for (int col = 1; col < g.Cols; ++col) {
        const double x = target.left() + col * cellWidth;
        lines << QLineF(x, target.top(), x, bottom);
    }
    for (int row = 1; row < g.Rows; ++row) {
        const double y = target.top() + row * cellHeight;
        lines << QLineF(target.left(), y, right, y);
    }
    const bool light = BoardColor.lightnessF() > 0.5;
    QPen halo(light ? QColor(0, 0, 0, 150) : QColor(255, 255, 255, 150), 3);
    halo.setCosmetic(true);
    painter.setPen(halo);
    painter.drawLines(lines);
    QPen line(BoardColor, 1);
    line.setCosmetic(true);
    painter.setPen(line);
    painter.drawLines(lines);
}
