#pragma once

#include "puzzle/Bitmap.h"
#include "puzzle/Color.h"

#include <optional>

// The board buffer, knowing whether it shows nothing but one colour, so that a bare board can
// be painted in its colour rather than copied. Every write goes through Fill or DrawOn, so the
// knowledge cannot go stale.
class BoardCanvas {
public:
    BoardCanvas() = default;
    BoardCanvas(int width, int height, TColor color)
        : Pixels(width, height, PixelFromColor(color))
        , Plain(color) {}

    void Fill(TColor color) {
        Pixels.Fill(PixelFromColor(color));
        Plain = color;
    }
    // For drawing anything else on it.
    Bitmap& DrawOn() {
        Plain.reset();
        return Pixels;
    }
    const Bitmap& View() const { return Pixels; }
    bool ShowsOnly(TColor color) const { return Plain == color; }

private:
    Bitmap Pixels;
    std::optional<TColor> Plain;
};
