#include "DemoPicture.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <random>

namespace {

constexpr int Width = 800;
constexpr int Height = 600;

class Painting {
public:
    Painting()
        : Image(Width, Height, QImage::Format_RGB32)
        , P(&Image)
        , Rng(20261224) {
        P.setRenderHint(QPainter::Antialiasing);
    }

    QImage Paint() {
        Sky();
        Stars();
        Moon();
        Mountains();
        Hills();
        Forest(340, 70, 0.55);
        Church(520, 372);
        House(90, 400, 120, 80, QColor(150, 60, 50));
        House(250, 395, 100, 70, QColor(70, 100, 140));
        House(640, 405, 130, 85, QColor(170, 130, 70));
        Forest(430, 18, 1.0);
        Ground();
        ChristmasTree(400, 560, 190);
        Snowman(150, 548);
        Fence();
        Snowfall();
        P.end();
        return Image;
    }

private:
    double Uniform(double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(Rng);
    }

    void Sky() {
        QLinearGradient g(0, 0, 0, 420);
        g.setColorAt(0.0, QColor(8, 12, 40));
        g.setColorAt(0.55, QColor(38, 46, 110));
        g.setColorAt(0.85, QColor(120, 80, 140));
        g.setColorAt(1.0, QColor(235, 150, 120));
        P.fillRect(0, 0, Width, Height, g);
    }

    void Stars() {
        P.setPen(Qt::NoPen);
        for (int i = 0; i < 260; ++i) {
            const double x = Uniform(0, Width);
            const double y = Uniform(0, 300);
            const double r = Uniform(0.5, 1.8);
            const int warmth = static_cast<int>(Uniform(180, 255));
            P.setBrush(QColor(255, 255, warmth, static_cast<int>(Uniform(120, 255))));
            P.drawEllipse(QPointF(x, y), r, r);
        }
    }

    void Moon() {
        QRadialGradient glow(QPointF(660, 90), 110);
        glow.setColorAt(0, QColor(255, 250, 220, 160));
        glow.setColorAt(1, QColor(255, 250, 220, 0));
        P.setBrush(glow);
        P.drawEllipse(QPointF(660, 90), 110, 110);
        P.setBrush(QColor(250, 245, 215));
        P.drawEllipse(QPointF(660, 90), 38, 38);
        P.setBrush(QColor(225, 218, 190));
        P.drawEllipse(QPointF(648, 80), 8, 6);
        P.drawEllipse(QPointF(672, 104), 6, 5);
        P.drawEllipse(QPointF(668, 74), 4, 4);
    }

    void Mountains() {
        const QColor rock(60, 70, 120);
        double x = -50;
        while (x < Width + 50) {
            const double w = Uniform(140, 260);
            const double peak = Uniform(170, 250);
            QPainterPath m;
            m.moveTo(x, 360);
            m.lineTo(x + w / 2, peak);
            m.lineTo(x + w, 360);
            m.closeSubpath();
            P.setBrush(rock.lighter(static_cast<int>(Uniform(90, 130))));
            P.drawPath(m);
            QPainterPath cap;
            const double capDepth = Uniform(30, 50);
            cap.moveTo(x + w / 2, peak);
            cap.lineTo(x + w / 2 - capDepth * w / (360 - peak) / 2 * 2.2, peak + capDepth);
            cap.lineTo(x + w / 2 - 8, peak + capDepth - 10);
            cap.lineTo(x + w / 2 + 6, peak + capDepth + 4);
            cap.lineTo(x + w / 2 + capDepth * w / (360 - peak) / 2 * 2.2, peak + capDepth);
            cap.closeSubpath();
            P.setBrush(QColor(225, 230, 250));
            P.drawPath(cap);
            x += w * Uniform(0.45, 0.8);
        }
    }

    void Hills() {
        QPainterPath hills;
        hills.moveTo(0, Height);
        hills.lineTo(0, 370);
        hills.cubicTo(200, 320, 330, 400, 480, 360);
        hills.cubicTo(600, 330, 700, 350, Width, 340);
        hills.lineTo(Width, Height);
        QLinearGradient g(0, 330, 0, 480);
        g.setColorAt(0, QColor(205, 210, 240));
        g.setColorAt(1, QColor(150, 160, 210));
        P.setBrush(g);
        P.drawPath(hills);
    }

