#include "puzzle/PieceList.h"

#include <algorithm>

std::unique_ptr<TPuzzle> PieceList::Detach(const TPuzzle& piece) {
    const auto found =
        std::find_if(Items.begin(), Items.end(), [&](const auto& item) { return *item == piece; });
    if (found == Items.end()) {
        return nullptr;
    }
    std::unique_ptr<TPuzzle> detached = std::move(*found);
    Items.erase(found);
    return detached;
}
