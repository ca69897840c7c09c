// A puzzle whose build is quick, started again and again as people start it: every window it
// shows is painted, the start message centred, and none of its boxes hides under another of its
// windows: looked at a moment after the start (a different one each time), with the start
// message open, and with the thumbnail and the about window opened from the keyboard.
//   every_window_painted_test TAVRIN-PACK TAVRIN-PLAYER LAUNCHES
// Run it under xvfb-run (run-under-xvfb.sh), bare or under a window manager.
#include "xvfb/ScreenSupport.h"
#include "xvfb/X11Support.h"

#include <QImage>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

constexpr std::uint32_t KeyAlt = 0xFFE9;
constexpr std::uint32_t KeyReturn = 0xFF0D;
constexpr std::uint32_t KeyEscape = 0xFF1B;
constexpr std::uint32_t KeyO = 0x6F;
constexpr std::uint32_t KeyT = 0x74;
constexpr std::uint32_t KeyH = 0x68;
constexpr std::uint32_t KeyA = 0x61;

const std::string BoxCaption = "Tavrin";
// Longer than a newly mapped window waits for its first paint on a busy machine, far shorter
// than a window left black.
constexpr auto BlinkTime = 500ms;
const std::string AboutCaption = "About";

// Never pure black, so that a black pixel on the screen is one nobody painted.
void WritePicture(const fs::path& file) {
    QImage picture(640, 480, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            picture.setPixel(x, y, qRgb(40 + x % 200, 40 + y % 200, 40 + (x ^ y) % 200));
        }
    }
    picture.save(QString::fromStdString(file.string()), "BMP");
}

// How black the window is where it can be seen, looked at again a moment later when it is: a
// window that has only just been mapped is painted within a blink.
double BlackShareAfterABlink(const Screen& s, const ShownWindow& w) {
    const double black = BlackShare(Screenshot(s), s.Root->width_in_pixels, w);
    if (black < 0.3) {
        return black;
    }
    std::this_thread::sleep_for(BlinkTime);
    return BlackShare(Screenshot(s), s.Root->width_in_pixels, w);
}

// Every window of the player on the screen now is painted where it can be seen, and a box or
// the about window, when one is open, is seen whole.
void CheckEveryWindowPainted(const Screen& s, pid_t pid, const std::string& when) {
    for (const ShownWindow& w : WindowsOf(s, pid)) {
        const std::string name = "\"" + w.Caption + "\" " + std::to_string(w.Width) + "x" +
                                 std::to_string(w.Height) + ", " + when;
        const double black = BlackShareAfterABlink(s, w);
        if (black >= 0.3) {
            std::printf("note: %.0f %% of %s is black\n", black * 100, name.c_str());
        }
        Check(black < 0.3, name + ": painted");
        if (w.Caption == BoxCaption || w.Caption == AboutCaption) {
            Check(w.UncoveredShare() > 0.99, name + ": above every other window");
        }
    }
}

// The window's centre is the screen's, give or take half a window manager's frame.
void CheckCentred(const Screen& s, const std::vector<ShownWindow>& shown, const std::string& what) {
    if (shown.empty()) {
        return;
    }
    const ShownWindow& w = shown.front();
    const int dx = w.X + w.Width / 2 - s.Root->width_in_pixels / 2;
    const int dy = w.Y + w.Height / 2 - s.Root->height_in_pixels / 2;
    Check(std::abs(dx) <= 20 && std::abs(dy) <= 20, what + " is centred on the screen (off by " +
                                                        std::to_string(dx) + ", " +
                                                        std::to_string(dy) + ")");
}

// One start of the puzzle, looked at `after` the start first.
void Launch(const Screen& s, const std::string& package, std::chrono::milliseconds after) {
    const std::string when = " at " + std::to_string(after.count()) + " ms";
    const fs::path home = MakePlayerHome();
    const pid_t pid = StartPlayer(package, home);
    std::this_thread::sleep_for(after);
    CheckEveryWindowPainted(s, pid, "looked at" + when);

    Check(WaitForWindows(s, pid, BoxCaption, 1), "the start message shows" + when);
    WaitForStableScreen(s);
    CheckCentred(s, Captioned(s, pid, BoxCaption), "the start message" + when);
    CheckEveryWindowPainted(s, pid, "with the start message open");
    PressKey(s, KeyReturn);
    std::this_thread::sleep_for(500ms);
    Check(KeyboardOwner(s) == pid, "the keyboard stays with the player when the message closes");
    StartTheGame(s, pid);

    if (const auto board = BoardOf(s, pid)) {
        Activate(s, board->Id);
    }
    PressKey(s, KeyO, {KeyAlt});
    PressKey(s, KeyT);
    Check(WaitForWindows(s, pid, "Thumbnail", 1), "the thumbnail opens" + when);
    WaitForStableScreen(s);
    CheckEveryWindowPainted(s, pid, "with the thumbnail open");

    if (const auto board = BoardOf(s, pid)) {
        Activate(s, board->Id);
    }
    PressKey(s, KeyH, {KeyAlt});
    PressKey(s, KeyA);
    Check(WaitForWindows(s, pid, AboutCaption, 1), "the about window opens" + when);
    WaitForStableScreen(s);
    CheckEveryWindowPainted(s, pid, "with the about window open");
    PressKey(s, KeyEscape);

    if (const auto board = BoardOf(s, pid)) {
        RequestClose(s.Connection, board->Id);
    }
    Check(EndsNormally(pid, 20s), "the player closes" + when);
    Check(!PlayerFilesLeft(home), "nothing is left behind" + when);
    fs::remove_all(home);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: every_window_painted_test TAVRIN-PACK TAVRIN-PLAYER N\n");
        return 2;
    }
    const std::optional<Screen> screen = OpenScreen();
    if (!screen) {
        return 77;
    }
    const Screen& s = *screen;

    char pattern[] = "/tmp/tavrin-painted-XXXXXX";
    const fs::path work = mkdtemp(pattern);
    WritePicture(work / "picture.bmp");
    // 48 pieces: cut in a few milliseconds.
    const std::string package = (work / "quick").string();
    Check(Run({argv[1], "--player", argv[2], "--picture", (work / "picture.bmp").string(), "--type",
               "2", "--message", "Welcome to the puzzle!", "-o", package}) == 0,
          "the puzzle is made");
    const int launches = std::atoi(argv[3]);
    for (int i = 0; i < launches; ++i) {
        // From 0.2 s to 3 s after the start, spread over the launches.
        Launch(s, package, std::chrono::milliseconds(200 + i * 2800 / std::max(1, launches - 1)));
    }
    xcb_disconnect(s.Connection);
    fs::remove_all(work);
    return CheckSummary();
}
