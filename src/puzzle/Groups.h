#pragma once

#include "puzzle/PieceList.h"

// Groups of joined pieces: there is no group object, only pieces that share a GroupId.

// The topmost piece whose shape covers the board point, or null.
TPuzzle* TopmostAt(PieceList& pieces, int x, int y);

// Gives every piece of group `absorbed` the number `survivor` and raises it to the top, walking
// from the top down: the absorbed pieces end above all others, in reverse of their former order.
void MergeGroup(PieceList& pieces, int absorbed, int survivor);

// Whether every piece shares the bottom piece's group.
bool IsSolved(const PieceList& pieces);
