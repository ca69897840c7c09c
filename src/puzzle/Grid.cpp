#include "puzzle/Grid.h"

#include <algorithm>

namespace {

struct Thresholds {
    int M;
    int L;
};

Thresholds ThresholdsFor(int level) {
    switch (level) {
    case 2:
        return {29, 24};
    case 3:
        return {24, 19};
    case 4:
        return {18, 14};
    default:
        return {36, 29};
    }
}

// How much of the last piece bitmap lies beyond the picture's border.
int Margin(int pieceSize, int tabSize, int length, int count) {
    const int pitch = pieceSize - tabSize;
    return pieceSize - std::max(length - (count - 1) * pitch + tabSize, 0);
}

} // namespace

Grid ComputeGrid(PuzzleShape shape, int width, int height) {
    const int s = shape.PieceSize;
    const int t = shape.TabSize;
    const int pitch = shape.Pitch();
    const Thresholds thresholds = ThresholdsFor(shape.EdgeLevel);
    const int m = thresholds.M;
    const int l = thresholds.L;

    Grid g;
    g.Cols = (width & ~1) / pitch + 1;
    g.Rows = (height & ~1) / pitch + 1;
    const int marginX = Margin(s, t, width, g.Cols);
    const int marginY = Margin(s, t, height, g.Rows);

    const auto showsTooLittle = [&](int margin) {
        return (s - m <= margin && margin <= s - l) || margin >= s - 2 * t;
    };
    if (showsTooLittle(marginX)) {
        --g.Cols;
    }
    if (showsTooLittle(marginY)) {
        --g.Rows;
    }

    if (l <= marginX && marginX <= m + 1) {
        width -= m - marginX + 2;
    }
    if (l <= marginY && marginY <= m + 1) {
        height -= m - marginY + 2;
    }
    if (marginX <= t) {
        width -= t - marginX + 1;
    }
    if (marginY <= t) {
        height -= t - marginY + 2;
    }

    g.PictureWidth = width;
    g.PictureHeight = height;
    g.MarginX = std::max(Margin(s, t, width, g.Cols), 0);
    g.MarginY = std::max(Margin(s, t, height, g.Rows), 0);
    if (g.MarginX <= t) {
        g.MarginX += t;
    }
    if (g.MarginY <= t) {
        g.MarginY += t;
    }
    return g;
}
