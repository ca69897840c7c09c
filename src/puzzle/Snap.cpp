#include "puzzle/Snap.h"

namespace {

bool WithinTolerance(int overlap, int tabSize) {
    return tabSize - SnapTolerance <= overlap && overlap <= tabSize + SnapTolerance;
}

} // namespace

std::optional<std::pair<int, int>> SnapPlace(const TPuzzle& held, const TPuzzle& other,
                                             int pieceSize, int tabSize) {
    const TRect& o = held.Bounds;
    const TRect& w = other.Bounds;
    const TRect i = o.Intersect(w);
    if (i.IsEmpty()) {
        return std::nullopt;
    }
    const bool vertical =
        i.Width() >= w.Width() - SnapTolerance && WithinTolerance(i.Height(), tabSize);
    const bool horizontal =
        i.Height() >= w.Height() - SnapTolerance && WithinTolerance(i.Width(), tabSize);
    const bool sameCol = other.Col == held.Col;
    const bool sameRow = other.Row == held.Row;
    if (vertical && w.Top < o.Top && sameCol && other.Row == held.Row - 1) {
        return std::pair{w.Left, w.Bottom - tabSize};
    }
    if (vertical && w.Top > o.Top && sameCol && other.Row == held.Row + 1) {
        return std::pair{w.Left, w.Top + tabSize - pieceSize};
    }
    if (horizontal && w.Left > o.Left && sameRow && other.Col == held.Col + 1) {
        return std::pair{w.Left + tabSize - pieceSize, w.Top};
    }
    if (horizontal && w.Left < o.Left && sameRow && other.Col == held.Col - 1) {
        return std::pair{w.Right - tabSize, w.Top};
    }
    return std::nullopt;
}

std::optional<SnapMove> FindSnap(const HeldPieceList& held, const PieceList& pieces, int pieceSize,
                                 int tabSize) {
    for (const TPuzzle* o : held) {
        for (const auto& w : pieces) {
            if (w->GroupId == o->GroupId) {
                continue;
            }
            if (const auto place = SnapPlace(*o, *w, pieceSize, tabSize)) {
                return SnapMove{w->GroupId, place->first - o->Bounds.Left,
                                place->second - o->Bounds.Top};
            }
        }
    }
    return std::nullopt;
}
