#pragma once

// Seeing and driving the screen as a user does: screenshots, the windows a process shows with
// the part of each that can be seen, the pointer and the keyboard (XTEST).

#include <cstdint>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>
#include <xcb/xcb.h>

struct Screen {
    xcb_connection_t* Connection;
    xcb_screen_t* Root;
};

// The X server of DISPLAY; nothing, having said "skipped: ...", when none can be reached.
std::optional<Screen> OpenScreen();

// The whole screen as 0xRRGGBB pixels, row by row.
std::vector<std::uint32_t> Screenshot(const Screen& s);

// Waits until three screenshots in a row agree: the player has finished what it was doing.
void WaitForStableScreen(const Screen& s);

// A window of a process as it shows: its client area on the screen, its caption, and how many of
// its pixels no other window covers.
struct ShownWindow {
    xcb_window_t Id;
    std::string Caption;
    int X, Y, Width, Height;
    // Of the client area, the pixels no window stacked above covers.
    std::vector<std::pair<int, int>> Uncovered;
    double UncoveredShare() const {
        return Width * Height > 0 ? static_cast<double>(Uncovered.size()) / (Width * Height) : 0;
    }
};

// The mapped windows of process `pid` (_NET_WM_PID), bottom to top, whether they sit on the root
// or in a window manager's frame.
std::vector<ShownWindow> WindowsOf(const Screen& s, pid_t pid);

// The share of `w`'s uncovered pixels in `shot` that are pure black: near 1 for a window that was
// never painted.
double BlackShare(const std::vector<std::uint32_t>& shot, int screenWidth, const ShownWindow& w);

// A pointer motion to (x, y), or a press or release of the first button.
void Pointer(const Screen& s, std::uint8_t type, int x = 0, int y = 0);
void Click(const Screen& s, int x, int y);

// The player's board and loading windows carry its title.
inline const std::string PlayerTitle = "Tavrin Christmas Edition";

// The process's windows of that caption, bottom to top.
std::vector<ShownWindow> Captioned(const Screen& s, pid_t pid, const std::string& caption);
// Waits up to 30 s until the process shows `count` windows of that caption.
bool WaitForWindows(const Screen& s, pid_t pid, const std::string& caption, std::size_t count);
// Waits for the loading window and closes it with its start button, as a user starts the game.
void StartTheGame(const Screen& s, pid_t pid);
// The player's board window, while no loading window shows.
std::optional<ShownWindow> BoardOf(const Screen& s, pid_t pid);
// Presses and releases the key of `keysym`, with the keys of `held` held down meanwhile.
void PressKey(const Screen& s, std::uint32_t keysym, const std::vector<std::uint32_t>& held = {});
// The process whose window has the keyboard; 0 when it is with the root window or none.
pid_t KeyboardOwner(const Screen& s);
// Raises the window and gives it the keyboard, through the window manager when there is one.
void Activate(const Screen& s, xcb_window_t window);
