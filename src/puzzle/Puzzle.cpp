#include "puzzle/Puzzle.h"

#include "puzzle/IndexBitmap.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::uint8_t ShadeBlank = 15;
constexpr std::uint8_t ShadeLight = 1;
constexpr std::uint8_t ShadeDark = 2;
constexpr int BevelStep = 50;

Pixel Lighter(Pixel p) {
    const auto up = [](std::uint8_t c) {
        return static_cast<std::uint8_t>(std::min(c + BevelStep, 255));
    };
    return MakePixel(up(Red(p)), up(Green(p)), up(Blue(p)));
}

Pixel Darker(Pixel p) {
    const auto down = [](std::uint8_t c) {
        return static_cast<std::uint8_t>(std::max(c - BevelStep, 0));
    };
    return MakePixel(down(Red(p)), down(Green(p)), down(Blue(p)));
}

struct SideStrip {
    Side Where;
    bool Flat;
    bool Out;
};

// Places a strip at its side of an s x s piece bitmap.
void PlaceStrip(Side side, int s, int& x, int& y, int stripWidth, int stripHeight) {
    x = side == Side::Right ? s - stripWidth : 0;
    y = side == Side::Bottom ? s - stripHeight : 0;
}

// Clears a flat side's margin to outside and draws its border line into the shade map.
void CutFlatSide(Side side, int s, int t, int marginX, int marginY, MonoBitmap& mask,
                 IndexBitmap& shade) {
    const auto clear = [&](int left, int top, int right, int bottom) {
        mask.FillRect(left, top, right, bottom, true);
        shade.FillRect(left, top, right, bottom, ShadeBlank);
    };
    switch (side) {
    case Side::Top:
        clear(0, 0, s, t);
        shade.Line(t, t, s, t, ShadeLight);
        break;
    case Side::Bottom:
        clear(0, s - marginY, s, s);
        shade.Line(0, s - marginY - 1, s, s - marginY - 1, ShadeDark);
        break;
    case Side::Left:
        clear(0, 0, t, s);
        shade.Line(t, 0, t, s - marginY - 1, ShadeLight);
        break;
    case Side::Right:
        clear(s - marginX, 0, s, s);
        shade.Line(s - marginX - 1, 0, s - marginX - 1, s - marginY - 1, ShadeDark);
        break;
    }
}

// Whether any of the eight shade marks from `marks` on is a light or a dark rim: a byte whose
// low three bits are 1 or 2. The test runs on all eight bytes at once.
bool AnyRimMark(const std::uint8_t* marks) {
    std::uint64_t word = 0;
    std::memcpy(&word, marks, sizeof word);
    constexpr std::uint64_t Ones = 0x0101010101010101ull;
    constexpr std::uint64_t Highs = 0x8080808080808080ull;
    const std::uint64_t kinds = word & (7 * Ones);
    const auto hasZeroByte = [](std::uint64_t v) { return ((v - Ones) & ~v & Highs) != 0; };
    return hasZeroByte(kinds ^ Ones) || hasZeroByte(kinds ^ (2 * Ones));
}

void BakeBevel(const IndexBitmap& shade, int homeX, int homeY, Bitmap& picture) {
    const int top = std::max(0, -homeY);
    const int bottom = std::min(shade.Height(), picture.Height() - homeY);
    const int left = std::max(0, -homeX);
    const int right = std::min(shade.Width(), picture.Width() - homeX);
    for (int y = top; y < bottom; ++y) {
        const std::uint8_t* marks = shade.Scanline(y);
        Pixel* row = picture.Scanline(homeY + y) + homeX;
        for (int x = left; x < right; ++x) {
            if (x + 8 <= right && !AnyRimMark(marks + x)) {
                x += 7;
                continue;
            }
            const int k = marks[x] & 7;
            if (k == ShadeLight) {
                row[x] = Lighter(row[x]);
            } else if (k == ShadeDark) {
                row[x] = Darker(row[x]);
            }
        }
    }
}

// The board pixels a canvas holds when its pixel (0, 0) is the board point `origin`.
TRect CanvasRect(const Bitmap& canvas, Point origin) {
    return {origin.X, origin.Y, origin.X + canvas.Width(), origin.Y + canvas.Height()};
}

} // namespace

TPuzzle::TPuzzle(int x, int y, int width, int height)
    : Bounds{x, y, x + width, y + height} {}

bool TPuzzle::Contains(int x, int y) const {
    if (!Bounds.Contains(x, y) || !Mask) {
        return false;
    }
    return !Mask->Get(x - Bounds.Left, y - Bounds.Top);
}

