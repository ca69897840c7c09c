#include "desktop/ShownOnScreen.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace {

bool IsOnScreen(const QWidget& window) {
    const QWindow* native = window.windowHandle();
    return native != nullptr && native->isExposed();
}

// Ends the wait at the events that may end it: the window exposed, a window closed or hidden.
class ScreenWait : public QObject {
public:
    ScreenWait(QWidget& window, const std::function<bool()>& stop)
        : Window(window)
        , Stop(stop) {
        QCoreApplication::instance()->installEventFilter(this);
    }

    bool Done() const { return Stop() || IsOnScreen(Window); }

    void Run(std::chrono::milliseconds limit) {
        QTimer::singleShot(limit, &Loop, &QEventLoop::quit);
        Loop.exec();
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type == QEvent::Expose || type == QEvent::Close || type == QEvent::Hide) {
            // Once the event has been taken in.
            QMetaObject::invokeMethod(
                &Loop,
                [this] {
                    if (Done()) {
                        Loop.quit();
                    }
                },
                Qt::QueuedConnection);
        }
        return false;
    }

private:
    QWidget& Window;
    const std::function<bool()>& Stop;
    QEventLoop Loop;
};

} // namespace

void WaitUntilOnScreen(QWidget& window, std::chrono::milliseconds limit,
                       const std::function<bool()>& stop) {
    ScreenWait wait(window, stop);
    if (!wait.Done()) {
        wait.Run(limit);
    }
}
