// Under a real X server (Xvfb): the real player, packed with a large picture, a song and a start
// message, is asked to close (WM_DELETE_WINDOW, as a window manager asks) at moments of its
// start-up: before the picture is loaded, during the build with the start message and the song
// still to come, and while a zoom notice is open. Each time it must end by itself within a
// generous limit, show no box (no further one), and leave no temporary file behind.
//   startup_close_test TAVRIN-PACK TAVRIN-PLAYER SONG
#include "xvfb/ScreenSupport.h"
#include "xvfb/X11Support.h"

#include <QCoreApplication>
#include <QImage>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>
#include <xcb/xcb.h>

extern char** environ;

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

constexpr int LoadingWidth = 321;
constexpr int LoadingHeight = 373;
// Generous: the player ends at once; this only allows for a busy machine.
constexpr auto ExitLimit = 10s;

struct Window {
    xcb_window_t Id;
    int Width, Height;
};

// The mapped top-level windows.
std::vector<Window> MappedWindows(xcb_connection_t* c, xcb_window_t root) {
    std::vector<Window> found;
    auto* tree = xcb_query_tree_reply(c, xcb_query_tree(c, root), nullptr);
    if (tree == nullptr) {
        return found;
    }
    const xcb_window_t* children = xcb_query_tree_children(tree);
    for (int i = 0; i < xcb_query_tree_children_length(tree); ++i) {
        auto* attributes =
            xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, children[i]), nullptr);
        const bool viewable =
            attributes != nullptr && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
        std::free(attributes);
        auto* g = viewable ? xcb_get_geometry_reply(c, xcb_get_geometry(c, children[i]), nullptr)
                           : nullptr;
        if (g != nullptr) {
            found.push_back({children[i], g->width, g->height});
            std::free(g);
        }
    }
    std::free(tree);
    return found;
}

enum class Moment { MainWindowAppears, LoadingWindowAppears, BoxAppears };

const char* NameOf(Moment moment) {
    switch (moment) {
    case Moment::MainWindowAppears:
        return "as the main window appears, before the picture is loaded";
    case Moment::LoadingWindowAppears:
        return "as the loading window appears, during the build, the start message pending";
    case Moment::BoxAppears:
        return "while start-up's first box is open";
    }
    return "";
}

// Starts the player, closes its main window at the moment, and checks how it ends.
void CloseAt(Moment moment, const std::string& package, const std::string& kind,
             xcb_connection_t* c, xcb_window_t root) {
    const fs::path home = MakePlayerHome();
    const std::string what = kind + ", " + NameOf(moment);
    std::set<xcb_window_t> before;
    for (const Window& w : MappedWindows(c, root)) {
        before.insert(w.Id);
    }

    const pid_t pid = StartPlayer(package, home);
    std::optional<xcb_window_t> main;
    std::optional<xcb_window_t> notice;
    bool loading = false;
    const auto giveUp = std::chrono::steady_clock::now() + 60s;
    while (std::chrono::steady_clock::now() < giveUp) {
        for (const Window& w : MappedWindows(c, root)) {
            if (before.count(w.Id) != 0) {
                continue;
            }
            if (w.Width == LoadingWidth && w.Height == LoadingHeight) {
                loading = true;
            } else if (w.Width > LoadingWidth && !main) {
                main = w.Id;
            } else if (main && w.Id != *main && !notice) {
                notice = w.Id;
            }
        }
        const bool came = main && (moment == Moment::MainWindowAppears ||
                                   (moment == Moment::LoadingWindowAppears && loading) ||
                                   (moment == Moment::BoxAppears && notice));
        if (came) {
            break;
        }
        std::this_thread::sleep_for(5ms);
    }
    if (moment == Moment::BoxAppears) {
        std::this_thread::sleep_for(300ms); // the box is up and its loop running
    }
    Check(main.has_value() && (moment == Moment::MainWindowAppears ||
                               (moment == Moment::LoadingWindowAppears && loading) ||
                               (moment == Moment::BoxAppears && notice)),
          what + ": the moment came");
    if (main) {
        RequestClose(c, *main);
    }

    bool exited = false;
    bool boxShown = false;
    int status = -1;
    const auto limit = std::chrono::steady_clock::now() + ExitLimit;
    while (!exited && std::chrono::steady_clock::now() < limit) {
        for (const Window& w : MappedWindows(c, root)) {
            const bool known = before.count(w.Id) != 0 || (main && w.Id == *main) ||
                               (notice && w.Id == *notice) ||
                               (w.Width == LoadingWidth && w.Height == LoadingHeight);
            if (!known && !boxShown) {
                std::printf("  a window of %d x %d appeared\n", w.Width, w.Height);
            }
            boxShown |= !known;
        }
        exited = waitpid(pid, &status, WNOHANG) == pid;
        std::this_thread::sleep_for(20ms);
    }
    if (!exited) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    Check(exited && WIFEXITED(status) && WEXITSTATUS(status) == 0,
          what + ": the player ends by itself, normally, within 10 s");
    Check(!boxShown, what + ": no box appears (any more)");
    Check(!PlayerFilesLeft(home), what + ": no temporary file is left");
    fs::remove_all(home);
}

