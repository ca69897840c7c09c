#include "main/CloseBehindModal.h"

#include "windows/X11.h"

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
    if (Protocols == 0) {
        xcb_connection_t* c = X11Connection();
        if (c == nullptr) {
            return false;
        }
        Protocols = X11Atom(c, "WM_PROTOCOLS");
        DeleteWindow = X11Atom(c, "WM_DELETE_WINDOW");
    }
    return client->type == Protocols && client->data.data32[0] == DeleteWindow;
}

#else

bool CloseBehindModal::IsCloseRequest(const void*) {
    return false;
}

#endif
