#pragma once

#include "puzzle/PieceList.h"

#include <optional>

// How far from an exact fit a dropped piece may lie and still snap, in pixels.
inline constexpr int SnapTolerance = 5;

struct SnapMove {
    int TargetGroup;
    int Dx;
    int Dy;
};

// Where `held` goes when it fits its grid neighbour `other` (boxes overlapping by TabSize
// within the tolerance, above, below, right or left of it, in that order of testing), as the
// new top-left of its Bounds; nothing when it does not fit.
std::optional<std::pair<int, int>> SnapPlace(const TPuzzle& held, const TPuzzle& other,
                                             int pieceSize, int tabSize);

// The first fit of a held piece (in held order) with a piece of another group (bottom to top),
// and the shift that makes it exact.
std::optional<SnapMove> FindSnap(const HeldPieceList& held, const PieceList& pieces, int pieceSize,
                                 int tabSize);
