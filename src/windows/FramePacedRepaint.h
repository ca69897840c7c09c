#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QWidget>

// Keeps a widget that changes many times in a busy loop from painting more often than a screen
// shows frames: while this lives the widget's own repaints are held back, and RepaintWhenDue
// paints it at most once a frame. It paints what it holds back once more when it ends.
class FramePacedRepaint {
public:
    explicit FramePacedRepaint(QWidget& widget);
    ~FramePacedRepaint();
    FramePacedRepaint(const FramePacedRepaint&) = delete;
    FramePacedRepaint& operator=(const FramePacedRepaint&) = delete;

    void RepaintWhenDue();

private:
    void RepaintNow();

    QPointer<QWidget> Widget;
    QElapsedTimer SinceLastPaint;
};
