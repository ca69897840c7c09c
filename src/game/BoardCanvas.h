#pragma once

#include "puzzle/Bitmap.h"
#include "puzzle/Color.h"

#include <optional>

// The board buffer, knowing whether it shows nothing but one colour, so that a bare board can
// be painted in its colour rather than copied. A bare board takes no memory until something is
// drawn on it or it is read. Every write goes through Fill or DrawOn, so the knowledge cannot go
// stale.
class BoardCanvas {
public:
    BoardCanvas() = default;
    BoardCanvas(int width, int height, TColor color)
        : W(width)
        , H(height)
        , Plain(color) {}

    int Width() const { return W; }
    int Height() const { return H; }

    void Fill(TColor color) {
        if (Plain != color && !Pixels.IsEmpty()) {
            Pixels.Fill(PixelFromColor(color));
        }
        Plain = color;
    }
    // For drawing anything else on it.
    Bitmap& DrawOn() {
        Materialize();
        Plain.reset();
        return Pixels;
    }
    const Bitmap& View() const {
        Materialize();
        return Pixels;
    }
    bool ShowsOnly(TColor color) const { return Plain == color; }

private:
    void Materialize() const {
        if (Pixels.IsEmpty() && W > 0 && H > 0) {
            Pixels = Bitmap(W, H, PixelFromColor(Plain.value_or(0)));
        }
    }

    int W = 0;
    int H = 0;
    mutable Bitmap Pixels;
    std::optional<TColor> Plain;
};