bool TPuzzle::Cut(const TRect& inner, Bitmap* picture, int level, int marginX, int marginY,
                  const EdgeBitmaps& edges) {
    const int s = Bounds.Width();
    const int t = inner.Left;
    Mask = std::make_unique<MonoBitmap>(s, s, true);
    Mask->FillRect(inner.Left, inner.Top, inner.Right, inner.Bottom, false);
    IndexBitmap shade(s, s, ShadeBlank);
    if (picture == nullptr) {
        return true;
    }
    const SideStrip sides[] = {{Side::Top, FlatTop, TopOut},
                               {Side::Bottom, FlatBottom, BottomOut},
                               {Side::Left, FlatLeft, LeftOut},
                               {Side::Right, FlatRight, RightOut}};
    for (const SideStrip& side : sides) {
        if (side.Flat) {
            continue;
        }
        const MonoBitmap* maskStrip = edges.MaskStrip(EdgeMaskNumber(side.Where, side.Out, level));
        const IndexBitmap* shadeStrip =
            edges.ShadeStrip(EdgeShadeNumber(side.Where, side.Out, level));
        if (maskStrip == nullptr || shadeStrip == nullptr) {
            return false;
        }
        int x = 0;
        int y = 0;
        PlaceStrip(side.Where, s, x, y, maskStrip->Width(), maskStrip->Height());
        Mask->AndAt(*maskStrip, x, y);
        shade.AndAt(*shadeStrip, x, y);
    }
    for (const SideStrip& side : sides) {
        if (side.Flat) {
            CutFlatSide(side.Where, s, t, marginX, marginY, *Mask, shade);
        }
    }
    BakeBevel(shade, HomeX, HomeY, *picture);
    return true;
}

void TPuzzle::Draw(Bitmap& canvas, const Bitmap& picture) const {
    DrawAt(canvas, {}, picture);
}

void TPuzzle::DrawAt(Bitmap& canvas, Point origin, const Bitmap& picture) const {
    Compose(canvas, origin, CanvasRect(canvas, origin), picture);
}

void TPuzzle::DrawClipped(Bitmap& canvas, const TRect& clip, const Bitmap& picture) const {
    Compose(canvas, {}, clip, picture);
}

void TPuzzle::DrawClippedAt(Bitmap& canvas, Point origin, const TRect& clip,
                            const Bitmap& picture) const {
    Compose(canvas, origin, clip, picture);
}

// Walks the mask a byte (eight pixels) at a time where it can: all-outside bytes are skipped
// and all-inside bytes copied as a run.
void TPuzzle::Compose(Bitmap& canvas, Point origin, const TRect& clip,
                      const Bitmap& picture) const {
    if (!Mask) {
        return;
    }
    const TRect area = Bounds.Intersect(clip).Intersect(CanvasRect(canvas, origin));
    if (area.IsEmpty()) {
        return;
    }
    const Pixel black = MakePixel(0, 0, 0);
    for (int y = area.Top; y < area.Bottom; ++y) {
        const int maskY = y - Bounds.Top;
        const int pictureY = HomeY + maskY;
        const Pixel* source =
            pictureY >= 0 && pictureY < picture.Height() ? picture.Scanline(pictureY) : nullptr;
        const std::uint8_t* maskRow = Mask->Scanline(maskY);
        Pixel* target = canvas.Scanline(y - origin.Y);
        for (int x = area.Left; x < area.Right;) {
            const int maskX = x - Bounds.Left;
            const int pictureX = HomeX + maskX;
            if ((maskX & 7) == 0 && x + 8 <= area.Right) {
                const std::uint8_t bits = maskRow[maskX >> 3];
                if (bits == 0xFF) {
                    x += 8;
                    continue;
                }
                if (bits == 0x00 && source != nullptr && pictureX >= 0 &&
                    pictureX + 8 <= picture.Width()) {
                    // A fixed size, so that the copy is two moves rather than a call.
                    std::memcpy(target + (x - origin.X), source + pictureX, 8 * sizeof(Pixel));
                    x += 8;
                    continue;
                }
            }
            if (!Mask->Get(maskX, maskY)) {
                const bool inPicture =
                    source != nullptr && pictureX >= 0 && pictureX < picture.Width();
                target[x - origin.X] = inPicture ? source[pictureX] : black;
            }
            ++x;
        }
    }
}

void TPuzzle::DrawShadow(Bitmap& canvas) const {
    DrawShadowAt(canvas, {});
}

void TPuzzle::DrawShadowAt(Bitmap& canvas, Point origin) const {
    if (!Mask) {
        return;
    }
    const TRect shadow = Bounds.Offset(2, 2);
    const TRect area = shadow.Intersect(CanvasRect(canvas, origin));
    const Pixel black = MakePixel(0, 0, 0);
    for (int y = area.Top; y < area.Bottom; ++y) {
        const int maskY = y - shadow.Top;
        const std::uint8_t* maskRow = Mask->Scanline(maskY);
        Pixel* target = canvas.Scanline(y - origin.Y);
        for (int x = area.Left; x < area.Right;) {
            const int maskX = x - shadow.Left;
            // Eight pixels at once where the mask byte is all outside or all inside.
            if ((maskX & 7) == 0 && x + 8 <= area.Right &&
                (maskRow[maskX >> 3] == 0xFF || maskRow[maskX >> 3] == 0x00)) {
                if (maskRow[maskX >> 3] == 0x00) {
                    std::fill_n(target + (x - origin.X), 8, black);
                }
                x += 8;
                continue;
            }
            if (!Mask->Get(maskX, maskY)) {
                target[x - origin.X] = black;
            }
            ++x;
        }
    }
}
