#include "game/ScreenLayout.h"

#include <algorithm>
#include <cmath>

namespace {

int Chrome(int height, double scale) {
    return static_cast<int>(std::ceil(height * std::max(scale, 1.0)));
}

} // namespace

BoardSize BoardOfClientArea(int clientWidth, int clientHeight) {
    return {clientWidth + 1, clientHeight};
}

BoardSize BoardOfWorkArea(int width, int height, double scale) {
    return BoardOfClientArea(
        width, std::max(0, height - Chrome(TypicalTitleBarHeight + TypicalMenuBarHeight, scale)));
}

BoardSize BoardOfScreen(int width, int height, double scale) {
    return BoardOfWorkArea(width, std::max(0, height - Chrome(TypicalPanelHeight, scale)), scale);
}

PuzzleLayout LayOutPuzzle(int pictureWidth, int pictureHeight, BoardSize board, PuzzleShape shape,
                          int zoomPercent) {
    PuzzleLayout layout;
    layout.Fit = FitToBoard(pictureWidth, pictureHeight, board.Width, board.Height, zoomPercent);
    layout.Cells = ComputeGrid(shape, layout.Fit.Width, layout.Fit.Height);
    return layout;
}
