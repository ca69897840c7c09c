#pragma once

enum class Side { Top, Bottom, Left, Right };

// The stored bitmap that shapes one side of a piece: 1-bit mask strips are numbered 151-188,
// their 4-bit shade strips 100 higher. Level 1-4 selects the size class; `out` a knob rather
// than a socket. Top and bottom strips are PieceSize x TabSize and lie at the piece bitmap's top
// and bottom edge; left and right strips are TabSize x PieceSize.
int EdgeMaskNumber(Side side, bool out, int level);

inline int EdgeShadeNumber(Side side, bool out, int level) {
    return EdgeMaskNumber(side, out, level) + 100;
}
