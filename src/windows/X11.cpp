#include "windows/X11.h"

#ifdef TAVRIN_HAVE_XCB

#include <QGuiApplication>
#include <QWidget>
#include <cstdlib>
#include <cstring>

xcb_connection_t* X11Connection() {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 != nullptr ? x11->connection() : nullptr;
}

std::optional<QPoint> X11ScreenPosition(const QWidget& window) {
    xcb_connection_t* c = X11Connection();
    if (c == nullptr || !window.testAttribute(Qt::WA_WState_Created)) {
        return std::nullopt;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    auto* reply = xcb_translate_coordinates_reply(
        c, xcb_translate_coordinates(c, static_cast<xcb_window_t>(window.winId()), root, 0, 0),
        nullptr);
    std::optional<QPoint> position;
    if (reply != nullptr) {
        position = QPoint(reply->dst_x, reply->dst_y);
    }
    std::free(reply);
    return position;
}

std::uint32_t X11Atom(xcb_connection_t* connection, const char* name) {
    auto* reply = xcb_intern_atom_reply(
        connection,
        xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
        nullptr);
    const std::uint32_t atom = reply != nullptr ? reply->atom : std::uint32_t{XCB_ATOM_NONE};
    std::free(reply);
    return atom;
}

#endif
