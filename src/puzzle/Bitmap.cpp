#include "puzzle/Bitmap.h"

#include <algorithm>
#include <cassert>
#include <cstdint>

Bitmap::Bitmap(int width, int height, Pixel fill)
    : W(width)
    , H(height)
    , Pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill) {
    assert(width >= 0 && height >= 0);
}

void Bitmap::Fill(Pixel p) {
    std::fill(Pixels.begin(), Pixels.end(), p);
}

void Bitmap::FillRect(int left, int top, int right, int bottom, Pixel p) {
    const TRect r = ClipToBitmap({left, top, right, bottom}, W, H);
    for (int y = r.Top; y < r.Bottom; ++y) {
        std::fill(Scanline(y) + r.Left, Scanline(y) + r.Right, p);
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
    const TRect r =
        ClipToBitmap({left, top, right, bottom}, std::min(source.Width(), target.Width()),
                     std::min(source.Height(), target.Height()));
    for (int y = r.Top; y < r.Bottom; ++y) {
        std::copy(source.Scanline(y) + r.Left, source.Scanline(y) + r.Right,
                  target.Scanline(y) + r.Left);
    }
}

void CopyArea(const Bitmap& source, const TRect& area, Bitmap& target, Point to) {
    const int dx = to.X - area.Left;
    const int dy = to.Y - area.Top;
    const TRect from =
        ClipToBitmap(area, source.Width(), source.Height())
            .Intersect(TRect{0, 0, target.Width(), target.Height()}.Offset(-dx, -dy));
    for (int y = from.Top; y < from.Bottom; ++y) {
        std::copy(source.Scanline(y) + from.Left, source.Scanline(y) + from.Right,
                  target.Scanline(y + dy) + from.Left + dx);
    }
}
