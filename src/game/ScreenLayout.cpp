#include "game/ScreenLayout.h"

#include <algorithm>
#include <cmath>

namespace {

// Lengths searched for one whose device length is whole: enough for any scale in use.
constexpr int AlignmentSearch = 64;

bool IsWhole(double value) {
    return std::abs(value - std::round(value)) < 1e-6;
}

double Ratio(double scale) {
    return scale > 0 ? scale : 1.0;
}

// A device length in the toolkit's units, as the toolkit rounds a screen's geometry.
int Logical(int device, double ratio) {
    return static_cast<int>(std::lround(device / ratio));
}

int Device(int logical, double ratio) {
    return static_cast<int>(std::lround(logical * ratio));
}

} // namespace

int AlignUpToWholeDevicePixels(int logical, double ratio) {
    for (int length = logical; length < logical + AlignmentSearch; ++length) {
        if (IsWhole(length * ratio)) {
            return length;
        }
    }
    return logical;
}

int AlignDownToWholeDevicePixels(int logical, double ratio) {
    for (int length = logical; length > 0 && length > logical - AlignmentSearch; --length) {
        if (IsWhole(length * ratio)) {
            return length;
        }
    }
    return logical;
}

BoardSize BoardOfClientArea(int clientWidth, int clientHeight) {
    return {clientWidth + 1, clientHeight};
}

BoardSize BoardOnScreen(const ScreenView& s) {
    const double r = Ratio(s.Scale);
    const int workWidth = s.WorkWidth > 0 ? s.WorkWidth : Logical(s.Width, r);
    const int workHeight =
        s.WorkHeight > 0 ? s.WorkHeight : Logical(s.Height, r) - TypicalPanelHeight;
    const int windowWidth = AlignDownToWholeDevicePixels(workWidth - s.FrameWidth, r);
    const int windowHeight = AlignDownToWholeDevicePixels(workHeight - s.FrameHeight, r);
    const int clientHeight = windowHeight - AlignUpToWholeDevicePixels(s.MenuBarHeight, r);
    return BoardOfClientArea(std::max(0, Device(windowWidth, r)),
                             std::max(0, Device(clientHeight, r)));
}

PuzzleLayout LayOutPuzzle(int pictureWidth, int pictureHeight, BoardSize board, PuzzleShape shape,
                          int zoomPercent) {
    PuzzleLayout layout;
    layout.Fit = FitToBoard(pictureWidth, pictureHeight, board.Width, board.Height, zoomPercent);
    layout.Cells = ComputeGrid(shape, layout.Fit.Width, layout.Fit.Height);
    return layout;
}

PuzzleLayout LayOutOnScreen(int pictureWidth, int pictureHeight, const ScreenView& screen,
                            PuzzleShape shape, int zoomPercent) {
    return LayOutPuzzle(pictureWidth, pictureHeight, BoardOnScreen(screen), shape, zoomPercent);
}