    void Pine(double x, double base, double height) {
        const double w = height * 0.45;
        P.setBrush(QColor(70, 45, 30));
        P.drawRect(QRectF(x - w * 0.06, base - height * 0.12, w * 0.12, height * 0.12));
        for (int tier = 0; tier < 3; ++tier) {
            const double top = base - height + tier * height * 0.22;
            const double bottom = base - height * 0.1 - (2 - tier) * height * 0.18;
            const double half = w * (0.3 + 0.2 * tier);
            QPainterPath t;
            t.moveTo(x, top);
            t.lineTo(x - half, bottom);
            t.lineTo(x + half, bottom);
            t.closeSubpath();
            P.setBrush(QColor(20, 70 + tier * 12, 45));
            P.drawPath(t);
            QPainterPath snow;
            snow.moveTo(x, top);
            snow.lineTo(x - half * 0.45, top + (bottom - top) * 0.45);
            snow.lineTo(x, top + (bottom - top) * 0.35);
            snow.lineTo(x + half * 0.45, top + (bottom - top) * 0.45);
            snow.closeSubpath();
            P.setBrush(QColor(235, 240, 255));
            P.drawPath(snow);
        }
    }

    void Forest(double base, int count, double scale) {
        for (int i = 0; i < count; ++i) {
            const double x = Uniform(-20, Width + 20);
            if (scale > 0.9 && x > 300 && x < 500) {
                continue; // keep the square in front of the church open
            }
            Pine(x, base + Uniform(-12, 12), Uniform(40, 75) * scale);
        }
    }

    void Window(double x, double y, double w, double h) {
        QRadialGradient light(QPointF(x + w / 2, y + h / 2), w * 1.5);
        light.setColorAt(0, QColor(255, 230, 120, 120));
        light.setColorAt(1, QColor(255, 230, 120, 0));
        P.setBrush(light);
        P.drawEllipse(QPointF(x + w / 2, y + h / 2), w * 1.5, w * 1.5);
        P.setBrush(QColor(255, 215, 100));
        P.drawRect(QRectF(x, y, w, h));
        P.setPen(QPen(QColor(60, 40, 30), 1.5));
        P.drawLine(QPointF(x + w / 2, y), QPointF(x + w / 2, y + h));
        P.drawLine(QPointF(x, y + h / 2), QPointF(x + w, y + h / 2));
        P.setPen(Qt::NoPen);
    }

    void House(double x, double base, double w, double h, QColor wall) {
        P.setBrush(QColor(90, 80, 80));
        P.drawRect(QRectF(x + w * 0.68, base - h - 42, 14, 34)); // chimney
        for (int puff = 0; puff < 5; ++puff) {
            P.setBrush(QColor(200, 200, 215, 110 - puff * 18));
            P.drawEllipse(QPointF(x + w * 0.68 + 7 + puff * 6, base - h - 52 - puff * 14),
                          7 + puff * 3, 5 + puff * 2);
        }
        QLinearGradient shade(x, 0, x + w, 0);
        shade.setColorAt(0, wall.lighter(115));
        shade.setColorAt(1, wall.darker(130));
        P.setBrush(shade);
        P.drawRect(QRectF(x, base - h, w, h));
        QPainterPath roof;
        roof.moveTo(x - 12, base - h + 4);
        roof.lineTo(x + w / 2, base - h - 45);
        roof.lineTo(x + w + 12, base - h + 4);
        roof.closeSubpath();
        P.setBrush(QColor(240, 244, 255));
        P.drawPath(roof);
        P.setBrush(QColor(90, 50, 35));
        P.drawRect(QRectF(x + w * 0.42, base - h * 0.55, w * 0.16, h * 0.55)); // door
        P.setBrush(QColor(30, 110, 40));
        P.drawEllipse(QPointF(x + w * 0.5, base - h * 0.62), 7, 7); // wreath
        Window(x + w * 0.12, base - h * 0.75, w * 0.2, h * 0.3);
        Window(x + w * 0.68, base - h * 0.75, w * 0.2, h * 0.3);
        Icicles(x - 12, x + w + 12, base - h + 4);
    }

    void Icicles(double from, double to, double y) {
        P.setBrush(QColor(220, 235, 255));
        for (double x = from + 4; x < to - 4; x += Uniform(5, 9)) {
            QPainterPath ice;
            ice.moveTo(x - 2, y);
            ice.lineTo(x + 2, y);
            ice.lineTo(x, y + Uniform(4, 12));
            ice.closeSubpath();
            P.drawPath(ice);
        }
    }

