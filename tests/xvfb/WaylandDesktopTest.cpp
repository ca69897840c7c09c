// The demo on a Wayland desktop (weston, through Xwayland), which publishes no work area and
// states no frame: started ten times, its board lies wholly on the screen each time, and it
// closes normally, leaving nothing behind.
//   wayland_desktop_test TAVRIN-DEMO
// Run it under run-under-weston.sh.
#include "xvfb/ScreenSupport.h"
#include "xvfb/X11Support.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

constexpr int Launches = 10;

// The board window once its size has settled.
std::optional<ShownWindow> SettledBoard(const Screen& s, pid_t pid) {
    std::optional<ShownWindow> last;
    for (int i = 0; i < 50; ++i) {
        const std::vector<ShownWindow> windows = Captioned(s, pid, PlayerTitle);
        std::optional<ShownWindow> board;
        for (const ShownWindow& w : windows) {
            if (!board || w.Width * w.Height > board->Width * board->Height) {
                board = w;
            }
        }
        if (board && last && board->X == last->X && board->Y == last->Y &&
            board->Width == last->Width && board->Height == last->Height) {
            return board;
        }
        last = board;
        std::this_thread::sleep_for(200ms);
    }
    return last;
}

void Launch(const Screen& s, const std::string& demo, int i) {
    const std::string which = " (launch " + std::to_string(i + 1) + ")";
    const fs::path home = MakePlayerHome();
    const pid_t pid = StartPlayer(demo, home);
    Check(WaitForWindows(s, pid, PlayerTitle, 2), "the board and the loading window show" + which);
    const std::optional<ShownWindow> board = SettledBoard(s, pid);
    const int width = s.Root->width_in_pixels;
    const int height = s.Root->height_in_pixels;
    if (board) {
        std::printf("board %dx%d at %d,%d on a %dx%d screen\n", board->Width, board->Height,
                    board->X, board->Y, width, height);
    }
    Check(board && board->X >= 0 && board->Y >= 0 && board->X + board->Width <= width &&
              board->Y + board->Height <= height,
          "the board lies wholly on the screen" + which);
    if (board) {
        RequestClose(s.Connection, board->Id);
    }
    Check(EndsNormally(pid, 20s), "the player closes normally" + which);
    Check(!PlayerFilesLeft(home), "nothing is left behind" + which);
    fs::remove_all(home);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: wayland_desktop_test TAVRIN-DEMO\n");
        return 2;
    }
    const std::optional<Screen> screen = OpenScreen();
    if (!screen) {
        return 77;
    }
    const Screen& s = *screen;
    for (int i = 0; i < Launches; ++i) {
        Launch(s, argv[1], i);
    }
    xcb_disconnect(s.Connection);
    return CheckSummary();
}
