#pragma once

#include <algorithm>

// A board pixel.
struct Point {
    int X = 0;
    int Y = 0;

    bool operator==(const Point&) const = default;
};

// A rectangle of board pixels: Left and Top inside, Right and Bottom just outside.
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    bool Contains(int x, int y) const { return x >= Left && x < Right && y >= Top && y < Bottom; }

    TRect Offset(int dx, int dy) const { return {Left + dx, Top + dy, Right + dx, Bottom + dy}; }

    // The common part; empty (all zero) when there is none.
    TRect Intersect(const TRect& other) const {
        const TRect r{std::max(Left, other.Left), std::max(Top, other.Top),
                      std::min(Right, other.Right), std::min(Bottom, other.Bottom)};
        return r.IsEmpty() ? TRect{} : r;
    }

    bool Intersects(const TRect& other) const {
        return std::max(Left, other.Left) < std::min(Right, other.Right) &&
               std::max(Top, other.Top) < std::min(Bottom, other.Bottom);
    }

    // The smallest rectangle holding both.
    TRect Union(const TRect& other) const {
        return {std::min(Left, other.Left), std::min(Top, other.Top), std::max(Right, other.Right),
                std::max(Bottom, other.Bottom)};
    }

    bool operator==(const TRect&) const = default;
};

// The part of `r` inside a width x height bitmap; empty when none of it is.
inline TRect ClipToBitmap(const TRect& r, int width, int height) {
    return r.Intersect({0, 0, width, height});
}
