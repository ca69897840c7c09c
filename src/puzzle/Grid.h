#pragma once

#include "puzzle/PuzzleShape.h"

// How a fitted picture is divided into pieces. Neighbouring piece bitmaps overlap by TabSize:
// the pitch from one column to the next is PieceSize - TabSize.
struct Grid {
    int Cols = 0;
    int Rows = 0;
    // Pixel columns (rows) of the last column's (row's) piece bitmaps beyond the picture's
    // right (bottom) border; TabSize <= margin <= PieceSize.
    int MarginX = 0;
    int MarginY = 0;
    // The picture size after trimming a few pixels so the grid fits.
    int PictureWidth = 0;
    int PictureHeight = 0;

    bool CanBuild() const { return Cols >= 2 && Rows >= 2; }
};

// The grid of a width x height picture (both >= 0); the shape's level picks the thresholds for
// dropping a last column or row that would show too little of the picture.
Grid ComputeGrid(PuzzleShape shape, int width, int height);
