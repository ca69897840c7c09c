// Dropping a group: it goes back onto the board, snaps to a grid neighbour of another
// group within the tolerance and joins it, and a puzzle that became one group is solved.
#include "game/Board.h"
#include "puzzle/Groups.h"
#include "puzzle/Snap.h"

BoardUpdate Board::Drop(int x, int y) {
    if (!IsHolding()) {
        return {};
    }
    PutDownHeldGroup();
    return {DragRegion(x, y)};
}

// A drop joins once, unless the held piece was let go exactly at its home position: then it
// joins every group it fits, one after the other.
BoardUpdate Board::Settle() {
    if (!IsHolding()) {
        return {};
    }
    BoardUpdate update;
    const bool atHome =
        Grabbed->HomeX == Grabbed->Bounds.Left && Grabbed->HomeY == Grabbed->Bounds.Top;
    while (JoinOnce()) {
        update.Joined = true;
        if (!atHome) {
            break;
        }
    }
    if (!Over && IsSolved(*AllPieces)) {
        Over = true;
        update.Solved = true;
    }
    if (update.Joined) {
        // The held group, absorbed pieces included, lies over everything at its snapped place.
        PutDownHeldGroup();
        update.ShowAll = true;
    }
    EndDrag();
    return update;
}

void Board::PutDownHeldGroup() {
    LiftedGroup.reset();
    Canvas.ShowPieces();
}

// One snap pass: finds the first fit, moves the held group onto it and merges the groups.
bool Board::JoinOnce() {
    const PuzzleShape& shape = Settings.Shape;
    const std::optional<SnapMove> snap = FindSnap(Held, *AllPieces, shape.PieceSize, shape.TabSize);
    if (!snap) {
        return false;
    }
    Lift();
    for (TPuzzle* held : Held) {
        held->Bounds = held->Bounds.Offset(snap->Dx, snap->Dy);
    }
    MergeGroup(*AllPieces, snap->TargetGroup, Grabbed->GroupId);
    return true;
}
