#pragma once

#include <string>

// The file the player reads its package from: the path the portable puzzle's launcher gives in
// TAVRIN_PUZZLE_FILE (there the running program is the bundled loader, not the puzzle), else the
// running executable. The variable is removed once read, so that no program the player starts
// (a browser opening a link, and a puzzle opened from it) takes it for its own.
// Call it before any other thread runs: it changes the environment.
std::string OwnPackagePath();
