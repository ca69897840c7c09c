#pragma once

#include <chrono>
#include <functional>

class QWidget;

// Lets events run until the window manager has put a window just shown on the screen and the
// window has been painted there, for at most `limit`, or until `stop` says so. A window shown
// just before a stretch without events (a quick build) is then on the screen, painted, before
// anything else opens over it. Driven by the events that may end the wait (the window exposed,
// a window closed or hidden), not by polling.
void WaitUntilOnScreen(QWidget& window, std::chrono::milliseconds limit,
                       const std::function<bool()>& stop);

// A window manager frames and maps a new window within milliseconds; one that does not is not
// waited for longer than this.
inline constexpr std::chrono::milliseconds WindowManagerWait{1000};
