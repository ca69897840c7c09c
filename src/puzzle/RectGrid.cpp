#include "puzzle/RectGrid.h"

RectGrid::RectGrid(const std::vector<TRect>& boxes) {
    bool first = true;
    for (const TRect& box : boxes) {
        if (box.IsEmpty()) {
            continue;
        }
        Bounds = first ? box : Bounds.Union(box);
        first = false;
        CellSize = std::max({CellSize, box.Width(), box.Height()});
    }
    if (first) {
        return;
    }
    Cols = CellOf(Bounds.Right - 1, Bounds.Left) + 1;
    Rows = CellOf(Bounds.Bottom - 1, Bounds.Top) + 1;
    Cells.resize(static_cast<std::size_t>(Cols) * Rows);
    for (const TRect& box : boxes) {
        if (!box.IsEmpty()) {
            const int col = CellOf(box.Left, Bounds.Left);
            const int row = CellOf(box.Top, Bounds.Top);
            Cells[static_cast<std::size_t>(row) * Cols + col].push_back(box);
        }
    }
}

// The cell of a coordinate at or right of (below) the origin; one before it lies left (above).
int RectGrid::CellOf(int at, int origin) const {
    const int offset = at - origin;
    return offset >= 0 ? offset / CellSize : -1;
}
