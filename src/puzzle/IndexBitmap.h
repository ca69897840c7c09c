#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A bitmap of 4-bit palette indices (0-15) over the standard 16-colour palette, one byte per
// pixel, top row first. Shade maps and shade strips use it: 1 marks a light rim, 2 a dark rim.
class IndexBitmap {
public:
    IndexBitmap() = default;
    // 0 <= width, 0 <= height, 0 <= fill <= 15
    IndexBitmap(int width, int height, std::uint8_t fill);

    int Width() const { return W; }
    int Height() const { return H; }
    int Pitch() const { return W; }

    std::uint8_t* Scanline(int y) { return Indices.data() + static_cast<std::size_t>(y) * W; }
    const std::uint8_t* Scanline(int y) const {
        return Indices.data() + static_cast<std::size_t>(y) * W;
    }

    std::uint8_t Get(int x, int y) const { return Scanline(y)[x]; }
    void Set(int x, int y, std::uint8_t index) { Scanline(y)[x] = index; }

    // Sets the part of the rectangle (right and bottom exclusive) that lies inside the bitmap.
    void FillRect(int left, int top, int right, int bottom, std::uint8_t index);
    // A horizontal or vertical line from (x0, y0) that stops one pixel short of (x1, y1).
    void Line(int x0, int y0, int x1, int y1, std::uint8_t index);
    // ANDs `source` in, index by index, with its top-left corner at (x, y), clipped.
    void AndAt(const IndexBitmap& source, int x, int y);

    bool operator==(const IndexBitmap&) const = default;

private:
    int W = 0;
    int H = 0;
    std::vector<std::uint8_t> Indices;
};
