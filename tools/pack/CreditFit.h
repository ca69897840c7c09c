#pragma once

#include <string>

// What the loading window shows of a credit line: it cuts each line to its width in its font
// (11-pixel sans serif, 289 pixels) and ends a cut line with an ellipsis. `utf8` comes back as
// it is when it fits. Measured with Qt's offscreen platform, so it needs no display.
std::string VisibleCreditLine(const std::string& utf8);
