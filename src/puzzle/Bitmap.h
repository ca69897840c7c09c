#pragma once

#include "puzzle/Color.h"
#include "puzzle/Rect.h"

#include <cstddef>
#include <vector>

// A colour bitmap that owns its pixels: rows of 32-bit opaque pixels, top row first.
class Bitmap {
public:
    Bitmap() = default;
    // 0 <= width, 0 <= height; every pixel starts as `fill`.
    Bitmap(int width, int height, Pixel fill = MakePixel(0, 0, 0));

    int Width() const { return W; }
    int Height() const { return H; }
    // Pixels per row.
    int Pitch() const { return W; }
    bool IsEmpty() const { return W == 0 || H == 0; }

    // 0 <= y < Height()
    Pixel* Scanline(int y) { return Pixels.data() + static_cast<std::size_t>(y) * W; }
    const Pixel* Scanline(int y) const { return Pixels.data() + static_cast<std::size_t>(y) * W; }

    Pixel At(int x, int y) const { return Scanline(y)[x]; }
    void Set(int x, int y, Pixel p) { Scanline(y)[x] = p; }

    void Fill(Pixel p);
    // Fills the part of the rectangle that lies inside the bitmap.
    void FillRect(int left, int top, int right, int bottom, Pixel p);

    bool operator==(const Bitmap&) const = default;

private:
    int W = 0;
    int H = 0;
    std::vector<Pixel> Pixels;
};

// The whole of `source` stretched to width x height, nearest neighbour: target pixel (x, y)
// takes source pixel (x * sourceWidth / width, y * sourceHeight / height), no averaging.
// width >= 0, height >= 0.
Bitmap StretchNearest(const Bitmap& source, int width, int height);

// Copies the pixels of `rect` (clipped to both bitmaps) from `source` to the same place in
// `target`.
void CopyRect(const Bitmap& source, Bitmap& target, int left, int top, int right, int bottom);

// Copies the pixels of `area` of `source` to `target` with the area's top-left corner at `to`;
// what lies outside either bitmap is left out.
void CopyArea(const Bitmap& source, const TRect& area, Bitmap& target, Point to);
