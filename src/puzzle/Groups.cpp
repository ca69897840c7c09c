#include "puzzle/Groups.h"

#include <vector>

TPuzzle* TopmostAt(PieceList& pieces, int x, int y) {
    for (auto piece = pieces.rbegin(); piece != pieces.rend(); ++piece) {
        if ((*piece)->Contains(x, y)) {
            return piece->get();
        }
    }
    return nullptr;
}

void MergeGroup(PieceList& pieces, int absorbed, int survivor) {
    std::vector<PieceList::Container::iterator> topDown;
    for (auto at = pieces.end(); at != pieces.begin();) {
        --at;
        if ((*at)->GroupId == absorbed) {
            topDown.push_back(at);
        }
    }
    for (const auto at : topDown) {
        (*at)->GroupId = static_cast<std::int16_t>(survivor);
        pieces.MoveToBack(at);
    }
}

bool IsSolved(const PieceList& pieces) {
    if (pieces.IsEmpty()) {
        return false;
    }
    const int group = (*pieces.begin())->GroupId;
    for (const auto& piece : pieces) {
        if (piece->GroupId != group) {
            return false;
        }
    }
    return true;
}
