#pragma once

#include <cstdint>
#include <span>

// What a puzzle type selects: the side of a piece bitmap, the depth of the band in which knobs
// and sockets lie, and the level that picks the grid's thresholds and the edge strips.
struct PuzzleShape {
    std::int32_t Type = 1;
    std::int32_t PieceSize = 96;
    std::int32_t TabSize = 16;
    // Only levels 1 to 4 have edge strips: a puzzle of any other level cannot be cut.
    std::int32_t EdgeLevel = 1;

    // From one column (row) of pieces to the next.
    int Pitch() const { return PieceSize - TabSize; }

    // Accepted types are 1-4 and 11-14; any other is type 3.
    static PuzzleShape ForType(std::int32_t type);

    bool operator==(const PuzzleShape&) const = default;
};

// The shape of every accepted type, in the order of the types.
std::span<const PuzzleShape> AcceptedShapes();
