#include "desktop/CloseBehindModal.h"

#ifdef TAVRIN_HAVE_XCB
#include "desktop/XSession.h"
#endif

#include <QGuiApplication>
#include <QWidget>

CloseBehindModal::CloseBehindModal(QWidget& window, std::function<void()> onClose)
    : Window(window)
    , OnClose(std::move(onClose)) {}

bool CloseBehindModal::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t" || QGuiApplication::modalWindow() == nullptr ||
        !IsCloseRequest(message)) {
        return false;
    }
    OnClose();
    return true;
}

#ifdef TAVRIN_HAVE_XCB

bool CloseBehindModal::IsCloseRequest(const void* event) {
    const auto* generic = static_cast<const xcb_generic_event_t*>(event);
    if ((generic->response_type & 0x7F) != XCB_CLIENT_MESSAGE ||
        !Window.testAttribute(Qt::WA_WState_Created)) {
        return false;
    }
    const auto* client = static_cast<const xcb_client_message_event_t*>(event);
    if (client->format != 32 || client->window != static_cast<xcb_window_t>(Window.winId())) {
        return false;
    }
    return client->type == X11Atom("WM_PROTOCOLS") &&
           client->data.data32[0] == X11Atom("WM_DELETE_WINDOW");
}

#else

bool CloseBehindModal::IsCloseRequest(const void*) {
    return false;
}

#endif
