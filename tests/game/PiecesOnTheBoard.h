#pragma once

#include "puzzle/Groups.h"
#include "puzzle/PieceList.h"

#include <optional>
#include <stdexcept>
#include <utility>

// Finding pieces the way a player does: by their place in the picture, and by a point where
// they show on top.

inline TPuzzle& PieceAtGrid(const PieceList& pieces, int col, int row) {
    for (const auto& p : pieces) {
        if (p->Col == col && p->Row == row) {
            return *p;
        }
    }
    throw std::logic_error("no such piece");
}

// A board point well inside `piece` where it is the topmost piece, if there is one.
inline std::optional<std::pair<int, int>> VisiblePoint(PieceList& pieces, const TPuzzle& piece) {
    const TRect& b = piece.Bounds;
    for (int y = b.Top + b.Height() / 3; y < b.Bottom; ++y) {
        for (int x = b.Left + b.Width() / 3; x < b.Right; ++x) {
            if (TopmostAt(pieces, x, y) == &piece) {
                return std::pair{x, y};
            }
        }
    }
    return std::nullopt;
}

inline std::pair<int, int> GripOf(PieceList& pieces, const TPuzzle& piece) {
    if (const auto point = VisiblePoint(pieces, piece)) {
        return *point;
    }
    throw std::logic_error("the piece is covered");
}
