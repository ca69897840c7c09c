// The Puzzle Maker on a real X server, driven by pointer and keys: it opens with a photo, a
// lean puzzle with a chosen board colour, rows of pieces and a Russian start message is made and
// tried; its start box says that message (selected with the mouse) and its board that colour.
//   maker_window_test TAVRIN-MAKER
// Run it under xvfb-run (run-under-xvfb.sh).
#include "xvfb/ScreenSupport.h"
#include "xvfb/X11Support.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
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

// "Happy New Year", typed on keys that a Russian layout would give.
const std::u32string StartMessage = U"С Новым годом";

const std::string MakerTitle = "Tavrin Puzzle Maker";
// The board colour chosen, 0xRRGGBB; nothing in the photo comes near it.
constexpr std::uint32_t ChosenColour = 0xE0C020;

std::string ReadAll(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// The child processes of `parent` now.
std::vector<pid_t> ChildrenOf(pid_t parent) {
    std::vector<pid_t> children;
    for (const auto& entry : fs::directory_iterator("/proc")) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        const std::string stat = ReadAll(entry.path() / "stat");
        const auto close = stat.rfind(')');
        int ppid = 0;
        char state = 0;
        if (close != std::string::npos &&
            std::sscanf(stat.c_str() + close + 1, " %c %d", &state, &ppid) == 2 && ppid == parent) {
            children.push_back(std::stoi(name));
        }
    }
    return children;
}

// A child process of `parent`, waited for up to `limit`; 0 when none starts.
pid_t ChildOf(pid_t parent, std::chrono::seconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (const std::vector<pid_t> children = ChildrenOf(parent); !children.empty()) {
            return children.front();
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

// The X keysym of a character: Latin-1 as it is, anything else by its Unicode number.
std::uint32_t KeysymOf(char32_t c) {
    return c < 0x100 ? c : 0x01000000 | c;
}

// Puts the letters of `text` beyond Latin-1 on the last keys, as a keyboard layout of their
// language would, so that PressKey types them.
void MapKeysOf(const Screen& s, const std::u32string& text) {
    xcb_keycode_t key = xcb_get_setup(s.Connection)->max_keycode;
    for (const char32_t c : text) {
        const xcb_keysym_t keysym = KeysymOf(c);
        if (c >= 0x100) {
            xcb_change_keyboard_mapping(s.Connection, 1, key--, 1, &keysym);
        }
    }
    xcb_flush(s.Connection);
}

// The text selected on the screen (the PRIMARY selection), as a program that pastes it with the
// middle button asks for it; empty when nobody holds it.
std::string SelectedText(const Screen& s) {
    xcb_connection_t* c = s.Connection;
    const xcb_window_t requestor = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, requestor, s.Root->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    const xcb_atom_t property = Atom(c, "TAVRIN_TEST_PASTE");
    xcb_convert_selection(c, requestor, XCB_ATOM_PRIMARY, Atom(c, "UTF8_STRING"), property,
                          XCB_CURRENT_TIME);
    xcb_flush(c);
    // The X server answers every request, itself when nobody holds the selection.
    xcb_generic_event_t* event = nullptr;
    while ((event = xcb_wait_for_event(c)) != nullptr &&
           (event->response_type & 0x7F) != XCB_SELECTION_NOTIFY) {
        std::free(event);
    }
    std::free(event);
    auto* reply = xcb_get_property_reply(
        c, xcb_get_property(c, 1, requestor, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 1 << 16),
        nullptr);
    const std::string text(
        reply != nullptr ? static_cast<const char*>(xcb_get_property_value(reply)) : "",
        reply != nullptr ? xcb_get_property_value_length(reply) : 0);
    std::free(reply);
    xcb_destroy_window(c, requestor);
    return text;
}

// Selects the start box's text with the mouse, as a user does to copy it: a drag from its last
// letter (the rightmost dark pixel of the box's upper half, above the button) to the box's left.
void SelectBoxText(const Screen& s, const ShownWindow& box) {
    const std::vector<std::uint32_t> shot = Screenshot(s);
    for (int x = box.X + box.Width - 1; x > box.X; --x) {
        for (int y = box.Y; y < box.Y + box.Height / 2; ++y) {
            if ((shot[static_cast<std::size_t>(y) * s.Root->width_in_pixels + x] & 0xC0C0C0) == 0) {
                Pointer(s, XCB_MOTION_NOTIFY, x, y);
                Pointer(s, XCB_BUTTON_PRESS);
                Pointer(s, XCB_MOTION_NOTIFY, box.X + 1, y);
                Pointer(s, XCB_BUTTON_RELEASE);
                return;
            }
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
    MapKeysOf(s, StartMessage);

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
    PressKey(s, 'm', {KeyAlt}); // Start message
    for (const char32_t c : StartMessage) {
        PressKey(s, KeysymOf(c));
    }

    PressKey(s, 't', {KeyAlt}); // Try it
    const pid_t puzzle = ChildOf(maker, 60s);
    Check(puzzle != 0, "Try it runs the puzzle");
    if (puzzle != 0) {
        // The start box is a message box, captioned "Tavrin" as the player's message boxes are.
        Check(WaitForWindows(s, puzzle, "Tavrin", 1), "the tried puzzle shows a start box");
        if (const auto box = Captioned(s, puzzle, "Tavrin"); !box.empty()) {
            WaitForStableScreen(s);
            SelectBoxText(s, box.front());
            Check(SelectedText(s) == "С Новым годом",
                  "the start box says the message typed in the maker");
            PressKey(s, KeyReturn);
        }
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
            // A second Try while it runs brings it forward instead of starting another.
            focusMaker();
            PressKey(s, 't', {KeyAlt});
            std::this_thread::sleep_for(2s);
            Check(ChildrenOf(maker) == std::vector<pid_t>{puzzle},
                  "a second Try while the puzzle runs starts no other");
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
