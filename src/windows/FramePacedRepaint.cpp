#include "windows/FramePacedRepaint.h"

namespace {

constexpr qint64 FrameMilliseconds = 16;

} // namespace

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
