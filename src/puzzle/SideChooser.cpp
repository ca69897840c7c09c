#include "puzzle/SideChooser.h"

#include "puzzle/Puzzle.h"

SideChooser::SideChooser(int cols, int rows)
    : Cols(cols)
    , Rows(rows)
    , BottomOutAbove(static_cast<std::size_t>(cols), false) {}

void SideChooser::Choose(TPuzzle& piece, int col, int row, Random& random) {
    piece.FlatTop = row == 0;
    piece.FlatLeft = col == 0;
    piece.FlatRight = col == Cols - 1;
    piece.FlatBottom = row == Rows - 1;
    piece.BottomOut = random.Next() % 2 != 0;
    piece.RightOut = random.Next() % 2 != 0;
    piece.TopOut = row != 0 && !BottomOutAbove[col];
    piece.LeftOut = col != 0 && !RightOutBefore;
    BottomOutAbove[col] = piece.BottomOut;
    RightOutBefore = piece.RightOut;
}
