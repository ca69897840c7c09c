// Picking up a group and dragging it: the group is lifted off the board, raised, and composed
// with its shadow over the board in the drag buffer for every movement of the pointer.
#include "game/Board.h"
#include "puzzle/Groups.h"

#include <algorithm>
#include <vector>

namespace {

// Room for the shadow, which falls 2 pixels right of and below each piece.
constexpr int ShadowOffset = 2;

} // namespace

TRect Board::ConfinementRect() const {
    const int clientWidth = Width() - 1;
    return {1, 1, clientWidth - 2, Height() - 2};
}

// Nothing happens without a puzzle, while a group is held, or off every piece.
BoardUpdate Board::PickUp(int x, int y) {
    if (!WorkingPicture || !AllPieces || IsHolding() || !PickUpGroup(x, y)) {
        return {};
    }
    const TRect press{DragRect.Left, DragRect.Top, DragRect.Right + ShadowOffset,
                      DragRect.Bottom + ShadowOffset};
    ComposeDrag(press);
    return {press, true};
}

bool Board::PickUpGroup(int x, int y) {
    LastMouseX = x;
    LastMouseY = y;
    Grabbed = TopmostAt(*AllPieces, x, y);
    if (Grabbed == nullptr) {
        return false;
    }
    DragRect = {x, y, x, y};
    std::vector<PieceList::Container::iterator> members;
    for (auto at = AllPieces->begin(); at != AllPieces->end(); ++at) {
        TPuzzle* piece = at->get();
        if (piece->GroupId == Grabbed->GroupId) {
            Held.PushFront(piece);
            members.push_back(at);
            DragRect = DragRect.Union(piece->Bounds);
        }
    }
    // Raised in held order: the topmost member goes first and ends lowest.
    for (auto member = members.rbegin(); member != members.rend(); ++member) {
        AllPieces->MoveToBack(*member);
    }
    Lift();
    return true;
}

// The board shows the pieces but the held group from now on.
void Board::Lift() {
    LiftedGroup = Grabbed->GroupId;
    Canvas.ShowPieces();
}

// The rectangle that holds the group and its shadow both where it was last shown and where
// the pointer at (x, y) puts it.
TRect Board::DragRegion(int x, int y) const {
    const int w = DragRect.Width();
    const int h = DragRect.Height();
    const int left = std::min(x, LastMouseX) - w - ShadowOffset;
    const int top = std::min(y, LastMouseY) - h - ShadowOffset;
    const int right = std::max(x, LastMouseX) + w + ShadowOffset;
    const int bottom = std::max(y, LastMouseY) + h + ShadowOffset;
    return {left, top, right, bottom};
}

// The board without the group, then every member's shadow, then every member, in the part of
// `region` on the board, which the drag buffer then holds.
void Board::ComposeDrag(const TRect& region) {
    DragComposed = ClipToBitmap(region, Width(), Height());
    if (DragPixels.Width() < DragComposed.Width() || DragPixels.Height() < DragComposed.Height()) {
        // Some room to spare, so that a pointer speeding up does not ask for a new buffer at
        // every motion.
        constexpr int Slack = 64;
        DragPixels = Bitmap(std::max(DragPixels.Width(), DragComposed.Width() + Slack),
                            std::max(DragPixels.Height(), DragComposed.Height() + Slack));
    }
    const Point origin{DragComposed.Left, DragComposed.Top};
    DrawBoardPart(DragPixels, origin, DragComposed);
    for (const TPuzzle* held : Held) {
        held->DrawShadowAt(DragPixels, origin);
    }
    for (const TPuzzle* held : Held) {
        held->DrawAt(DragPixels, origin, *WorkingPicture);
    }
}

BoardUpdate Board::Move(int x, int y) {
    if (!IsHolding()) {
        return {};
    }
    const int dx = x - LastMouseX;
    const int dy = y - LastMouseY;
    for (TPuzzle* held : Held) {
        held->Bounds = held->Bounds.Offset(dx, dy);
    }
    const TRect region = DragRegion(x, y);
    ComposeDrag(region);
    LastMouseX = x;
    LastMouseY = y;
    return {region, true};
}

void Board::EndDrag() {
    Held.Clear();
    Grabbed = nullptr;
}
