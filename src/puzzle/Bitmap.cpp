#include "puzzle/Bitmap.h"

#include <algorithm>
#include <cassert>

Bitmap::Bitmap(int width, int height)
    : W(width)
    , H(height)
    , Pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0xFF000000u) {
    assert(width >= 0 && height >= 0);
}

void Bitmap::Fill(Pixel p) {
    std::fill(Pixels.begin(), Pixels.end(), p);
}

void Bitmap::FillRect(int left, int top, int right, int bottom, Pixel p) {
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, W);
    bottom = std::min(bottom, H);
    if (left >= right || top >= bottom) {
        return;
    }
    for (int y = top; y < bottom; ++y) {
        std::fill(Scanline(y) + left, Scanline(y) + right, p);
    }
}
