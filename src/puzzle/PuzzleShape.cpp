#include "puzzle/PuzzleShape.h"

#include <algorithm>
#include <array>

namespace {

// Types 11 to 14 have the smallest pieces and a level of their own, for which no edge strips
// exist.
constexpr std::array<PuzzleShape, 8> Shapes = {{
    {1, 96, 16, 1},
    {2, 80, 14, 2},
    {3, 64, 10, 3},
    {4, 48, 8, 4},
    {11, 48, 8, 11},
    {12, 48, 8, 12},
    {13, 48, 8, 13},
    {14, 48, 8, 14},
}};

constexpr std::int32_t FallbackType = 3;

} // namespace

PuzzleShape PuzzleShape::ForType(std::int32_t type) {
    const auto accepted = [type](const PuzzleShape& shape) { return shape.Type == type; };
    const auto found = std::find_if(Shapes.begin(), Shapes.end(), accepted);
    return found != Shapes.end() ? *found : ForType(FallbackType);
}

std::span<const PuzzleShape> AcceptedShapes() {
    return Shapes;
}
