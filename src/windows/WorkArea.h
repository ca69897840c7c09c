#pragma once

class QMainWindow;

// The main window fills the desktop's work area, in whole device pixels so that its board is
// drawn pixel for pixel at every scale factor.

// Fixes the window's size to the work area and places it at the area's corner; the menu bar's
// height is rounded up to whole device pixels. Where the compositor places windows and tells no
// work area (Wayland itself), the window is asked for maximised instead.
void FixToWorkArea(QMainWindow& window);

// True on Wayland itself, where windows cannot place themselves and learn the area the desktop's
// panels leave only from the size a maximised window is given.
bool CompositorPlacesWindows();

// Window managers add their frame outside the window; once it is known, the window shrinks so
// that frame and all fill the work area exactly.
void FitFrameIntoWorkArea(QMainWindow& window);
