#include "windows/Labels.h"

#include <QFrame>
#include <QLabel>
#include <algorithm>

QLabel* PlacedLabel(QWidget* parent, const QRect& geometry, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setGeometry(geometry);
    label->resize(std::max(geometry.width(), label->sizeHint().width()), geometry.height());
    return label;
}

void StyleAsLink(QLabel* label) {
    QFont underlined = label->font();
    underlined.setUnderline(true);
    label->setFont(underlined);
    QPalette blue = label->palette();
    blue.setColor(QPalette::WindowText, Qt::blue);
    label->setPalette(blue);
    label->setCursor(Qt::PointingHandCursor);
}

QFrame* EtchedPanel(QWidget* parent, const QRect& geometry) {
    auto* panel = new QFrame(parent);
    panel->setGeometry(geometry);
    panel->setFrameStyle(QFrame::Box | QFrame::Sunken);
    panel->setLineWidth(1);
    panel->setMidLineWidth(0);
    return panel;
}
