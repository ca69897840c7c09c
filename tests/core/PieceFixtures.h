#pragma once

#include "puzzle/Bitmap.h"
#include "puzzle/Puzzle.h"
#include "puzzle/PuzzleShape.h"

#include <memory>
#include <string>
#include <vector>

// The shapes of the levels that have edge strips: types 1 to 4.
inline const std::vector<PuzzleShape> AllLevels(AcceptedShapes().begin(),
                                                AcceptedShapes().begin() + 4);

// A picture whose neighbouring pixels differ, with every channel between 60 and 195 so the
// bevel never clamps.
inline Bitmap PatternPicture(int width, int height) {
    Bitmap picture(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            picture.Set(x, y,
                        MakePixel(static_cast<std::uint8_t>(60 + (x * 7 + y * 3) % 136),
                                  static_cast<std::uint8_t>(60 + (x * 5 + y * 11) % 136),
                                  static_cast<std::uint8_t>(60 + (x + y * 17) % 136)));
        }
    }
    return picture;
}

// A piece whose mask is drawn in ASCII: '#' inside, '.' outside; one string per row.
inline std::unique_ptr<TPuzzle> AsciiPiece(int x, int y, const std::vector<std::string>& rows) {
    const int size = static_cast<int>(rows.size());
    auto piece = std::make_unique<TPuzzle>(x, y, size, size);
    piece->Mask = std::make_unique<MonoBitmap>(size, size, true);
    for (int r = 0; r < size; ++r) {
        for (int c = 0; c < size; ++c) {
            piece->Mask->Set(c, r, rows[r][c] != '#');
        }
    }
    return piece;
}
