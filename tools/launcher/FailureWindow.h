#pragma once

#include <string>

// Why a puzzle cannot start, told to someone who may have started it from a file manager: in a
// small window drawn with the X server's core font (no toolkit, no library beyond the statically
// linked libxcb, so it works when the bundle is what is damaged), and on the error output.

// Prints "tavrin: REASON" on the error output, then shows "This puzzle cannot start: REASON" in a
// window captioned "Tavrin" until it is closed. Without a display it only prints.
void ReportStartFailure(const std::string& reason);

// Shows `text` (UTF-8; lines break at '\n' and are wrapped) in the window captioned `title`
// until it is closed, for a reason printed already. Returns false when no display was reached.
bool ShowFailureWindow(const std::string& title, const std::string& text);
