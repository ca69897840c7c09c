#pragma once

#include "base/Result.h"

#include <string>

// Runs the unpacked player in `folder` through the loader bundled with it, so that it loads the
// bundled libraries only and none of the machine's:
//   <folder>/ld-linux-x86-64.so.2 --argv0 PUZZLE --library-path <folder>/lib <folder>/tavrin
// The kernel's program is then the loader, so the puzzle's own path travels in
// TAVRIN_PUZZLE_FILE; the SoundFont in TAVRIN_SOUNDFONT; fonts through FONTCONFIG_FILE. Qt finds
// its plugins through qt.conf beside the loader, so no plugin path leaks to programs the player
// starts. No LD_* variable (nor GCONV_PATH) reaches the loader; every variable changed is listed
// with its old value in TAVRIN_SAVED_ENVIRONMENT (package/SavedEnvironment.h), which the player
// puts back for programs it starts. Returns only when the loader cannot be run, with the reason.
Failure RunPlayer(const std::string& folder, const std::string& puzzle);
