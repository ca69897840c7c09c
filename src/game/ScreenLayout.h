#pragma once

#include "game/PictureFit.h"
#include "puzzle/Grid.h"
#include "puzzle/PuzzleShape.h"

// How a picture becomes a puzzle on a given screen, by the player's own rules: the board the
// window gets, the zoom that fits the picture on it (FitToBoard) and the grid it is cut into
// (ComputeGrid). The player's board is BoardOfClientArea of its window, and its load and build
// run the same two steps as LayOutPuzzle (a test holds them to the same grid); the maker
// previews with them.

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

// The board of a window whose client area is clientWidth x clientHeight: one pixel wider than
// it, as the board's buffers are.
BoardSize BoardOfClientArea(int clientWidth, int clientHeight);

// The board the player's window gets on a work area of width x height (the screen less its
// panels), less an estimated title bar and menu bar; `scale` is the desktop's device pixel ratio.
BoardSize BoardOfWorkArea(int width, int height, double scale = 1.0);

// The board on a whole screen of width x height, less an estimated panel as well.
BoardSize BoardOfScreen(int width, int height, double scale = 1.0);

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
