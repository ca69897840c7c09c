#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A 1-bit bitmap: packed rows, top row first, the most significant bit of a byte the leftmost
// pixel. In piece masks and mask strips 0 (black) is inside the piece and 1 (white) outside.
class MonoBitmap {
public:
    MonoBitmap() = default;
    // 0 <= width, 0 <= height; every pixel starts at `fill`.
    MonoBitmap(int width, int height, bool fill = true);

    int Width() const { return W; }
    int Height() const { return H; }
    // Bytes per row.
    int Pitch() const { return RowBytes; }

    // 0 <= y < Height()
    std::uint8_t* Scanline(int y) { return Bits.data() + static_cast<std::size_t>(y) * RowBytes; }
    const std::uint8_t* Scanline(int y) const {
        return Bits.data() + static_cast<std::size_t>(y) * RowBytes;
    }

    // 0 <= x < Width(), 0 <= y < Height()
    bool Get(int x, int y) const { return (Scanline(y)[x >> 3] >> (7 - (x & 7))) & 1; }
    void Set(int x, int y, bool bit);

    void Fill(bool bit);
    // Sets the part of the rectangle (right and bottom exclusive) that lies inside the bitmap.
    void FillRect(int left, int top, int right, int bottom, bool bit);
    // ANDs `source` in with its top-left corner at (x, y), clipped to this bitmap.
    void AndAt(const MonoBitmap& source, int x, int y);

    bool operator==(const MonoBitmap&) const = default;

private:
    int W = 0;
    int H = 0;
    int RowBytes = 0;
    std::vector<std::uint8_t> Bits;
};
