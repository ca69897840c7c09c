// The demo under a real X server: waits for its board, drags a piece with real pointer events
// (XTEST), checks the screen changed where the piece went, closes the window the way a window
// manager asks, and checks the player removed its temporary files.
//   real_window_test TAVRIN-DEMO
// Run it under xvfb-run; it makes its own temporary folder and home for the player.
#include "xvfb/ScreenSupport.h"
#include "xvfb/X11Support.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

extern char** environ;

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

const char* const Title = "Tavrin Christmas Edition";
constexpr std::uint32_t BoardColor = 0x008080; // the demo's board, as 0xRRGGBB

struct Window {
    xcb_window_t Id;
    int X, Y, Width, Height;
};

bool HasWindowManager(const Screen& s) {
    const xcb_atom_t check = Atom(s.Connection, "_NET_SUPPORTING_WM_CHECK");
    auto* reply = xcb_get_property_reply(
        s.Connection, xcb_get_property(s.Connection, 0, s.Root->root, check, XCB_ATOM_WINDOW, 0, 1),
        nullptr);
    const bool has = reply != nullptr && xcb_get_property_value_length(reply) == 4;
    std::free(reply);
    return has;
}

bool IsViewable(const Screen& s, xcb_window_t w) {
    auto* attributes = xcb_get_window_attributes_reply(
        s.Connection, xcb_get_window_attributes(s.Connection, w), nullptr);
    const bool viewable = attributes != nullptr && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
    std::free(attributes);
    return viewable;
}

// The window's place on the screen, whether it sits on the root or in a window manager's frame.
std::optional<Window> Placed(const Screen& s, xcb_window_t w) {
    auto* origin = xcb_translate_coordinates_reply(
        s.Connection, xcb_translate_coordinates(s.Connection, w, s.Root->root, 0, 0), nullptr);
    auto* g = xcb_get_geometry_reply(s.Connection, xcb_get_geometry(s.Connection, w), nullptr);
    std::optional<Window> placed;
    if (origin != nullptr && g != nullptr) {
        placed = Window{w, origin->dst_x, origin->dst_y, g->width, g->height};
    }
    std::free(origin);
    std::free(g);
    return placed;
}

// Viewable windows captioned `title` among `parent`'s children and, for frames a window
// manager made, their children.
void FindCaptioned(const Screen& s, xcb_window_t parent, const std::string& title, int depth,
                   std::vector<Window>& found) {
    auto* tree = xcb_query_tree_reply(s.Connection, xcb_query_tree(s.Connection, parent), nullptr);
    if (tree == nullptr) {
        return;
    }
    const xcb_window_t* children = xcb_query_tree_children(tree);
    for (int i = 0; i < xcb_query_tree_children_length(tree); ++i) {
        if (!IsViewable(s, children[i])) {
            continue;
        }
        if (NetWmName(s.Connection, children[i]) == title) {
            if (const auto placed = Placed(s, children[i])) {
                found.push_back(*placed);
            }
        } else if (depth > 0) {
            FindCaptioned(s, children[i], title, depth - 1, found);
        }
    }
    std::free(tree);
}

// The mapped top-level windows captioned `title`, largest first.
std::vector<Window> PlayerWindows(const Screen& s, const std::string& title = Title) {
    std::vector<Window> found;
    FindCaptioned(s, s.Root->root, title, 2, found);
    std::sort(found.begin(), found.end(), [](const Window& a, const Window& b) {
        return a.Width * a.Height > b.Width * b.Height;
    });
    return found;
}

