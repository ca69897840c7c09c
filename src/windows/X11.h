#pragma once

// The X server the toolkit talks to, for the few things the toolkit does not offer: pointer
// confinement, the window manager's frame and its close requests. Only where X11 is built in.
#ifdef TAVRIN_HAVE_XCB

#include <cstdint>
#include <xcb/xcb.h>

// The toolkit's own connection, or null where it does not run on X11 (Wayland, offscreen).
xcb_connection_t* X11Connection();

// The atom of that name on `connection`, or XCB_ATOM_NONE.
std::uint32_t X11Atom(xcb_connection_t* connection, const char* name);

#endif
