#include "xvfb/X11Support.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace fs = std::filesystem;

namespace {

int Passed = 0;
int Failed = 0;

} // namespace

void Check(bool ok, const std::string& what) {
    std::printf("%s: %s\n", ok ? "ok" : "FAILED", what.c_str());
    std::fflush(stdout);
    ok ? ++Passed : ++Failed;
}

int CheckSummary() {
    std::printf("%d passed, %d failed\n", Passed, Failed);
    return Failed == 0 ? 0 : 1;
}

xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
    auto* reply = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, std::strlen(name), name), nullptr);
    const xcb_atom_t atom = reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return atom;
}

std::string NetWmName(xcb_connection_t* c, xcb_window_t window) {
    auto* reply = xcb_get_property_reply(
        c, xcb_get_property(c, 0, window, Atom(c, "_NET_WM_NAME"), Atom(c, "UTF8_STRING"), 0, 256),
        nullptr);
    std::string name;
    if (reply != nullptr) {
        name.assign(static_cast<const char*>(xcb_get_property_value(reply)),
                    static_cast<std::size_t>(xcb_get_property_value_length(reply)));
    }
    std::free(reply);
    return name;
}

void RequestClose(xcb_connection_t* c, xcb_window_t window) {
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = Atom(c, "WM_PROTOCOLS");
    message.data.data32[0] = Atom(c, "WM_DELETE_WINDOW");
    message.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(c, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&message));
    xcb_flush(c);
}

bool EndsNormally(pid_t pid, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    do {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
                std::printf("the player ended with status %d (signal %d)\n",
                            WIFEXITED(status) ? WEXITSTATUS(status) : -1,
                            WIFSIGNALED(status) ? WTERMSIG(status) : 0);
            }
            return WIFEXITED(status) && WEXITSTATUS(status) == 0;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    } while (std::chrono::steady_clock::now() < end);
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return false;
}

int Run(const std::vector<std::string>& command) {
    std::vector<char*> argv;
    std::vector<std::string> copy = command;
    for (std::string& a : copy) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
        return -1;
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

fs::path MakePlayerHome() {
    char pattern[] = "/tmp/tavrin-home-XXXXXX";
    const fs::path home = mkdtemp(pattern);
    fs::create_directories(home / "runtime");
    fs::permissions(home / "runtime", fs::perms::owner_all);
    std::ofstream(home / ".asoundrc")
        << "pcm.!default { type null }\nctl.!default { type hw card 0 }\n";
    return home;
}

fs::path PlayerTempFile(const fs::path& home, const std::string& name) {
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(home / "runtime", ignored)) {
        if (entry.path().filename().string().rfind("tavrin-", 0) == 0) {
            return entry.path() / name;
        }
    }
    return home / "runtime" / "no-player-folder" / name;
}

bool PlayerFilesLeft(const fs::path& home) {
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(home / "runtime", ignored)) {
        if (entry.path().filename().string().rfind("tavrin", 0) == 0) {
            return true;
        }
    }
    return false;
}

pid_t StartPlayer(const std::string& player, const fs::path& home,
                  const std::vector<std::string>& arguments) {
    return StartPlayerWithEnvironment(player, home, arguments, {"QT_QPA_PLATFORM"},
                                      {"QT_QPA_PLATFORM=xcb"});
}

pid_t StartPlayerWithEnvironment(const std::string& player, const fs::path& home,
                                 const std::vector<std::string>& arguments,
                                 const std::vector<std::string>& drop,
                                 const std::vector<std::string>& add) {
    std::vector<std::string> dropped = {"HOME", "XDG_RUNTIME_DIR"};
    dropped.insert(dropped.end(), drop.begin(), drop.end());
    std::vector<std::string> variables;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string v = *e;
        const std::string name = v.substr(0, v.find('='));
        if (std::find(dropped.begin(), dropped.end(), name) == dropped.end()) {
            variables.push_back(v);
        }
    }
    variables.push_back("HOME=" + home.string());
    variables.push_back("XDG_RUNTIME_DIR=" + (home / "runtime").string());
    variables.insert(variables.end(), add.begin(), add.end());
    std::vector<char*> envp;
    for (std::string& v : variables) {
        envp.push_back(v.data());
    }
    envp.push_back(nullptr);
    std::vector<std::string> words = {player};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& w : words) {
        argv.push_back(w.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    const std::string log = (home / "player.log").string();
    posix_spawn_file_actions_addopen(&files, 2, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid = -1;
    const int started =
        posix_spawn(&pid, player.c_str(), &files, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&files);
    return started == 0 ? pid : -1;
}

void WriteBitmap(const fs::path& file, int width, int height, std::uint32_t rgb, int stripeWidth) {
    const int row = (width * 3 + 3) / 4 * 4;
    const std::uint32_t size = 54 + static_cast<std::uint32_t>(row * height);
    std::vector<char> bytes(size, 0);
    const auto put = [&](std::size_t at, std::uint32_t value, int count) {
        std::memcpy(bytes.data() + at, &value, static_cast<std::size_t>(count));
    };
    bytes[0] = 'B';
    bytes[1] = 'M';
    put(2, size, 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, static_cast<std::uint32_t>(width), 4);
    put(22, static_cast<std::uint32_t>(height), 4);
    put(26, 1, 2);
    put(28, 24, 2);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool dim = stripeWidth > 0 && (x / stripeWidth) % 2 == 0;
            const std::uint32_t p = dim ? (rgb / 2 & 0x7F7F7F) : rgb;
            const std::size_t at = 54 + static_cast<std::size_t>(y * row + x * 3);
            bytes[at] = static_cast<char>(p & 0xFF);
            bytes[at + 1] = static_cast<char>(p >> 8 & 0xFF);
            bytes[at + 2] = static_cast<char>(p >> 16 & 0xFF);
        }
    }
    std::ofstream(file, std::ios::binary).write(bytes.data(), static_cast<long>(bytes.size()));
}
