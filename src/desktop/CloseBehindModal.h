#pragma once

#include <QAbstractNativeEventFilter>
#include <functional>

class QWidget;

// A window manager's request to close a window that a modal box blocks is dropped by the
// toolkit, so a user who closes the player while a start-up notice is open would find it still
// running behind the notice. This filter catches such a request for one window on X11 and hands
// it on; elsewhere it does nothing.
class CloseBehindModal : public QAbstractNativeEventFilter {
public:
    // Watches `window`; `onClose` runs for a close request while a modal window is open.
    CloseBehindModal(QWidget& window, std::function<void()> onClose);

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    bool IsCloseRequest(const void* event);

    QWidget& Window;
    std::function<void()> OnClose;
};