    void Church(double x, double base) {
        const QColor stone(200, 190, 175);
        P.setBrush(stone.darker(110));
        P.drawRect(QRectF(x, base - 90, 100, 90));
        P.setBrush(stone);
        P.drawRect(QRectF(x + 70, base - 170, 40, 170)); // tower
        QPainterPath spire;
        spire.moveTo(x + 64, base - 168);
        spire.lineTo(x + 90, base - 250);
        spire.lineTo(x + 116, base - 168);
        spire.closeSubpath();
        P.setBrush(QColor(70, 80, 110));
        P.drawPath(spire);
        P.setPen(QPen(QColor(230, 200, 90), 3));
        P.drawLine(QPointF(x + 90, base - 250), QPointF(x + 90, base - 272));
        P.drawLine(QPointF(x + 82, base - 264), QPointF(x + 98, base - 264));
        P.setPen(Qt::NoPen);
        QPainterPath roof;
        roof.moveTo(x - 8, base - 88);
        roof.lineTo(x + 35, base - 130);
        roof.lineTo(x + 74, base - 88);
        roof.closeSubpath();
        P.setBrush(QColor(240, 244, 255));
        P.drawPath(roof);
        P.setBrush(QColor(40, 40, 60));
        P.drawEllipse(QPointF(x + 90, base - 140), 11, 11); // clock
        P.setPen(QPen(QColor(240, 230, 200), 2));
        P.drawLine(QPointF(x + 90, base - 140), QPointF(x + 90, base - 147));
        P.drawLine(QPointF(x + 90, base - 140), QPointF(x + 95, base - 140));
        P.setPen(Qt::NoPen);
        for (int i = 0; i < 3; ++i) {
            QPainterPath arch;
            const double wx = x + 10 + i * 20;
            arch.moveTo(wx, base - 20);
            arch.lineTo(wx, base - 55);
            arch.arcTo(QRectF(wx, base - 63, 12, 16), 180, -180);
            arch.lineTo(wx + 12, base - 20);
            arch.closeSubpath();
            QLinearGradient glass(wx, base - 63, wx + 12, base - 20);
            glass.setColorAt(0, QColor(255, 90, 70));
            glass.setColorAt(0.5, QColor(255, 220, 90));
            glass.setColorAt(1, QColor(80, 140, 255));
            P.setBrush(glass);
            P.drawPath(arch);
        }
    }

    void Ground() {
        QPainterPath snow;
        snow.moveTo(0, 440);
        snow.cubicTo(250, 415, 520, 455, Width, 425);
        snow.lineTo(Width, Height);
        snow.lineTo(0, Height);
        snow.closeSubpath();
        QLinearGradient g(0, 420, 0, Height);
        g.setColorAt(0, QColor(230, 235, 252));
        g.setColorAt(1, QColor(185, 195, 235));
        P.setBrush(g);
        P.drawPath(snow);
        QPainterPath path;
        path.moveTo(330, Height);
        path.cubicTo(360, 520, 560, 480, 575, 372);
        path.lineTo(590, 372);
        path.cubicTo(600, 480, 470, 540, 520, Height);
        path.closeSubpath();
        P.setBrush(QColor(200, 200, 225));
        P.drawPath(path);
        P.setBrush(QColor(165, 170, 205));
        for (int i = 0; i < 14; ++i) {
            const double t = i / 14.0;
            P.drawEllipse(QPointF(420 + 130 * t + Uniform(-8, 8), 590 - 200 * t), 4, 2.5);
        }
    }

