#pragma once

#include "puzzle/EdgeBitmaps.h"
#include "puzzle/IndexBitmap.h"
#include "puzzle/MonoBitmap.h"

// The knob design of one level, drawn as the two strips of the band below a piece: the bottom
// knob strip and the lower neighbour's matching top socket strip (PieceSize x TabSize each; row
// 0 touches the upper piece's cell). Black (0) is inside.
struct BandDesign {
    MonoBitmap BottomKnob;
    MonoBitmap TopSocket;
};

// 1 <= level <= 4
BandDesign DesignForLevel(int level);

MonoBitmap FlipVertically(const MonoBitmap& strip);
MonoBitmap FlipHorizontally(const MonoBitmap& strip);
MonoBitmap Transpose(const MonoBitmap& strip);

// The shade strip of a mask strip: 3 outside, 12 inside, 1 on a rim facing up or left and 2 on
// a rim facing down or right. `ownCell` is the side of the strip that touches the piece's own
// cell, beyond which the piece goes on.
IndexBitmap ShadeFor(const MonoBitmap& mask, Side ownCell);
