#pragma once

#include "game/PictureFit.h"
#include "puzzle/Grid.h"
#include "puzzle/PuzzleShape.h"

// How a picture becomes a puzzle on a given screen, by the player's own rules: the board the
// window gets, the zoom that fits the picture on it (FitToBoard) and the grid it is cut into
// (ComputeGrid). The player's board is BoardOfClientArea of its window (BoardOnScreen predicts it),
// and its load and build run the same two steps as LayOutPuzzle (a test holds them to the same
// grid); the maker previews with them.

// A board size in device pixels.
struct BoardSize {
    int Width = 0;
    int Height = 0;
};

// What a desktop takes of a screen before the player's client area, in device pixels at scale
// 1: a panel (outside the work area), the window manager's title bar and the player's menu bar.
// Estimates for common desktops; where the work area is known only the last two apply.
inline constexpr int TypicalPanelHeight = 32;
inline constexpr int TypicalTitleBarHeight = 30;
inline constexpr int TypicalMenuBarHeight = 24;

// A screen as a recipient sees it: its whole size in device pixels, the desktop's scale, and
// what the desktop and the player's window take of it before the board, in the toolkit's units
// (device pixels divided by Scale). Unmeasured parts are the typical heights above.
struct ScreenView {
    int Width = 0;
    int Height = 0;
    double Scale = 1.0;
    // The work area (the screen less its panels); 0: the screen less a typical panel.
    int WorkWidth = 0;
    int WorkHeight = 0;
    // The window manager's frame around the player's client area, both sides together.
    int FrameWidth = 0;
    int FrameHeight = TypicalTitleBarHeight;
    int MenuBarHeight = TypicalMenuBarHeight;
};

// The board of the player's window filling the work area of `screen`, sized as the player
// sizes it: the window whole in device pixels, less its frame and menu bar. The one place the
// player's board is predicted.
BoardSize BoardOnScreen(const ScreenView& screen);

// The nearest length in the toolkit's units at or above (or at or below) `logical` whose device
// length at `ratio` is whole; the player sizes its window and menu bar with these.
int AlignUpToWholeDevicePixels(int logical, double ratio);
int AlignDownToWholeDevicePixels(int logical, double ratio);

// The board of a window whose client area is clientWidth x clientHeight: one pixel wider than
// it, as the board's buffers are.
BoardSize BoardOfClientArea(int clientWidth, int clientHeight);

struct PuzzleLayout {
    PictureFit Fit;
    Grid Cells;
    // 0 when the picture is too small to cut.
    int PieceCount() const { return Cells.CanBuild() ? Cells.Cols * Cells.Rows : 0; }
};

// The puzzle a pictureWidth x pictureHeight picture makes on `board` with pieces of `shape`,
// first tried at `zoomPercent`.
PuzzleLayout LayOutPuzzle(int pictureWidth, int pictureHeight, BoardSize board, PuzzleShape shape,
                          int zoomPercent);

// The puzzle the player makes of the picture on `screen`: the count and grid the maker shows
// and the gate checks.
PuzzleLayout LayOutOnScreen(int pictureWidth, int pictureHeight, const ScreenView& screen,
                            PuzzleShape shape, int zoomPercent);
