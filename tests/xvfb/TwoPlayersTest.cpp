// Two puzzles open at once, as a user has them: a red one and a blue one started one after the
// other by the same user. Each keeps its own picture through new games, its thumbnail and the
// other's close, and neither writes, reads or deletes the other's files.
//   two_players_test TAVRIN-PACK TAVRIN-PLAYER
// Run it under xvfb-run (run-under-xvfb.sh), bare or under a window manager.
#include "xvfb/ScreenSupport.h"
#include "xvfb/X11Support.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

constexpr std::uint32_t KeyF2 = 0xFFBF;
constexpr std::uint32_t KeyAlt = 0xFFE9;
constexpr std::uint32_t KeyO = 0x6F;
constexpr std::uint32_t KeyT = 0x74;

std::string ReadAll(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

struct Colours {
    int Red = 0;
    int Blue = 0;
    int Shown = 0;
};

// The red and the blue pixels among the window's uncovered ones.
Colours ColoursIn(const Screen& s, const ShownWindow& w) {
    const std::vector<std::uint32_t> shot = Screenshot(s);
    Colours c;
    for (const auto& [x, y] : w.Uncovered) {
        const std::uint32_t p = shot[static_cast<std::size_t>(y) * s.Root->width_in_pixels + x];
        const int r = p >> 16 & 0xFF;
        const int g = p >> 8 & 0xFF;
        const int b = p & 0xFF;
        c.Red += r > 150 && g < 90 && b < 90;
        c.Blue += b > 150 && r < 90 && g < 90;
        ++c.Shown;
    }
    return c;
}

std::vector<fs::path> PlayerFolders(const fs::path& home) {
    std::vector<fs::path> folders;
    for (const auto& entry : fs::directory_iterator(home / "runtime")) {
        if (entry.path().filename().string().rfind("tavrin", 0) == 0) {
            folders.push_back(entry.path());
        }
    }
    return folders;
}

// A new game in the player's board window, then what it shows.
Colours NewGameIn(const Screen& s, pid_t pid) {
    if (const auto board = BoardOf(s, pid)) {
        Activate(s, board->Id);
        PressKey(s, KeyF2);
        StartTheGame(s, pid);
        WaitForStableScreen(s);
    }
    const auto board = BoardOf(s, pid);
    return board ? ColoursIn(s, *board) : Colours{};
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: two_players_test TAVRIN-PACK TAVRIN-PLAYER\n");
        return 2;
    }
    const std::optional<Screen> screen = OpenScreen();
    if (!screen) {
        return 77;
    }
    const Screen& s = *screen;

    // One user: both players share the user's temporary folder.
    const fs::path home = MakePlayerHome();
    WriteBitmap(home / "red.bmp", 640, 480, 0xDC1E1E);
    WriteBitmap(home / "blue.bmp", 640, 480, 0x1E1EDC);
    for (const char* colour : {"red", "blue"}) {
        const std::string picture = (home / (std::string(colour) + ".bmp")).string();
        Check(Run({argv[1], "--player", argv[2], "--picture", picture, "--type", "4", "-o",
                   (home / colour).string()}) == 0,
              std::string("the ") + colour + " puzzle is made");
    }

    const pid_t red = StartPlayer((home / "red").string(), home);
    StartTheGame(s, red);
    const pid_t blue = StartPlayer((home / "blue").string(), home);
    StartTheGame(s, blue);
    Check(Captioned(s, red, PlayerTitle).size() == 1 && Captioned(s, blue, PlayerTitle).size() == 1,
          "both puzzles are started, their loading windows closed");
    Check(PlayerFolders(home).size() == 2, "each player has a folder of its own");

    const Colours again = NewGameIn(s, red);
    std::printf("red puzzle after a new game: %d red, %d blue of %d pixels\n", again.Red,
                again.Blue, again.Shown);
    Check(again.Red > 5000 && again.Blue == 0, "a new game of the red puzzle is cut from red");

    if (const auto board = BoardOf(s, red)) {
        Activate(s, board->Id);
    }
    PressKey(s, KeyO, {KeyAlt});
    PressKey(s, KeyT);
    Check(WaitForWindows(s, red, "Thumbnail", 1), "the red puzzle's thumbnail opens");
    WaitForStableScreen(s);
    if (const auto thumbnails = Captioned(s, red, "Thumbnail"); !thumbnails.empty()) {
        const Colours shown = ColoursIn(s, thumbnails.front());
        Check(shown.Red * 10 > shown.Shown * 9, "the red puzzle's thumbnail shows red");
    }

    if (const auto board = BoardOf(s, blue)) {
        RequestClose(s.Connection, board->Id);
    }
    Check(EndsNormally(blue, 20s), "the blue puzzle closes");
    const std::vector<fs::path> left = PlayerFolders(home);
    Check(left.size() == 1 && ReadAll(left.front() / "tavrin.bmp") == ReadAll(home / "red.bmp"),
          "the blue puzzle's close leaves the red one's files as they were");

    const Colours afterClose = NewGameIn(s, red);
    Check(Captioned(s, red, "Tavrin").empty(), "the red puzzle's new game shows no message");
    Check(afterClose.Red > 5000 && afterClose.Blue == 0,
          "the red puzzle still cuts red after the blue one closed");

    if (const auto board = BoardOf(s, red)) {
        RequestClose(s.Connection, board->Id);
    }
    Check(EndsNormally(red, 20s), "the red puzzle closes");
    Check(PlayerFolders(home).empty(), "nothing of either player is left");
    xcb_disconnect(s.Connection);
    const int status = CheckSummary();
    if (status != 0) {
        std::printf("the player said:\n%s\n", ReadAll(home / "player.log").c_str());
    }
    fs::remove_all(home);
    return status;
}
