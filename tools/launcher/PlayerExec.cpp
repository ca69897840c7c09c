#include "PlayerExec.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <unistd.h>

namespace {

// Settings meant for the machine's own Qt or ALSA, which would point the bundled ones at
// plugins or files of another version.
void SetEnvironment(const std::string& folder, const std::string& puzzle) {
    setenv("TAVRIN_PUZZLE_FILE", puzzle.c_str(), 1);
    setenv("TAVRIN_SOUNDFONT", (folder + "/default-GM.sf2").c_str(), 1);
    setenv("FONTCONFIG_FILE", (folder + "/fonts.conf").c_str(), 1);
    unsetenv("QT_PLUGIN_PATH");
    unsetenv("QT_QPA_PLATFORM_PLUGIN_PATH");
    // Only the xcb and offscreen platforms travel: a Wayland desktop runs the puzzle through
    // XWayland.
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform == nullptr || std::string_view(platform) != "offscreen") {
        setenv("QT_QPA_PLATFORM", "xcb", 1);
    }
    // A machine without ALSA's own configuration uses the bundled copy.
    if (access("/usr/share/alsa/alsa.conf", R_OK) != 0) {
        setenv("ALSA_CONFIG_DIR", (folder + "/share/alsa").c_str(), 1);
    }
}

} // namespace

std::string RunPlayer(const std::string& folder, const std::string& puzzle) {
    SetEnvironment(folder, puzzle);
    const std::string loader = folder + "/ld-linux-x86-64.so.2";
    const std::string libraries = folder + "/lib";
    const std::string player = folder + "/tavrin";
    const char* argv[] = {loader.c_str(),    "--argv0",      puzzle.c_str(), "--library-path",
                          libraries.c_str(), player.c_str(), nullptr};
    execv(loader.c_str(), const_cast<char* const*>(argv));
    return "cannot run " + loader + ": " + std::strerror(errno);
}
