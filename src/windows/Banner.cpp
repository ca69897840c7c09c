#include "windows/Banner.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int Width = 299;
constexpr int Height = 134;

void Sky(QPainter& p) {
    QLinearGradient sky(0, 0, 0, Height);
    sky.setColorAt(0, QColor(10, 20, 60));
    sky.setColorAt(1, QColor(70, 60, 130));
    p.fillRect(0, 0, Width, Height, sky);
}

void Snow(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(235, 240, 255));
    QPainterPath ground;
    ground.moveTo(0, Height);
    ground.lineTo(0, 112);
    ground.cubicTo(90, 98, 200, 124, Width, 104);
    ground.lineTo(Width, Height);
    p.drawPath(ground);
    for (int i = 0; i < 60; ++i) {
        const int x = (i * 73) % Width;
        const int y = (i * 37) % 100;
        const double r = 0.8 + (i % 3) * 0.6;
        p.drawEllipse(QPointF(x, y), r, r);
    }
}

void Tree(QPainter& p, double x, double base, double height) {
    p.setBrush(QColor(20, 100, 45));
    for (int tier = 0; tier < 3; ++tier) {
        const double top = base - height + tier * height * 0.25;
        const double half = height * (0.18 + 0.1 * tier);
        QPainterPath t;
        t.moveTo(x, top);
        t.lineTo(x - half, top + height * 0.4);
        t.lineTo(x + half, top + height * 0.4);
        t.closeSubpath();
        p.drawPath(t);
    }
    p.setBrush(QColor(255, 220, 70));
    p.drawEllipse(QPointF(x, base - height), 3.5, 3.5);
}

void Title(QPainter& p) {
    QFont title(QStringLiteral("Sans Serif"));
    title.setPixelSize(34);
    title.setBold(true);
    p.setFont(title);
    p.setPen(QColor(255, 215, 90));
    p.drawText(QRect(0, 14, Width - 60, 44), Qt::AlignCenter, QStringLiteral("Tavrin"));
    QFont subtitle(QStringLiteral("Sans Serif"));
    subtitle.setPixelSize(14);
    p.setFont(subtitle);
    p.setPen(QColor(240, 240, 255));
    p.drawText(QRect(0, 58, Width - 60, 22), Qt::AlignCenter, QStringLiteral("Christmas Edition"));
}

} // namespace

QPixmap PaintBanner() {
    QPixmap banner(Width, Height);
    QPainter p(&banner);
    p.setRenderHint(QPainter::Antialiasing);
    Sky(p);
    Snow(p);
    Tree(p, 255, 118, 80);
    Tree(p, 222, 120, 48);
    Title(p);
    return banner;
}