// A screen point deep inside a piece: its 11 x 11 neighbourhood is free of the board colour.
// The place the loading window covered is left out, in case the board has not repainted it.
std::optional<std::pair<int, int>> PiecePoint(const std::vector<std::uint32_t>& shot, int width,
                                              const Window& board, const Window& loading) {
    for (int y = board.Y + 60; y < board.Y + board.Height - 60; y += 4) {
        for (int x = board.X + 40; x < board.X + board.Width / 2; x += 4) {
            if (x >= loading.X - 10 && x < loading.X + loading.Width + 10 && y >= loading.Y - 10 &&
                y < loading.Y + loading.Height + 10) {
                continue;
            }
            bool inside = true;
            for (int dy = -5; dy <= 5 && inside; ++dy) {
                for (int dx = -5; dx <= 5 && inside; ++dx) {
                    inside =
                        shot[static_cast<std::size_t>((y + dy) * width + x + dx)] != BoardColor;
                }
            }
            if (inside) {
                return std::pair{x, y};
            }
        }
    }
    return std::nullopt;
}

// The screen's pixels inside `w`, saved as a PPM picture for a person to look at.
void SaveScreenshot(const std::vector<std::uint32_t>& shot, int width, const Window& w,
                    const fs::path& file) {
    std::ofstream out(file, std::ios::binary);
    out << "P6\n" << w.Width << " " << w.Height << "\n255\n";
    for (int y = w.Y; y < w.Y + w.Height; ++y) {
        for (int x = w.X; x < w.X + w.Width; ++x) {
            const std::uint32_t p = shot[static_cast<std::size_t>(y * width + x)];
            out.put(static_cast<char>(p >> 16))
                .put(static_cast<char>(p >> 8))
                .put(static_cast<char>(p));
        }
    }
}

// The loading window as painted: not left black, a banner of many colours at its top, and
// light controls (progress bar and button) at its bottom.
bool ShowsBannerAndControls(const std::vector<std::uint32_t>& shot, int width, const Window& w) {
    int black = 0;
    for (int y = w.Y; y < w.Y + w.Height; ++y) {
        for (int x = w.X; x < w.X + w.Width; ++x) {
            black += shot[static_cast<std::size_t>(y * width + x)] == 0;
        }
    }
    std::vector<std::uint32_t> banner;
    for (int y = w.Y + w.Height * 3 / 100; y < w.Y + w.Height * 35 / 100; ++y) {
        for (int x = w.X + w.Width / 10; x < w.X + w.Width * 9 / 10; ++x) {
            banner.push_back(shot[static_cast<std::size_t>(y * width + x)]);
        }
    }
    std::sort(banner.begin(), banner.end());
    const auto colours = std::unique(banner.begin(), banner.end()) - banner.begin();
    int light = 0;
    int controls = 0;
    for (int y = w.Y + w.Height * 86 / 100; y < w.Y + w.Height * 97 / 100; ++y) {
        for (int x = w.X + w.Width / 10; x < w.X + w.Width * 9 / 10; ++x) {
            const std::uint32_t p = shot[static_cast<std::size_t>(y * width + x)];
            light += (p >> 16 & 0xFF) > 150 && (p >> 8 & 0xFF) > 150 && (p & 0xFF) > 150;
            ++controls;
        }
    }
    std::printf(
        "loading window: %d black pixels, %ld banner colours, %d of %d control pixels light\n",
        black, static_cast<long>(colours), light, controls);
    return black * 50 < w.Width * w.Height && colours >= 30 && light * 2 >= controls;
}

