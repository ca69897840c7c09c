// The Puzzle Maker on a real X server, driven by pointer and keys: it opens with a photo, a
// lean puzzle with a chosen board colour and rows of pieces is made and tried, and the tried
// puzzle's board shows that colour on the screen.
//   maker_window_test TAVRIN-MAKER
// Run it under xvfb-run (run-under-xvfb.sh).
#include "xvfb/ScreenSupport.h"
#include "xvfb/X11Support.h"

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

constexpr std::uint32_t KeyAlt = 0xFFE9;
constexpr std::uint32_t KeyShift = 0xFFE1;
constexpr std::uint32_t KeyDown = 0xFF54;
constexpr std::uint32_t KeyReturn = 0xFF0D;

const std::string MakerTitle = "Tavrin Puzzle Maker";
// The board colour chosen, 0xRRGGBB; nothing in the photo comes near it.
constexpr std::uint32_t ChosenColour = 0xE0C020;

std::string ReadAll(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// A child process of `parent`, waited for up to `limit`; 0 when none starts.
pid_t ChildOf(pid_t parent, std::chrono::seconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        for (const auto& entry : fs::directory_iterator("/proc")) {
            const std::string name = entry.path().filename().string();
            if (name.find_first_not_of("0123456789") != std::string::npos) {
                continue;
            }
            const std::string stat = ReadAll(entry.path() / "stat");
            const auto close = stat.rfind(')');
            if (close == std::string::npos) {
                continue;
            }
            int ppid = 0;
            char state = 0;
            if (std::sscanf(stat.c_str() + close + 1, " %c %d", &state, &ppid) == 2 &&
                ppid == parent) {
                return std::stoi(name);
            }
        }
        std::this_thread::sleep_for(200ms);
    }
    return 0;
}

// Whether the process (not this one's child) has ended within `limit`.
bool Ends(pid_t pid, std::chrono::seconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        const std::string stat = ReadAll("/proc/" + std::to_string(pid) + "/stat");
        const auto close = stat.rfind(')');
        if (close == std::string::npos || stat.compare(close + 1, 2, " Z") == 0) {
            return true;
        }
        std::this_thread::sleep_for(200ms);
    }
    return false;
}

// Types text of lower-case letters, digits and '#' as keys.
void TypeKeys(const Screen& s, const std::string& text) {
    for (const char c : text) {
        if (c == '#') {
            PressKey(s, '3', {KeyShift});
        } else {
            PressKey(s, static_cast<unsigned char>(c));
        }
    }
}

bool Near(std::uint32_t a, std::uint32_t b) {
    for (int shift = 0; shift < 24; shift += 8) {
        const int d = static_cast<int>(a >> shift & 0xFF) - static_cast<int>(b >> shift & 0xFF);
        if (d > 8 || d < -8) {
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: maker_window_test TAVRIN-MAKER\n");
        return 2;
    }
    const std::optional<Screen> screen = OpenScreen();
    if (!screen) {
        return 77;
    }
    const Screen& s = *screen;
    const fs::path home = MakePlayerHome();
    WriteBitmap(home / "photo.bmp", 800, 600, 0x1E50DC, 40);

    const pid_t maker = StartPlayer(argv[1], home, {(home / "photo.bmp").string()});
    Check(WaitForWindows(s, maker, MakerTitle, 1), "the maker opens, captioned " + MakerTitle);
    WaitForStableScreen(s);
    // The pointer on the photo's preview: nothing changes, but the window has the keyboard.
    const auto focusMaker = [&] {
        const std::vector<ShownWindow> windows = Captioned(s, maker, MakerTitle);
        if (!windows.empty()) {
            const ShownWindow& w = windows.front();
            Activate(s, w.Id);
            Click(s, w.X + w.Width / 4, w.Y + w.Height / 2);
        }
    };
    focusMaker();

    PressKey(s, 'n', {KeyAlt}); // Lean puzzle
    PressKey(s, 'a', {KeyAlt}); // Pieces at start: laid out in rows
    PressKey(s, KeyDown);
    PressKey(s, 'b', {KeyAlt}); // Board colour: the colour dialog
    Check(WaitForWindows(s, maker, "Board Colour", 1), "the board colour dialog opens");
    WaitForStableScreen(s);
    PressKey(s, 'h', {KeyAlt}); // its HTML field, all selected
    TypeKeys(s, "#e0c020");
    PressKey(s, KeyReturn);
    std::this_thread::sleep_for(500ms);
    Check(Captioned(s, maker, "Board Colour").empty(), "the colour dialog closes with Return");
    // Without a window manager nobody hands the keyboard back from the closed dialog.
    focusMaker();

    PressKey(s, 't', {KeyAlt}); // Try it
    const pid_t puzzle = ChildOf(maker, 60s);
    Check(puzzle != 0, "Try it runs the puzzle");
    if (puzzle != 0) {
        StartTheGame(s, puzzle);
        WaitForStableScreen(s);
        const std::optional<ShownWindow> board = BoardOf(s, puzzle);
        Check(board.has_value(), "the tried puzzle shows its board");
        if (board) {
            const std::vector<std::uint32_t> shot = Screenshot(s);
            std::size_t chosen = 0;
            for (const auto& [x, y] : board->Uncovered) {
                chosen += Near(shot[static_cast<std::size_t>(y) * s.Root->width_in_pixels + x],
                               ChosenColour);
            }
            std::printf("board: %zu of %zu pixels in the chosen colour\n", chosen,
                        board->Uncovered.size());
            Check(chosen * 4 > board->Uncovered.size(),
                  "the board shows the colour chosen in the maker");
            RequestClose(s.Connection, board->Id);
            Check(Ends(puzzle, 20s), "the tried puzzle closes");
        }
    }
    if (const auto shown = Captioned(s, maker, MakerTitle); !shown.empty()) {
        RequestClose(s.Connection, shown.front().Id);
        // The puzzle was tried, not saved: the maker asks, and its changes are discarded.
        Check(WaitForWindows(s, maker, "Close the Puzzle Maker", 1),
              "closing with unsaved changes asks first");
        WaitForStableScreen(s);
        PressKey(s, 'd', {KeyAlt});
    }
    Check(EndsNormally(maker, 20s), "the maker closes");
    xcb_disconnect(s.Connection);
    const int status = CheckSummary();
    if (status != 0) {
        std::printf("the maker said:\n%s\n", ReadAll(home / "player.log").c_str());
    }
    fs::remove_all(home);
    return status;
}
