#include "puzzle/Bitmap.h"

#include <algorithm>
#include <cassert>
#include <cstdint>

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

Bitmap StretchNearest(const Bitmap& source, int width, int height) {
    Bitmap target(width, height);
    if (source.IsEmpty()) {
        return target;
    }
    std::vector<int> columns(static_cast<std::size_t>(width));
    for (int x = 0; x < width; ++x) {
        columns[x] = static_cast<int>(static_cast<std::int64_t>(x) * source.Width() / width);
    }
    for (int y = 0; y < height; ++y) {
        const Pixel* from = source.Scanline(
            static_cast<int>(static_cast<std::int64_t>(y) * source.Height() / height));
        Pixel* to = target.Scanline(y);
        for (int x = 0; x < width; ++x) {
            to[x] = from[columns[x]];
        }
    }
    return target;
}

void CopyRect(const Bitmap& source, Bitmap& target, int left, int top, int right, int bottom) {
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min({right, source.Width(), target.Width()});
    bottom = std::min({bottom, source.Height(), target.Height()});
    for (int y = top; y < bottom; ++y) {
        std::copy(source.Scanline(y) + left, source.Scanline(y) + std::max(left, right),
                  target.Scanline(y) + left);
    }
}