    void ChristmasTree(double x, double base, double height) {
        P.setBrush(QColor(90, 55, 30));
        P.drawRect(QRectF(x - 10, base - 22, 20, 22));
        for (int tier = 0; tier < 4; ++tier) {
            const double top = base - height + tier * height * 0.17;
            const double bottom = base - 18 - (3 - tier) * height * 0.17;
            const double half = height * (0.12 + 0.075 * tier);
            QPainterPath t;
            t.moveTo(x, top);
            t.lineTo(x - half, bottom);
            t.quadTo(x, bottom + 10, x + half, bottom);
            t.closeSubpath();
            QLinearGradient g(x - half, 0, x + half, 0);
            g.setColorAt(0, QColor(20, 110, 50));
            g.setColorAt(1, QColor(10, 60, 30));
            P.setBrush(g);
            P.drawPath(t);
        }
        const QColor bulbs[] = {QColor(255, 60, 60), QColor(255, 210, 60), QColor(80, 170, 255),
                                QColor(240, 120, 255), QColor(255, 150, 40)};
        for (int i = 0; i < 46; ++i) {
            const double level = Uniform(0.12, 0.95);
            const double y = base - height + level * (height - 26);
            const double half = level * height * 0.36;
            const double bx = x + Uniform(-half, half);
            const QColor c = bulbs[i % 5];
            QRadialGradient glow(QPointF(bx, y), 7);
            glow.setColorAt(0, QColor(c.red(), c.green(), c.blue(), 200));
            glow.setColorAt(1, QColor(c.red(), c.green(), c.blue(), 0));
            P.setBrush(glow);
            P.drawEllipse(QPointF(bx, y), 7, 7);
            P.setBrush(c.lighter(130));
            P.drawEllipse(QPointF(bx, y), 2.5, 2.5);
        }
        QPainterPath star;
        for (int k = 0; k < 10; ++k) {
            const double r = k % 2 == 0 ? 14 : 6;
            const double angle = -M_PI / 2 + k * M_PI / 5;
            const QPointF p(x + r * std::cos(angle), base - height - 4 + r * std::sin(angle));
            k == 0 ? star.moveTo(p) : star.lineTo(p);
        }
        star.closeSubpath();
        P.setBrush(QColor(255, 225, 80));
        P.drawPath(star);
        const QColor gifts[] = {QColor(200, 40, 50), QColor(40, 90, 190), QColor(230, 180, 40)};
        for (int i = 0; i < 3; ++i) {
            const QRectF box(x - 70 + i * 48, base - 22 + (i % 2) * 6, 34, 22 - (i % 2) * 6);
            P.setBrush(gifts[i]);
            P.drawRect(box);
            P.setBrush(QColor(250, 240, 220));
            P.drawRect(QRectF(box.center().x() - 2, box.top(), 4, box.height()));
        }
    }

    void Snowman(double x, double base) {
        P.setBrush(QColor(245, 248, 255));
        P.drawEllipse(QPointF(x, base - 28), 32, 28);
        P.drawEllipse(QPointF(x, base - 76), 23, 21);
        P.drawEllipse(QPointF(x, base - 111), 16, 15);
        P.setBrush(QColor(30, 30, 35));
        P.drawRect(QRectF(x - 15, base - 128, 30, 5));
        P.drawRect(QRectF(x - 10, base - 150, 20, 23));
        P.drawEllipse(QPointF(x - 5, base - 114), 2, 2);
        P.drawEllipse(QPointF(x + 5, base - 114), 2, 2);
        for (int b = 0; b < 3; ++b) {
            P.drawEllipse(QPointF(x, base - 86 + b * 10), 2.5, 2.5);
        }
        P.setBrush(QColor(240, 120, 30));
        QPainterPath nose;
        nose.moveTo(x, base - 111);
        nose.lineTo(x + 14, base - 108);
        nose.lineTo(x, base - 107);
        nose.closeSubpath();
        P.drawPath(nose);
        P.setBrush(QColor(190, 30, 40));
        P.drawRect(QRectF(x - 17, base - 99, 34, 7));
        P.drawRect(QRectF(x + 6, base - 99, 7, 22));
        P.setPen(QPen(QColor(90, 60, 40), 3));
        P.drawLine(QPointF(x - 20, base - 80), QPointF(x - 50, base - 100));
        P.drawLine(QPointF(x + 20, base - 80), QPointF(x + 48, base - 104));
        P.setPen(Qt::NoPen);
    }

    void Fence() {
        P.setBrush(QColor(120, 80, 50));
        for (double x = 560; x < Width; x += 22) {
            P.drawRect(QRectF(x, 505, 8, 50));
            P.setBrush(QColor(240, 244, 255));
            P.drawEllipse(QPointF(x + 4, 505), 6, 3);
            P.setBrush(QColor(120, 80, 50));
        }
        P.drawRect(QRectF(555, 515, Width - 555, 6));
        P.drawRect(QRectF(555, 538, Width - 555, 6));
    }

    void Snowfall() {
        for (int i = 0; i < 420; ++i) {
            const double r = Uniform(0.8, 3.2);
            P.setBrush(QColor(255, 255, 255, static_cast<int>(Uniform(140, 240))));
            P.drawEllipse(QPointF(Uniform(0, Width), Uniform(0, Height)), r, r);
        }
    }

    QImage Image;
    QPainter P;
    std::mt19937 Rng;
};

} // namespace

QImage PaintDemoPicture() {
    Painting painting;
    return painting.Paint();
}
