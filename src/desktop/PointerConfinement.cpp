#include "desktop/PointerConfinement.h"

#include "desktop/DevicePixels.h"

#include <QGuiApplication>
#include <QWidget>
#include <algorithm>
#include <optional>

#ifdef TAVRIN_HAVE_XCB
#include "desktop/XSession.h"

#include <cstdlib>
#endif

PointerConfinement::PointerConfinement(QWidget& window)
    : Window(window) {}

PointerConfinement::~PointerConfinement() {
    Release();
}

void PointerConfinement::Confine(const QRect& clientArea) {
    Release();
    Area = clientArea;
    Active = true;
    GrabOnX11(clientArea);
}

void PointerConfinement::Release() {
    if (!Active) {
        return;
    }
    Active = false;
    UngrabOnX11();
}

QPoint PointerConfinement::Clamp(QPoint point) const {
    if (!Active || Area.isEmpty()) {
        return point;
    }
    return {std::clamp(point.x(), Area.left(), Area.left() + Area.width() - 1),
            std::clamp(point.y(), Area.top(), Area.top() + Area.height() - 1)};
}

#ifdef TAVRIN_HAVE_XCB

// Pointer barriers leak on large jumps and warps; a grab confined to a window does not.
void PointerConfinement::GrabOnX11(const QRect& clientArea) {
    xcb_connection_t* connection = X11Connection();
    if (connection == nullptr || clientArea.isEmpty()) {
        return;
    }
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const auto topLevel = X11Window(*Window.window());
    const std::optional<QPoint> origin = X11ScreenPosition(*Window.window());
    if (!origin) {
        return;
    }
    const QRect screenArea = clientArea.translated(*origin + DeviceOffsetInWindow(Window));
    ConfineWindow = xcb_generate_id(connection);
    const std::uint32_t overrideRedirect = 1;
    xcb_create_window(
        connection, XCB_COPY_FROM_PARENT, ConfineWindow, screen->root,
        static_cast<std::int16_t>(screenArea.x()), static_cast<std::int16_t>(screenArea.y()),
        static_cast<std::uint16_t>(screenArea.width()),
        static_cast<std::uint16_t>(screenArea.height()), 0, XCB_WINDOW_CLASS_INPUT_ONLY,
        XCB_COPY_FROM_PARENT, XCB_CW_OVERRIDE_REDIRECT, &overrideRedirect);
    // Below every other window, so the pointer's events still reach the board.
    const std::uint32_t below = XCB_STACK_MODE_BELOW;
    xcb_configure_window(connection, ConfineWindow, XCB_CONFIG_WINDOW_STACK_MODE, &below);
    xcb_map_window(connection, ConfineWindow);
    xcb_ungrab_pointer(connection, XCB_CURRENT_TIME);
    const auto cookie = xcb_grab_pointer(
        connection, 1, topLevel,
        XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE | XCB_EVENT_MASK_POINTER_MOTION,
        XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC, ConfineWindow, XCB_NONE, XCB_CURRENT_TIME);
    std::free(xcb_grab_pointer_reply(connection, cookie, nullptr));
    xcb_flush(connection);
}

void PointerConfinement::UngrabOnX11() {
    xcb_connection_t* connection = X11Connection();
    if (connection == nullptr || ConfineWindow == 0) {
        return;
    }
    xcb_ungrab_pointer(connection, XCB_CURRENT_TIME);
    xcb_destroy_window(connection, ConfineWindow);
    xcb_flush(connection);
    ConfineWindow = 0;
}

#else

void PointerConfinement::GrabOnX11(const QRect&) {}
void PointerConfinement::UngrabOnX11() {}

#endif
