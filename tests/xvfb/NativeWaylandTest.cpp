// The demo on Wayland itself, with no X server to fall back on (weston, headless): started ten
// times, half of them at scale 1.5, its board window fills the area weston's panel leaves on the
// output, and the player neither crashes nor leaves files behind.
//   native_wayland_test TAVRIN-DEMO
// Run it under run-under-weston.sh --native, which makes weston-debug able to list the windows.
#include "xvfb/X11Support.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <regex>
#include <signal.h>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

constexpr int Launches = 10;

struct Rect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    int Area() const { return (Right - Left) * (Bottom - Top); }
    bool operator==(const Rect&) const = default;
};

// What weston shows: the output, its panel and the player's windows (largest first is not
// promised; the board is the largest).
struct Scene {
    std::optional<Rect> Output;
    std::optional<Rect> Panel;
    std::vector<Rect> PlayerWindows;
};

std::string SceneGraphText() {
    std::string text;
    FILE* pipe = popen("weston-debug scene-graph 2>/dev/null", "r");
    if (pipe == nullptr) {
        return text;
    }
    char buffer[4096];
    while (const size_t n = fread(buffer, 1, sizeof buffer, pipe)) {
        text.append(buffer, n);
    }
    pclose(pipe);
    return text;
}

// Each "position: (x0, y0) -> (x1, y1)" line belongs to the heading line before it.
Scene ReadScene(pid_t pid) {
    static const std::regex position(R"(position: \((-?\d+), (-?\d+)\) -> \((-?\d+), (-?\d+)\))");
    const std::string text = SceneGraphText();
    Scene scene;
    std::string heading;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = std::min(text.find('\n', start), text.size());
        const std::string line = text.substr(start, end - start);
        start = end + 1;
        std::smatch m;
        if (!std::regex_search(line, m, position)) {
            heading = line;
            continue;
        }
        const Rect r{std::stoi(m[1]), std::stoi(m[2]), std::stoi(m[3]), std::stoi(m[4])};
        if (heading.find("Output 0") != std::string::npos) {
            scene.Output = r;
        } else if (heading.find("panel for output") != std::string::npos) {
            scene.Panel = r;
        } else if (heading.find("xdg_toplevel, PID " + std::to_string(pid) + ",") !=
                   std::string::npos) {
            scene.PlayerWindows.push_back(r);
        }
    }
    return scene;
}

std::optional<Rect> Largest(const std::vector<Rect>& windows) {
    std::optional<Rect> largest;
    for (const Rect& r : windows) {
        if (!largest || r.Area() > largest->Area()) {
            largest = r;
        }
    }
    return largest;
}

// The scene once the board and the loading window show and the board's place has settled.
std::optional<Scene> SettledScene(pid_t pid) {
    std::optional<Rect> last;
    for (int i = 0; i < 100; ++i) {
        const Scene scene = ReadScene(pid);
        const std::optional<Rect> board = Largest(scene.PlayerWindows);
        if (scene.PlayerWindows.size() >= 2 && board && last && *board == *last) {
            return scene;
        }
        last = board;
        std::this_thread::sleep_for(200ms);
    }
    return std::nullopt;
}

bool Near(int a, int b) {
    return std::abs(a - b) <= 2;
}

void Launch(const std::string& demo, const std::string& socket, int i) {
    const bool scaled = i % 2 == 1;
    const std::string which = " (launch " + std::to_string(i + 1) + (scaled ? ", scale 1.5)" : ")");
    const fs::path home = MakePlayerHome();
    std::vector<std::string> add = {"WAYLAND_DISPLAY=" + socket};
    if (scaled) {
        add.emplace_back("QT_SCALE_FACTOR=1.5");
    }
    const pid_t pid = StartPlayerWithEnvironment(
        demo, home, {}, {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY", "QT_SCALE_FACTOR"}, add);
    const std::optional<Scene> scene = SettledScene(pid);
    Check(scene.has_value(), "the board and the loading window show" + which);
    if (scene && scene->Output && scene->Panel) {
        const Rect board = *Largest(scene->PlayerWindows);
        const Rect& output = *scene->Output;
        std::printf("board window %d,%d to %d,%d; panel down to %d; output %dx%d\n", board.Left,
                    board.Top, board.Right, board.Bottom, scene->Panel->Bottom, output.Right,
                    output.Bottom);
        Check(board.Left >= output.Left && board.Top >= scene->Panel->Bottom &&
                  board.Right <= output.Right && board.Bottom <= output.Bottom,
              "the board window lies wholly on the screen, below the panel" + which);
        Check(Near(board.Left, output.Left) && Near(board.Top, scene->Panel->Bottom) &&
                  Near(board.Right, output.Right) && Near(board.Bottom, output.Bottom),
              "the board window fills the area the panel leaves" + which);
    } else {
        Check(false, "weston lists its output and panel" + which);
    }
    kill(pid, SIGTERM);
    Check(EndsNormally(pid, 20s), "the player closes normally" + which);
    Check(!PlayerFilesLeft(home), "nothing is left behind" + which);
    fs::remove_all(home);
}

} // namespace

int main(int argc, char** argv) {
    const char* socket = std::getenv("WAYLAND_DISPLAY");
    if (argc != 2 || socket == nullptr) {
        std::fprintf(stderr,
                     "usage: run-under-weston.sh --native native_wayland_test TAVRIN-DEMO\n");
        return 2;
    }
    for (int i = 0; i < Launches; ++i) {
        Launch(argv[1], socket, i);
    }
    return CheckSummary();
}
