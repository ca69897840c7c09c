// Dropping a group: it goes back into the board buffer, snaps to a grid neighbour of another
// group within the tolerance and joins it, and a puzzle that became one group is congratulated.
#include "main/Main.h"
#include "main/MessageBox.h"
#include "main/PointerConfinement.h"
#include "puzzle/Groups.h"
#include "puzzle/Snap.h"

namespace {

constexpr int DropRepairMargin = 2;

} // namespace

void TFormMain::FormMouseUp(Qt::MouseButton, int x, int y) {
    const QPoint at = Confinement->Clamp({x, y});
    Confinement->Release();
    if (HeldPiece == nullptr) {
        return;
    }
    PutDownHeldGroup();
    CopyToWindow(Buffer::Board, DragRegion(at.x(), at.y()));

    // A drop joins once, unless the held piece was let go exactly at its home position.
    const bool atHome =
        HeldPiece->HomeX == HeldPiece->Bounds.Left && HeldPiece->HomeY == HeldPiece->Bounds.Top;
    bool joined = false;
    while (JoinOnce()) {
        joined = true;
        if (!atHome) {
            break;
        }
    }
    const bool solved = !GameOver && IsSolved(*Pieces);
    if (joined) {
        const int group = (*HeldPieces.begin())->GroupId;
        for (const auto& piece : *Pieces) {
            if (piece->GroupId == group) {
                piece->Draw(*BoardBuffer, *Picture);
            }
        }
        Invalidate();
    }
    if (solved) {
        GameOver = true;
        ShowMessageBox(QStringLiteral("Congratulations. You've solved the puzzle."),
                       MessageIcon::Information);
    }
    EndDrag();
}

void TFormMain::PutDownHeldGroup() {
    RedrawAroundHeldGroup(DropRepairMargin);
    for (const TPuzzle* held : HeldPieces) {
        held->Draw(*BoardBuffer, *Picture);
    }
}

// One snap pass: finds the first fit, moves the held group onto it and merges the groups.
bool TFormMain::JoinOnce() {
    const std::optional<SnapMove> snap = FindSnap(HeldPieces, *Pieces, PieceSize, TabSize);
    if (!snap) {
        return false;
    }
    EraseHeldGroup();
    for (TPuzzle* held : HeldPieces) {
        held->Bounds = held->Bounds.Offset(snap->Dx, snap->Dy);
    }
    MergeGroup(*Pieces, snap->TargetGroup, HeldPiece->GroupId);
    return true;
}
