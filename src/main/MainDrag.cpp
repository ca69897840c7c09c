// Picking up a group and dragging it: the group is lifted out of the board buffer, raised, and
// composed with its shadow in the drag buffer for every movement of the pointer.
#include "main/BoardWidget.h"
#include "main/Main.h"
#include "main/PointerConfinement.h"
#include "puzzle/Groups.h"

#include <algorithm>
#include <vector>

namespace {

// Room for the shadow, which falls 2 pixels right of and below each piece.
constexpr int ShadowOffset = 2;

} // namespace

TRect TFormMain::ConfinementRect() const {
    return {1, 1, ClientWidth() - 2, ClientHeight() - 2};
}

// Nothing is picked up while a game is being started.
void TFormMain::FormMouseDown(Qt::MouseButton button, int x, int y) {
    if (button != Qt::LeftButton || !Picture || !Pieces || HeldPiece != nullptr || GameStarting ||
        !PickUpGroup(x, y)) {
        return;
    }
    const TRect press{DragRect.Left, DragRect.Top, DragRect.Right + ShadowOffset,
                      DragRect.Bottom + ShadowOffset};
    ComposeDrag(press);
    CopyToWindow(Buffer::Drag, press);
    const TRect area = ConfinementRect();
    Confinement->Confine(QRect(area.Left, area.Top, area.Width(), area.Height()));
}

bool TFormMain::PickUpGroup(int x, int y) {
    LastMouseX = x;
    LastMouseY = y;
    HeldPiece = TopmostAt(*Pieces, x, y);
    if (HeldPiece == nullptr) {
        return false;
    }
    DragRect = {x, y, x, y};
    std::vector<PieceList::Container::iterator> members;
    for (auto at = Pieces->begin(); at != Pieces->end(); ++at) {
        TPuzzle* piece = at->get();
        if (piece->GroupId == HeldPiece->GroupId) {
            HeldPieces.PushFront(piece);
            members.push_back(at);
            DragRect = {std::min(DragRect.Left, piece->Bounds.Left),
                        std::min(DragRect.Top, piece->Bounds.Top),
                        std::max(DragRect.Right, piece->Bounds.Right),
                        std::max(DragRect.Bottom, piece->Bounds.Bottom)};
        }
    }
    // Raised in held order: the topmost member goes first and ends lowest.
    for (auto member = members.rbegin(); member != members.rend(); ++member) {
        Pieces->MoveToBack(*member);
    }
    EraseHeldGroup();
    return true;
}

void TFormMain::EraseHeldGroup() {
    const Pixel background = PixelFromColor(BoardColor);
    for (const TPuzzle* held : HeldPieces) {
        const TRect& b = held->Bounds;
        BoardBuffer->FillRect(b.Left, b.Top, b.Right, b.Bottom, background);
    }
    RedrawAroundHeldGroup(0);
}

// Draws every piece of another group again inside each held piece's box, grown by `margin`.
void TFormMain::RedrawAroundHeldGroup(int margin) {
    for (const TPuzzle* held : HeldPieces) {
        const TRect& b = held->Bounds;
        const TRect around{b.Left - margin, b.Top - margin, b.Right + margin, b.Bottom + margin};
        for (const auto& piece : *Pieces) {
            if (piece->GroupId != held->GroupId) {
                piece->DrawClipped(*BoardBuffer, around, *Picture);
            }
        }
    }
}

// The rectangle that holds the group and its shadow both where it was last shown and where
// the pointer at (x, y) puts it.
TRect TFormMain::DragRegion(int x, int y) const {
    const int w = DragRect.Width();
    const int h = DragRect.Height();
    const int left = std::min(x, LastMouseX) - w - ShadowOffset;
    const int top = std::min(y, LastMouseY) - h - ShadowOffset;
    const int right = std::max(x, LastMouseX) + w + ShadowOffset;
    const int bottom = std::max(y, LastMouseY) + h + ShadowOffset;
    return {left, top, right, bottom};
}

// The board without the group, then every member's shadow, then every member, in `region` of
// the drag buffer.
void TFormMain::ComposeDrag(const TRect& region) {
    CopyRect(*BoardBuffer, *DragBuffer, region.Left, region.Top, region.Right, region.Bottom);
    for (const TPuzzle* held : HeldPieces) {
        held->DrawShadow(*DragBuffer);
    }
    for (const TPuzzle* held : HeldPieces) {
        held->Draw(*DragBuffer, *Picture);
    }
}

void TFormMain::FormMouseMove(int x, int y) {
    if (HeldPiece == nullptr) {
        return;
    }
    const QPoint at = Confinement->Clamp({x, y});
    x = at.x();
    y = at.y();
    const int dx = x - LastMouseX;
    const int dy = y - LastMouseY;
    for (TPuzzle* held : HeldPieces) {
        held->Bounds = held->Bounds.Offset(dx, dy);
    }
    const TRect region = DragRegion(x, y);
    ComposeDrag(region);
    CopyToWindow(Buffer::Drag, region);
    LastMouseX = x;
    LastMouseY = y;
}

void TFormMain::EndDrag() {
    HeldPieces.Clear();
    HeldPiece = nullptr;
    if (Confinement) {
        Confinement->Release();
    }
}
