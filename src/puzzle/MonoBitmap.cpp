#include "puzzle/MonoBitmap.h"

#include "puzzle/Rect.h"

#include <algorithm>
#include <cassert>

MonoBitmap::MonoBitmap(int width, int height, bool fill)
    : W(width)
    , H(height)
    , RowBytes((width + 7) / 8)
    , Bits(static_cast<std::size_t>(RowBytes) * static_cast<std::size_t>(height)) {
    assert(width >= 0 && height >= 0);
    Fill(fill);
}

void MonoBitmap::Set(int x, int y, bool bit) {
    std::uint8_t& byte = Scanline(y)[x >> 3];
    const auto mask = static_cast<std::uint8_t>(0x80u >> (x & 7));
    byte = bit ? static_cast<std::uint8_t>(byte | mask) : static_cast<std::uint8_t>(byte & ~mask);
}

// Padding bits past the last pixel of a row always equal the fill, so two bitmaps with the same
// pixels compare equal.
void MonoBitmap::Fill(bool bit) {
    std::fill(Bits.begin(), Bits.end(), bit ? 0xFF : 0x00);
}

void MonoBitmap::FillRect(int left, int top, int right, int bottom, bool bit) {
    const TRect r = ClipToBitmap({left, top, right, bottom}, W, H);
    for (int y = r.Top; y < r.Bottom; ++y) {
        for (int x = r.Left; x < r.Right; ++x) {
            Set(x, y, bit);
        }
    }
}

void MonoBitmap::AndAt(const MonoBitmap& source, int x, int y) {
    const TRect r = ClipToBitmap({x, y, x + source.Width(), y + source.Height()}, W, H);
    for (int row = r.Top; row < r.Bottom; ++row) {
        for (int col = r.Left; col < r.Right; ++col) {
            if (!source.Get(col - x, row - y)) {
                Set(col, row, false);
            }
        }
    }
}
