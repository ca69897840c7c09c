#include "puzzle/IndexBitmap.h"

#include <algorithm>
#include <cassert>

IndexBitmap::IndexBitmap(int width, int height, std::uint8_t fill)
    : W(width)
    , H(height)
    , Indices(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill) {
    assert(width >= 0 && height >= 0 && fill <= 15);
}

void IndexBitmap::FillRect(int left, int top, int right, int bottom, std::uint8_t index) {
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, W);
    bottom = std::min(bottom, H);
    for (int y = top; y < bottom; ++y) {
        std::fill(Scanline(y) + left, Scanline(y) + std::max(left, right), index);
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
    const int left = std::max(x, 0);
    const int top = std::max(y, 0);
    const int right = std::min(x + source.Width(), W);
    const int bottom = std::min(y + source.Height(), H);
    for (int row = top; row < bottom; ++row) {
        const std::uint8_t* from = source.Scanline(row - y) + (left - x);
        std::uint8_t* to = Scanline(row);
        for (int col = left; col < right; ++col) {
            to[col] &= *from++;
        }
    }
}
