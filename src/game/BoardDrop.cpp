// Dropping a group: it goes back into the board buffer, snaps to a grid neighbour of another
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
        DrawHeldGroupAfterJoin();
        update.ShowAll = true;
    }
    EndDrag();
    return update;
}

// The board buffer holds the board without the group throughout a drag, so the group is
// simply drawn over it.
void Board::PutDownHeldGroup() {
    Bitmap& pixels = Canvas.DrawOn();
    for (const TPuzzle* held : Held) {
        held->Draw(pixels, *WorkingPicture);
    }
}

// One snap pass: finds the first fit, moves the held group onto it and merges the groups.
bool Board::JoinOnce() {
    const PuzzleShape& shape = Settings.Shape;
    const std::optional<SnapMove> snap = FindSnap(Held, *AllPieces, shape.PieceSize, shape.TabSize);
    if (!snap) {
        return false;
    }
    EraseHeldGroup();
    for (TPuzzle* held : Held) {
        held->Bounds = held->Bounds.Offset(snap->Dx, snap->Dy);
    }
    MergeGroup(*AllPieces, snap->TargetGroup, Grabbed->GroupId);
    return true;
}

// The held group, absorbed pieces included, over everything at its snapped place.
void Board::DrawHeldGroupAfterJoin() {
    const int group = (*Held.begin())->GroupId;
    Bitmap& pixels = Canvas.DrawOn();
    for (const auto& piece : *AllPieces) {
        if (piece->GroupId == group) {
            piece->Draw(pixels, *WorkingPicture);
        }
    }
}
