#include "puzzle/IndexBitmap.h"

#include "puzzle/Rect.h"

#include <algorithm>
#include <cassert>

IndexBitmap::IndexBitmap(int width, int height, std::uint8_t fill)
    : W(width)
    , H(height)
    , Indices(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill) {
    assert(width >= 0 && height >= 0 && fill <= 15);
}

void IndexBitmap::FillRect(int left, int top, int right, int bottom, std::uint8_t index) {
    const TRect r = ClipToBitmap({left, top, right, bottom}, W, H);
    for (int y = r.Top; y < r.Bottom; ++y) {
        std::fill(Scanline(y) + r.Left, Scanline(y) + r.Right, index);
    }
}

void IndexBitmap::Line(int x0, int y0, int x1, int y1, std::uint8_t index) {
    assert(x0 == x1 || y0 == y1);
    if (x0 < x1) {
        FillRect(x0, y0, x1, y0 + 1, index);
    } else if (x0 > x1) {
        FillRect(x1 + 1, y0, x0 + 1, y0 + 1, index);
    } else if (y0 < y1) {
        FillRect(x0, y0, x0 + 1, y1, index);
    } else if (y0 > y1) {
        FillRect(x0, y1 + 1, x0 + 1, y0 + 1, index);
    }
}

void IndexBitmap::AndAt(const IndexBitmap& source, int x, int y) {
    const TRect r = ClipToBitmap({x, y, x + source.Width(), y + source.Height()}, W, H);
    for (int row = r.Top; row < r.Bottom; ++row) {
        const std::uint8_t* from = source.Scanline(row - y) + (r.Left - x);
        std::uint8_t* to = Scanline(row);
        for (int col = r.Left; col < r.Right; ++col) {
            to[col] &= *from++;
        }
    }
}
