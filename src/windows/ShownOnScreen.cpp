#include "windows/ShownOnScreen.h"

#include <QEventLoop>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace {

constexpr int PollMilliseconds = 5;

bool IsOnScreen(const QWidget& window) {
    const QWindow* native = window.windowHandle();
    return native != nullptr && native->isExposed();
}

} // namespace

void WaitUntilOnScreen(QWidget& window, std::chrono::milliseconds limit,
                       const std::function<bool()>& stop) {
    const auto done = [&] { return stop() || IsOnScreen(window); };
    if (done()) {
        return;
    }
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done()) {
            loop.quit();
        }
    });
    poll.start(PollMilliseconds);
    QTimer::singleShot(limit, &loop, &QEventLoop::quit);
    loop.exec();
}
