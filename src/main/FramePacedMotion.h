#pragma once

#include <QElapsedTimer>
#include <QPoint>
#include <QTimer>
#include <functional>
#include <optional>

// Hands pointer motions on at most once a frame. A motion that comes sooner than a frame after
// the last one handed on waits for the frame, and any later motion takes its place: a drag is
// drawn as often as the screen can show it, however many motions the pointer reports.
class FramePacedMotion {
public:
    explicit FramePacedMotion(std::function<void(QPoint)> handle);

    void Take(QPoint at);
    // Hands on the motion that waits, if any, at once: before a release, which acts where the
    // pointer last was.
    void HandWaiting();
    // Forgets the motion that waits: the drag ended some other way.
    void Forget();

private:
    void HandOn(QPoint at);

    std::function<void(QPoint)> Handle;
    std::optional<QPoint> Waiting;
    QTimer Due;
    QElapsedTimer SinceHandedOn;
};
