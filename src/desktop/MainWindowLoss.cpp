#include "desktop/MainWindowLoss.h"

#include <QWidget>

#ifdef TAVRIN_HAVE_XCB
#include "desktop/XSession.h"
#endif

MainWindowLoss::MainWindowLoss(QWidget& window, std::function<void()> onLoss)
    : Window(window)
    , OnLoss(std::move(onLoss)) {}

#ifdef TAVRIN_HAVE_XCB

bool MainWindowLoss::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if (eventType != "xcb_generic_event_t" || (event->response_type & 0x7F) != XCB_DESTROY_NOTIFY ||
        !Window.testAttribute(Qt::WA_WState_Created)) {
        return false;
    }
    const auto* destroyed = static_cast<const xcb_destroy_notify_event_t*>(message);
    if (destroyed->window == static_cast<xcb_window_t>(Window.winId())) {
        OnLoss();
    }
    return false;
}

#else

bool MainWindowLoss::nativeEventFilter(const QByteArray&, void*, qintptr*) {
    return false;
}

#endif
