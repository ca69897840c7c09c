#pragma once

#include <string>
#include <vector>

// Whether a loader can load the player in `folder` with all its libraries: the loader runs as ldd
// runs it, mapping every library the player needs and running nothing. A lean player is checked
// with the system's loader, a portable one with the loader and libraries bundled beside it.
struct LoadCheck {
    bool Loads = false;
    // False when the check itself could not run (no pipe, no process): nothing is known.
    bool Checked = true;
    // The system's loader itself is missing (a lean player on a machine without glibc).
    bool LoaderMissing = false;
    // The libraries the loader did not find (their sonames).
    std::vector<std::string> Missing;
    // What the loader said when it failed otherwise, its last lines.
    std::string Said;
};

LoadCheck CheckLoading(const std::string& folder, bool lean);

// What the recipient of a lean puzzle reads when `check` failed: what is missing and the
// Debian packages to install.
std::string MissingLibrariesText(const LoadCheck& check);
