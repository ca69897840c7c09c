#include "main/CloseBehindModal.h"

#include <QGuiApplication>
#include <QWidget>

#ifdef TAVRIN_HAVE_XCB
#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>
#endif

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

namespace {

std::uint32_t InternAtom(xcb_connection_t* c, const char* name) {
    auto* reply = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 1, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr);
    const std::uint32_t atom = reply != nullptr ? reply->atom : std::uint32_t{XCB_ATOM_NONE};
    std::free(reply);
    return atom;
}

} // namespace

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
        auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
        xcb_connection_t* c = x11 != nullptr ? x11->connection() : nullptr;
        if (c == nullptr) {
            return false;
        }
        Protocols = InternAtom(c, "WM_PROTOCOLS");
        DeleteWindow = InternAtom(c, "WM_DELETE_WINDOW");
    }
    return client->type == Protocols && client->data.data32[0] == DeleteWindow;
}

#else

bool CloseBehindModal::IsCloseRequest(const void*) {
    return false;
}

#endif
