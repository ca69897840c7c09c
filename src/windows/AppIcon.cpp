#include "windows/AppIcon.h"

#include <QPainter>

namespace {

constexpr int Size = 32;

} // namespace

QPixmap PaintAppIconPixmap() {
    QImage icon(Size, Size, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    QPainter p(&icon);
    p.setPen(Qt::NoPen);
    // A piece: a square body with a knob on top and on the right, a socket on the left.
    p.setBrush(QColor(0x80, 0, 0));
    p.drawRect(5, 9, 20, 20);
    p.setBrush(QColor(0xFF, 0, 0));
    p.drawRect(4, 8, 20, 20);
    p.drawEllipse(10, 2, 8, 8);
    p.drawEllipse(22, 14, 8, 8);
    p.setBrush(Qt::transparent);
    p.setCompositionMode(QPainter::CompositionMode_Clear);
    p.drawEllipse(1, 14, 7, 8);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    // A little green tree and a yellow star on the piece.
    p.setBrush(QColor(0, 0x80, 0));
    const QPoint tree[] = {{14, 11}, {8, 25}, {20, 25}};
    p.drawPolygon(tree, 3);
    p.setBrush(QColor(0xFF, 0xFF, 0));
    p.drawRect(13, 9, 3, 3);
    p.setBrush(QColor(0xFF, 0xFF, 0xFF));
    p.drawRect(11, 18, 2, 2);
    p.drawRect(16, 21, 2, 2);
    p.end();
    return QPixmap::fromImage(icon);
}

QIcon AppIcon() {
    return QIcon(PaintAppIconPixmap());
}
