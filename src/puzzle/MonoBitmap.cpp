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

namespace {

// The bits of a byte that stand for pixels first..last of it (0 = leftmost, inclusive).
std::uint8_t BitsOf(int first, int last) {
    return static_cast<std::uint8_t>((0xFFu >> first) & (0xFFu << (7 - last)));
}

} // namespace

// A byte at a time: the pixels of the rectangle in each byte are set or cleared together.
void MonoBitmap::FillRect(int left, int top, int right, int bottom, bool bit) {
    const TRect r = ClipToBitmap({left, top, right, bottom}, W, H);
    if (r.IsEmpty()) {
        return;
    }
    for (int y = r.Top; y < r.Bottom; ++y) {
        std::uint8_t* row = Scanline(y);
        for (int byte = r.Left >> 3; byte <= (r.Right - 1) >> 3; ++byte) {
            const int first = std::max(r.Left - byte * 8, 0);
            const int last = std::min(r.Right - 1 - byte * 8, 7);
            const std::uint8_t bits = BitsOf(first, last);
            row[byte] = bit ? static_cast<std::uint8_t>(row[byte] | bits)
                            : static_cast<std::uint8_t>(row[byte] & ~bits);
        }
    }
}

// A byte of this bitmap at a time: the source's eight pixels that fall on it are gathered from
// the two source bytes they straddle.
void MonoBitmap::AndAt(const MonoBitmap& source, int x, int y) {
    const TRect r = ClipToBitmap({x, y, x + source.Width(), y + source.Height()}, W, H);
    if (r.IsEmpty()) {
        return;
    }
    const auto sourceByte = [&](const std::uint8_t* row, int index) -> unsigned {
        return index >= 0 && index < source.Pitch() ? row[index] : 0xFFu;
    };
    for (int rowY = r.Top; rowY < r.Bottom; ++rowY) {
        const std::uint8_t* from = source.Scanline(rowY - y);
        std::uint8_t* to = Scanline(rowY);
        for (int byte = r.Left >> 3; byte <= (r.Right - 1) >> 3; ++byte) {
            const int first = std::max(r.Left - byte * 8, 0);
            const int last = std::min(r.Right - 1 - byte * 8, 7);
            // Source pixel of this byte's leftmost pixel, and the bits from there on.
            const int start = byte * 8 - x;
            const int whole = start >> 3; // rounds down for negative starts
            const int shift = start - whole * 8;
            const unsigned window = (sourceByte(from, whole) << 8 | sourceByte(from, whole + 1))
                                    << shift;
            const auto sourceBits = static_cast<std::uint8_t>(window >> 8);
            const std::uint8_t covered = BitsOf(first, last);
            to[byte] &= static_cast<std::uint8_t>(sourceBits | ~covered);
        }
    }
}
