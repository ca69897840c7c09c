#include "windows/FramePacedRepaint.h"

#include "windows/FrameInterval.h"

FramePacedRepaint::FramePacedRepaint(QWidget& widget)
    : Widget(&widget) {
    Widget->setUpdatesEnabled(false);
    SinceLastPaint.start();
}

FramePacedRepaint::~FramePacedRepaint() {
    if (Widget) {
        Widget->setUpdatesEnabled(true);
    }
}

void FramePacedRepaint::RepaintWhenDue() {
    if (Widget && SinceLastPaint.elapsed() >= FrameMilliseconds) {
        RepaintNow();
    }
}

void FramePacedRepaint::RepaintNow() {
    Widget->setUpdatesEnabled(true);
    Widget->repaint();
    Widget->setUpdatesEnabled(false);
    SinceLastPaint.restart();
}
