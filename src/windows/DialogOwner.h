#pragma once

class QWidget;

// Where a dialog or message box goes. A window manager keeps a window that stays on top (the
// loading window) above every normal window, a modal box of the player's own included: such a
// box would open hidden under it, and the player would look frozen.

// The window a box about to open belongs to: the open modal window, else a visible
// window of ours that stays on top, else the active window, else any visible window of ours.
QWidget* DialogOwner();

// Keeps `dialog` above the windows of ours that stay on top, while any of them shows. Call it
// before the dialog is shown.
void KeepAboveStayOnTopWindows(QWidget& dialog);
