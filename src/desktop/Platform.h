#pragma once

// Which desktop the toolkit runs on, asked in one place.

// True on Wayland itself (any of the toolkit's Wayland platforms), where windows cannot place
// themselves and learn the area the desktop's panels leave only from the size a maximised window
// is given; false on X11, Xwayland included.
bool OnWaylandItself();

// Whether a window manager (or a Wayland compositor) looks after the windows: it hands the
// keyboard on when a window goes. False on an X server where none is announced, and offscreen.
bool WindowManagerPresent();