int ChangedPixels(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b,
                  int width, int cx, int cy, int radius) {
    int changed = 0;
    for (int y = cy - radius; y <= cy + radius; ++y) {
        for (int x = cx - radius; x <= cx + radius; ++x) {
            const auto i = static_cast<std::size_t>(y * width + x);
            changed += a[i] != b[i];
        }
    }
    return changed;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: real_window_test TAVRIN-DEMO ARTIFACTS-FOLDER\n");
        return 2;
    }
    const fs::path artifacts = argv[2];
    fs::create_directories(artifacts);
    Screen s{xcb_connect(nullptr, nullptr), nullptr};
    if (xcb_connection_has_error(s.Connection) != 0) {
        std::printf("skipped: no X server could be reached\n");
        return 0;
    }
    s.Root = xcb_setup_roots_iterator(xcb_get_setup(s.Connection)).data;
    const int width = s.Root->width_in_pixels;

    const fs::path home = MakePlayerHome();
    // The player takes no command line: the toolkit's own options must change nothing.
    const pid_t player =
        StartPlayer(argv[1], home, {"-qwindowtitle", "Not the player", "-reverse"});
    Check(player > 0, "the demo starts");
    // Up to 30 s: a busy machine starts the player slowly.
    std::vector<Window> windows;
    for (int i = 0; i < 300 && windows.size() < 2; ++i) {
        std::this_thread::sleep_for(100ms);
        windows = PlayerWindows(s);
    }
    Check(windows.size() == 2, "the board and the loading window appear");
    if (windows.size() < 2) {
        std::printf("note: %zu of them found; the player's error output:\n", windows.size());
        std::ifstream log(home / "player.log");
        std::printf("%s\n", std::string(std::istreambuf_iterator<char>(log), {}).c_str());
        EndsNormally(player, 0s);
        return 1;
    }
    WaitForStableScreen(s);
    const Window board = windows[0];
    const Window loading = windows[1];
    const char* scale = std::getenv("QT_SCALE_FACTOR");
    const std::string desktop = std::string(HasWindowManager(s) ? "managed" : "bare") + "-scale-" +
                                (scale != nullptr ? scale : "1");
    const auto shown = Screenshot(s);
    SaveScreenshot(shown, width, loading, artifacts / ("loading-window-" + desktop + ".ppm"));
    Check(ShowsBannerAndControls(shown, width, loading),
          "the loading window shows its banner and controls");
    Check(fs::exists(PlayerTempFile(home, "tavrin.jpg")), "the picture is extracted");
    Check(fs::exists(PlayerTempFile(home, "tavrin.mid")), "the song is extracted");

    // "Start the game" at the bottom of the loading window, once the build has enabled it.
    for (int tries = 0; tries < 20 && PlayerWindows(s).size() > 1; ++tries) {
        Click(s, loading.X + loading.Width / 2, loading.Y + loading.Height - 20);
        std::this_thread::sleep_for(500ms);
    }
    Check(PlayerWindows(s).size() == 1, "the start button closes the loading window");
    WaitForStableScreen(s);

    const auto before = Screenshot(s);
    const auto grip = PiecePoint(before, width, board, loading);
    Check(grip.has_value(), "a piece lies on the board");
    if (grip) {
        const auto [x, y] = *grip;
        const int tx = board.X + board.Width * 3 / 4;
        const int ty = board.Y + board.Height / 2;
        Pointer(s, XCB_MOTION_NOTIFY, x, y);
        Pointer(s, XCB_BUTTON_PRESS);
        for (int step = 1; step <= 20; ++step) {
            Pointer(s, XCB_MOTION_NOTIFY, x + (tx - x) * step / 20, y + (ty - y) * step / 20);
        }
        Pointer(s, XCB_BUTTON_RELEASE);
        WaitForStableScreen(s);
        const auto after = Screenshot(s);
        Check(ChangedPixels(before, after, width, tx, ty, 20) > 200,
              "the screen shows the piece where it was dropped");
        Check(ChangedPixels(before, after, width, x, y, 5) > 0, "the piece left its old place");
    }

    RequestClose(s.Connection, board.Id);
    Check(EndsNormally(player, 20s), "a close request ends the player normally");
    Check(!PlayerFilesLeft(home), "closing removes the temporary files");
    xcb_disconnect(s.Connection);
    std::ifstream log(home / "player.log");
    const std::string said(std::istreambuf_iterator<char>(log), {});
    // The thread that reads ahead at start-up runs before the application object exists; had it
    // made a Qt object, Qt would have taken it for the main thread and said so.
    Check(said.find("not created in the main() thread") == std::string::npos,
          "the application object lives in the main thread");
    const int status = CheckSummary();
    if (status != 0) {
        std::printf("the player said:\n%s\n", said.c_str());
    }
    fs::remove_all(home);
    return status;
}
