// Picking up a group and dragging it: the group is lifted out of the board buffer, raised, and
// composed with its shadow in the drag buffer for every movement of the pointer.
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
            DragRect = {std::min(DragRect.Left, piece->Bounds.Left),
                        std::min(DragRect.Top, piece->Bounds.Top),
                        std::max(DragRect.Right, piece->Bounds.Right),
                        std::max(DragRect.Bottom, piece->Bounds.Bottom)};
        }
    }
    // Raised in held order: the topmost member goes first and ends lowest.
    for (auto member = members.rbegin(); member != members.rend(); ++member) {
        AllPieces->MoveToBack(*member);
    }
    EraseHeldGroup();
    return true;
}

// Clears the held pieces' boxes and draws every other piece again inside them: the board
// buffer then holds the board without the group.
void Board::EraseHeldGroup() {
    const Pixel background = PixelFromColor(Settings.BoardColor);
    for (const TPuzzle* held : Held) {
        const TRect& b = held->Bounds;
        BoardPixels.FillRect(b.Left, b.Top, b.Right, b.Bottom, background);
    }
    for (const TPuzzle* held : Held) {
        for (const auto& piece : *AllPieces) {
            if (piece->GroupId != held->GroupId) {
                piece->DrawClipped(BoardPixels, held->Bounds, *WorkingPicture);
            }
        }
    }
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
    CopyArea(BoardPixels, DragComposed, DragPixels, {0, 0});
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
