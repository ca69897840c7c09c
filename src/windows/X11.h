#pragma once

// The X server the toolkit talks to, for the few things the toolkit does not offer: pointer
// confinement, the window manager's frame and its close requests. Only where X11 is built in.
#ifdef TAVRIN_HAVE_XCB

#include <QPoint>
#include <cstdint>
#include <optional>
#include <xcb/xcb.h>

class QWidget;

// The toolkit's own connection, or null where it does not run on X11 (Wayland, offscreen).
xcb_connection_t* X11Connection();

// The atom of that name on `connection`, or XCB_ATOM_NONE.
std::uint32_t X11Atom(xcb_connection_t* connection, const char* name);

// Where the window's top-left corner lies on the screen, in the server's pixels, as the server
// knows it: a window manager that frames a window need not tell the window where it put it.
std::optional<QPoint> X11ScreenPosition(const QWidget& window);

#endif
