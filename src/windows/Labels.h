#pragma once

#include <QRect>
#include <QString>

class QFrame;
class QLabel;
class QWidget;

// A label at its place in a window's layout. The desktop's font may run wider than the layout
// was drawn for, so the label grows to its text rather than cut it.
QLabel* PlacedLabel(QWidget* parent, const QRect& geometry, const QString& text);

// Makes a label look like a web link: blue, underlined, with a hand cursor.
void StyleAsLink(QLabel* label);

// A panel at its place with an outer bevel lowered and an inner one raised: an etched line
// 2 pixels wide.
QFrame* EtchedPanel(QWidget* parent, const QRect& geometry);
