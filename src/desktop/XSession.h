#pragma once

// The X server the toolkit talks to, for the few things the toolkit does not offer: pointer
// confinement, the window manager's frame, its close requests and the keyboard's owner. Used only
// inside the desktop folder, and only where X11 is built in.
#ifdef TAVRIN_HAVE_XCB

#include <QMargins>
#include <QPoint>
#include <cstdint>
#include <optional>
#include <vector>
#include <xcb/xcb.h>

class QWidget;

// The toolkit's own connection, or null where it does not run on X11 (Wayland, offscreen).
xcb_connection_t* X11Connection();

// The root window of the toolkit's screen; XCB_NONE without a connection.
xcb_window_t X11Root();

// The atom of that name on the toolkit's connection, asked for once; XCB_ATOM_NONE without one.
xcb_atom_t X11Atom(const char* name);

// The window's X11 id, or XCB_NONE while it has none.
xcb_window_t X11Window(const QWidget& window);

// Where the top-level window's client area starts on the screen, in the server's pixels, as the
// server knows it: a window manager that frames a window need not tell the window where it put
// it. The one translation of window coordinates to the screen's.
std::optional<QPoint> X11ScreenPosition(const QWidget& window);

// The 32-bit values of a window's property of that type; empty where it has none.
std::vector<std::uint32_t> X11Values(xcb_window_t window, const char* property, xcb_atom_t type);

// The frame the window manager states around the window (_NET_FRAME_EXTENTS), in the server's
// pixels; nothing while it states none.
std::optional<QMargins> X11FrameExtents(const QWidget& window);

// Whether a window manager announces itself on the root window (_NET_SUPPORTING_WM_CHECK).
bool X11WindowManagerAnnounced();

// Whether the keyboard is with no window of any client: the root, PointerRoot or none.
bool X11KeyboardIsNowhere();

// The response type of an event the toolkit hands its native filters, without the bit that
// marks an event sent by another client.
inline std::uint8_t X11EventType(const void* event) {
    return static_cast<const xcb_generic_event_t*>(event)->response_type & 0x7F;
}

#endif
