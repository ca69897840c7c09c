#pragma once

#include "puzzle/Random.h"

#include <vector>

class TPuzzle;

// Chooses the sides of the pieces of a grid, which come row by row, left to right. Each piece
// draws its bottom, then its right side at random; its top and left sides take the opposite of
// the neighbour above and to the left, so neighbours always meet knob to socket.
class SideChooser {
public:
    SideChooser(int cols, int rows);

    // 0 <= col < cols, 0 <= row < rows, in build order.
    void Choose(TPuzzle& piece, int col, int row, Random& random);

private:
    int Cols;
    int Rows;
    std::vector<bool> BottomOutAbove;
    bool RightOutBefore = false;
};
