#include "main/PuzzleType.h"

PuzzleSizes SizesForPuzzleType(std::int32_t type) {
    const bool accepted = (type >= 1 && type <= 4) || (type >= 11 && type <= 14);
    const std::int32_t normalised = accepted ? type : 3;
    switch (normalised) {
    case 1:
        return {1, 96, 16};
    case 2:
        return {2, 80, 14};
    case 3:
        return {3, 64, 10};
    default:
        return {normalised, 48, 8};
    }
}
