#pragma once

#include <cstdint>

// What a puzzle type selects: the normalised type, the side of a piece bitmap and the depth of
// the band in which knobs and sockets lie. Accepted types are 1-4 and 11-14; any other is 3.
struct PuzzleSizes {
    std::int32_t PuzzleType;
    std::int32_t PieceSize;
    std::int32_t TabSize;
};

PuzzleSizes SizesForPuzzleType(std::int32_t type);
