#pragma once

#include "puzzle/Color.h"

#include <optional>

// What the board shows: nothing but one colour, or its pieces. The board keeps no pixels of its
// own: whoever shows it draws the part it needs from the pieces when it needs it.
class BoardCanvas {
public:
    BoardCanvas() = default;
    BoardCanvas(int width, int height, TColor color)
        : W(width)
        , H(height)
        , Plain(color) {}

    int Width() const { return W; }
    int Height() const { return H; }

    void Fill(TColor color) { Plain = color; }
    void ShowPieces() { Plain.reset(); }
    // The one colour the board shows; none while it shows its pieces.
    std::optional<TColor> PlainColor() const { return Plain; }

private:
    int W = 0;
    int H = 0;
    std::optional<TColor> Plain;
};