// A request to end the process (SIGTERM, as at a logout) while the puzzle is played: the player
// closes as when its window is closed, and its temporary files go with it.
void TerminateWhilePlaying(const std::string& package) {
    const fs::path home = MakePlayerHome();
    const pid_t pid = StartPlayer(package, home);
    bool started = false;
    for (int i = 0; i < 600 && !started; ++i) {
        std::this_thread::sleep_for(50ms);
        started = fs::exists(PlayerTempFile(home, "tavrin.mid"));
    }
    std::this_thread::sleep_for(1s);
    Check(started, "a termination request: the player has started");
    kill(pid, SIGTERM);
    Check(EndsNormally(pid, ExitLimit), "a termination request: the player ends normally");
    Check(!PlayerFilesLeft(home), "a termination request: no temporary file is left");
    fs::remove_all(home);
}

// The board's window destroyed from outside (xkill, `xdotool windowclose`, a crashed window
// manager) while the loading window shows, or while the puzzle is played: the player ends, its
// song with it, and its files go.
void DestroyTheBoard(const std::string& package, xcb_connection_t* c, bool whilePlaying) {
    const std::string what = whilePlaying ? "the board destroyed during play"
                                          : "the board destroyed while the loading window shows";
    const Screen s{c, xcb_setup_roots_iterator(xcb_get_setup(c)).data};
    const fs::path home = MakePlayerHome();
    const pid_t pid = StartPlayer(package, home);
    Check(WaitForWindows(s, pid, PlayerTitle, 2), what + ": the player starts");
    if (whilePlaying) {
        StartTheGame(s, pid);
    }
    const std::vector<ShownWindow> windows = Captioned(s, pid, PlayerTitle);
    if (!windows.empty()) {
        xcb_destroy_window(
            c, std::max_element(windows.begin(), windows.end(), [](const auto& a, const auto& b) {
                   return a.Width < b.Width;
               })->Id);
        xcb_flush(c);
    }
    Check(EndsNormally(pid, ExitLimit), what + ": the player ends");
    Check(!PlayerFilesLeft(home), what + ": no temporary file is left");
    fs::remove_all(home);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: startup_close_test TAVRIN-PACK TAVRIN-PLAYER SONG\n");
        return 2;
    }
    QCoreApplication app(argc, argv);
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c) != 0) {
        std::printf("skipped: no X server could be reached\n");
        return 77;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;

    char pattern[] = "/tmp/tavrin-close-package-XXXXXX";
    const fs::path work = mkdtemp(pattern);
    // Large enough that decoding and building take a noticeable while (packed at its full size,
    // not scaled to a screen); at 19 percent it fits the 1280 x 800 screen, so no zoom notice
    // comes.
    QImage image(6000, 4000, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            line[x] = qRgb((x * 3 + y) % 256, (y * 5) % 256, (x + y * 2) % 256);
        }
    }
    const std::string picture = (work / "large.jpg").string();
    image.save(QString::fromStdString(picture), "JPG", 95);
    const std::string package = (work / "package").string();
    const int packed = Run({argv[1], "--player", argv[2], "--picture", picture, "--song", argv[3],
                            "--type", "4", "--zoom", "15", "--max-size", "none", "--message",
                            "Welcome to the puzzle!", "-o", package});
    Check(packed == 0, "the package is made");
    if (packed == 0) {
        // The first box this package shows is its start message.
        for (const Moment moment :
             {Moment::MainWindowAppears, Moment::LoadingWindowAppears, Moment::BoxAppears}) {
            CloseAt(moment, package, "a picture that fits", c, root);
        }
        TerminateWhilePlaying(package);
        DestroyTheBoard(package, c, false);
        DestroyTheBoard(package, c, true);
    }
    // At full size the picture is too large for the screen: a modal notice comes, which keeps
    // the toolkit from taking a close of the main window while it is open.
    const std::string noticed = (work / "noticed").string();
    const int packedWithNotice = Run({argv[1], "--player", argv[2], "--picture", picture, "--song",
                                      argv[3], "--type", "4", "--zoom", "100", "--max-size", "none",
                                      "--message", "Welcome to the puzzle!", "-o", noticed});
    Check(packedWithNotice == 0, "the package with a zoom notice is made");
    if (packedWithNotice == 0) {
        // Its first box is the zoom notice.
        for (const Moment moment : {Moment::MainWindowAppears, Moment::BoxAppears}) {
            CloseAt(moment, noticed, "a picture too large", c, root);
        }
    }
    xcb_disconnect(c);
    fs::remove_all(work);
    return CheckSummary();
}
