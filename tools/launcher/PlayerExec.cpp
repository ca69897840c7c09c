#include "PlayerExec.h"

#include "package/SavedEnvironment.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

// Every change to the environment goes through here, so that the player can give programs it
// starts the values from before.
class EnvironmentChanges {
public:
    void Set(const std::string& name, const std::string& value) { Change({name, value}); }
    void Unset(const std::string& name) { Change({name, std::nullopt}); }
    // Lists the old values in TAVRIN_SAVED_ENVIRONMENT, whose own old value is listed too.
    void Publish() {
        const char* own = std::getenv(SavedEnvironmentName);
        Before.push_back(
            {SavedEnvironmentName, own ? std::optional<std::string>(own) : std::nullopt});
        setenv(SavedEnvironmentName, EncodeVariables(Before).c_str(), 1);
    }

private:
    void Change(const EnvironmentVariable& variable) {
        const auto before = SetVariables({variable});
        if (before.front().Value != variable.Value) {
            Before.push_back(before.front());
        }
    }
    std::vector<EnvironmentVariable> Before;
};

// Variables that make a loader load or run code of the machine's own (LD_PRELOAD, LD_AUDIT,
// LD_LIBRARY_PATH, gconv modules): with the bundled glibc they would crash the puzzle or worse.
std::vector<std::string> MachineLoaderVariables() {
    std::vector<std::string> names;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string_view text(*entry);
        const std::string_view name = text.substr(0, text.find('='));
        if (name.starts_with("LD_") || name == "GCONV_PATH") {
            names.emplace_back(name);
        }
    }
    return names;
}

// Settings meant for the machine's own Qt or ALSA, which would point the bundled ones at
// plugins or files of another version.
void SetEnvironment(EnvironmentChanges& changes, const std::string& folder,
                    const std::string& puzzle) {
    for (const std::string& name : MachineLoaderVariables()) {
        changes.Unset(name);
    }
    changes.Set("TAVRIN_PUZZLE_FILE", puzzle);
    changes.Set("TAVRIN_SOUNDFONT", folder + "/default-GM.sf2");
    changes.Set("FONTCONFIG_FILE", folder + "/fonts.conf");
    changes.Unset("QT_PLUGIN_PATH");
    changes.Unset("QT_QPA_PLATFORM_PLUGIN_PATH");
    // Only the xcb and offscreen platforms travel: a Wayland desktop runs the puzzle through
    // XWayland.
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform == nullptr || std::string_view(platform) != "offscreen") {
        changes.Set("QT_QPA_PLATFORM", "xcb");
    }
    // A machine without ALSA's own configuration uses the bundled copy.
    if (access("/usr/share/alsa/alsa.conf", R_OK) != 0) {
        changes.Set("ALSA_CONFIG_DIR", folder + "/share/alsa");
    }
}

} // namespace

Failure RunPlayer(const std::string& folder, const std::string& puzzle) {
    EnvironmentChanges changes;
    SetEnvironment(changes, folder, puzzle);
    changes.Publish();
    const std::string loader = folder + "/ld-linux-x86-64.so.2";
    const std::string libraries = folder + "/lib";
    const std::string player = folder + "/tavrin";
    const char* argv[] = {loader.c_str(),    "--argv0",      puzzle.c_str(), "--library-path",
                          libraries.c_str(), player.c_str(), nullptr};
    execv(loader.c_str(), const_cast<char* const*>(argv));
    return Failure{"cannot run " + loader + ": " + std::strerror(errno)};
}
