#include "main/FramePacedMotion.h"

#include "windows/FrameInterval.h"

#include <algorithm>
#include <utility>

FramePacedMotion::FramePacedMotion(std::function<void(QPoint)> handle)
    : Handle(std::move(handle)) {
    Due.setSingleShot(true);
    Due.setTimerType(Qt::PreciseTimer);
    QObject::connect(&Due, &QTimer::timeout, [this] { HandWaiting(); });
}

void FramePacedMotion::Take(QPoint at) {
    const qint64 since = SinceHandedOn.isValid() ? SinceHandedOn.elapsed() : FrameMilliseconds;
    if (since >= FrameMilliseconds && !Waiting) {
        HandOn(at);
        return;
    }
    Waiting = at;
    if (!Due.isActive()) {
        Due.start(static_cast<int>(std::max<qint64>(0, FrameMilliseconds - since)));
    }
}

void FramePacedMotion::HandWaiting() {
    Due.stop();
    if (const std::optional<QPoint> at = std::exchange(Waiting, std::nullopt)) {
        HandOn(*at);
    }
}

void FramePacedMotion::Forget() {
    Due.stop();
    Waiting.reset();
}

void FramePacedMotion::HandOn(QPoint at) {
    SinceHandedOn.start();
    Handle(at);
}
