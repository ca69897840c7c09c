#pragma once

#include "puzzle/Rect.h"

#include <vector>

// Rectangles filed by the grid cell of their top-left corner, the cells as large as the largest
// rectangle: the rectangles a query overlaps are found among the cells around it, not among all.
class RectGrid {
public:
    explicit RectGrid(const std::vector<TRect>& boxes);

    // Calls visit(box) once for every rectangle that shares a pixel with `area`.
    template <class Visit>
    void ForEachOverlapping(const TRect& area, Visit&& visit) const {
        if (Cols == 0 || area.IsEmpty()) {
            return;
        }
        // A box reaches at most one cell right of and below its own.
        const int firstCol = std::max(CellOf(area.Left, Bounds.Left) - 1, 0);
        const int firstRow = std::max(CellOf(area.Top, Bounds.Top) - 1, 0);
        const int lastCol = std::min(CellOf(area.Right - 1, Bounds.Left), Cols - 1);
        const int lastRow = std::min(CellOf(area.Bottom - 1, Bounds.Top), Rows - 1);
        for (int row = firstRow; row <= lastRow; ++row) {
            for (int col = firstCol; col <= lastCol; ++col) {
                for (const TRect& box : Cells[static_cast<std::size_t>(row) * Cols + col]) {
                    if (!box.Intersect(area).IsEmpty()) {
                        visit(box);
                    }
                }
            }
        }
    }

private:
    int CellOf(int at, int origin) const;

    TRect Bounds;
    int CellSize = 1;
    int Cols = 0;
    int Rows = 0;
    std::vector<std::vector<TRect>> Cells;
};
