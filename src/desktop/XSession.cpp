#include "desktop/XSession.h"

#ifdef TAVRIN_HAVE_XCB

#include <QGuiApplication>
#include <QHash>
#include <QWidget>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
template <typename T>
using Reply = std::unique_ptr<T, FreeReply>;

} // namespace

xcb_connection_t* X11Connection() {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 != nullptr ? x11->connection() : nullptr;
}

xcb_window_t X11Root() {
    xcb_connection_t* c = X11Connection();
    return c != nullptr ? xcb_setup_roots_iterator(xcb_get_setup(c)).data->root : XCB_NONE;
}

xcb_atom_t X11Atom(const char* name) {
    static QHash<QByteArray, xcb_atom_t> known;
    xcb_connection_t* c = X11Connection();
    if (c == nullptr) {
        return XCB_ATOM_NONE;
    }
    const QByteArray key(name);
    if (const auto found = known.constFind(key); found != known.constEnd()) {
        return *found;
    }
    const Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr));
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    if (atom != XCB_ATOM_NONE) {
        known.insert(key, atom);
    }
    return atom;
}

xcb_window_t X11Window(const QWidget& window) {
    return X11Connection() != nullptr && window.testAttribute(Qt::WA_WState_Created)
               ? static_cast<xcb_window_t>(window.winId())
               : xcb_window_t{XCB_NONE};
}

std::optional<QPoint> X11ScreenPosition(const QWidget& window) {
    const xcb_window_t id = X11Window(window);
    if (id == XCB_NONE) {
        return std::nullopt;
    }
    xcb_connection_t* c = X11Connection();
    const Reply<xcb_translate_coordinates_reply_t> reply(xcb_translate_coordinates_reply(
        c, xcb_translate_coordinates(c, id, X11Root(), 0, 0), nullptr));
    return reply ? std::optional<QPoint>(QPoint(reply->dst_x, reply->dst_y)) : std::nullopt;
}

std::vector<std::uint32_t> X11Values(xcb_window_t window, const char* property, xcb_atom_t type) {
    xcb_connection_t* c = X11Connection();
    const xcb_atom_t name = X11Atom(property);
    if (c == nullptr || window == XCB_NONE || name == XCB_ATOM_NONE) {
        return {};
    }
    const Reply<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(c, xcb_get_property(c, 0, window, name, type, 0, 4096), nullptr));
    if (!reply || reply->format != 32) {
        return {};
    }
    const auto* values = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
    return {values, values + xcb_get_property_value_length(reply.get()) / 4};
}

std::optional<QMargins> X11FrameExtents(const QWidget& window) {
    const auto v = X11Values(X11Window(window), "_NET_FRAME_EXTENTS", XCB_ATOM_CARDINAL);
    if (v.size() != 4) {
        return std::nullopt;
    }
    return QMargins(static_cast<int>(v[0]), static_cast<int>(v[2]), static_cast<int>(v[1]),
                    static_cast<int>(v[3]));
}

bool X11WindowManagerAnnounced() {
    return X11Values(X11Root(), "_NET_SUPPORTING_WM_CHECK", XCB_ATOM_WINDOW).size() == 1;
}

bool X11KeyboardIsNowhere() {
    xcb_connection_t* c = X11Connection();
    if (c == nullptr) {
        return false;
    }
    const Reply<xcb_get_input_focus_reply_t> focus(
        xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    return !focus || focus->focus == XCB_NONE || focus->focus == XCB_INPUT_FOCUS_POINTER_ROOT ||
           focus->focus == X11Root();
}

#endif
