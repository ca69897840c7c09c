#include "LoaderCheck.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <map>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr const char* SystemLoader = "/lib64/ld-linux-x86-64.so.2";
constexpr std::size_t SaidLimit = 600;

// All that a lean player needs on Debian 12 (the README's list).
constexpr const char* AllPackages =
    "libqt6widgets6 qt6-qpa-plugins libjpeg62-turbo libfluidsynth3 timgm6mb-soundfont";

// The packages that bring each library the player names itself; the rest come with them.
const std::map<std::string, std::string>& PackageOfLibrary() {
    static const std::map<std::string, std::string> table = {
        {"libQt6Widgets.so.6", "libqt6widgets6 qt6-qpa-plugins"},
        {"libQt6Gui.so.6", "libqt6widgets6 qt6-qpa-plugins"},
        {"libQt6Core.so.6", "libqt6widgets6 qt6-qpa-plugins"},
        {"libjpeg.so.62", "libjpeg62-turbo"},
        {"libxcb.so.1", "libxcb1"},
        {"libstdc++.so.6", "libstdc++6"},
        {"libgcc_s.so.1", "libgcc-s1"},
        {"libm.so.6", "libc6"},
        {"libc.so.6", "libc6"},
    };
    return table;
}

// Runs `argv` and returns its status (as waitpid gives it) with its output and error output.
// A portable player's check runs without the user's LD_* settings, as the player itself does.
int RunCapturing(const std::vector<std::string>& argv, bool ownLoader, std::string& output) {
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) {
        return -1;
    }
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(pipeFds[1], 1);
        dup2(pipeFds[1], 2);
        for (const char* name : {"LD_PRELOAD", "LD_AUDIT", "LD_LIBRARY_PATH", "GCONV_PATH"}) {
            if (ownLoader) {
                unsetenv(name);
            }
        }
        // As ldd does: the loader lists every library, a missing one as "not found", and goes on.
        setenv("LD_TRACE_LOADED_OBJECTS", "1", 1);
        std::vector<char*> args;
        for (const std::string& a : argv) {
            args.push_back(const_cast<char*>(a.c_str()));
        }
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
    close(pipeFds[1]);
    char buffer[4096];
    for (ssize_t n; (n = read(pipeFds[0], buffer, sizeof buffer)) != 0;) {
        if (n > 0) {
            output.append(buffer, static_cast<std::size_t>(n));
        } else if (errno != EINTR) {
            break;
        }
    }
    close(pipeFds[0]);
    int status = -1;
    while (pid > 0 && waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return pid > 0 ? status : -1;
}

// The sonames of the loader's "NAME => not found" lines.
std::vector<std::string> NotFound(const std::string& listing) {
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start < listing.size()) {
        const std::size_t end = std::min(listing.find('\n', start), listing.size());
        const std::string line = listing.substr(start, end - start);
        if (const std::size_t arrow = line.find(" => not found"); arrow != std::string::npos) {
            const std::size_t first = line.find_first_not_of(" \t");
            names.push_back(line.substr(first, arrow - first));
        }
        start = end + 1;
    }
    return names;
}

std::string LastPart(const std::string& text) {
    const std::size_t end = text.find_last_not_of(" \n");
    const std::string trimmed = end == std::string::npos ? "" : text.substr(0, end + 1);
    return trimmed.size() > SaidLimit ? "..." + trimmed.substr(trimmed.size() - SaidLimit)
                                      : trimmed;
}

} // namespace

LoadCheck CheckLoading(const std::string& folder, bool lean) {
    LoadCheck check;
    const std::string loader = lean ? SystemLoader : folder + "/ld-linux-x86-64.so.2";
    if (lean && access(loader.c_str(), X_OK) != 0) {
        check.LoaderMissing = true;
        return check;
    }
    std::vector<std::string> argv = {loader};
    if (!lean) {
        argv.insert(argv.end(), {"--library-path", folder + "/lib"});
    }
    argv.push_back(folder + "/tavrin");
    std::string output;
    const int status = RunCapturing(argv, !lean, output);
    check.Checked = status != -1;
    check.Missing = NotFound(output);
    check.Loads = status == 0 && check.Missing.empty();
    if (!check.Loads) {
        check.Said = LastPart(output);
    }
    return check;
}

std::string MissingLibrariesText(const LoadCheck& check) {
    const std::string intro = "it is the lean kind, which needs Debian 12's libraries (or "
                              "the same versions) installed on this machine";
    if (check.LoaderMissing || check.Missing.empty()) {
        return intro + ", and they are missing" +
               (check.LoaderMissing ? " (there is no " + std::string(SystemLoader) + ")" : "") +
               ". Install them with:\n\n  apt-get install " + AllPackages +
               (check.Said.empty() ? "" : "\n\nThe loader said: " + check.Said);
    }
    std::string names;
    std::vector<std::string> packages;
    for (const std::string& soname : check.Missing) {
        names += (names.empty() ? "" : ", ") + soname;
        const auto known = PackageOfLibrary().find(soname);
        const std::string package = known != PackageOfLibrary().end() ? known->second : "";
        if (!package.empty() &&
            std::find(packages.begin(), packages.end(), package) == packages.end()) {
            packages.push_back(package);
        }
    }
    std::string install;
    for (const std::string& package : packages) {
        install += " " + package;
    }
    return intro + ". These are missing: " + names +
           ".\n\nInstall them with:\n\n  apt-get install" +
           (install.empty() ? " " + std::string(AllPackages) : install);
}
