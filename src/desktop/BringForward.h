#pragma once

#include <cstdint>

// Asks the window manager to bring forward the top-level window of process `pid` (or of a child
// of it), as a click on its task bar entry would. Does nothing where the platform cannot (no X11
// connection, or no such window).
void BringForward(std::int64_t pid);
