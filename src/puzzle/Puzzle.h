#pragma once

#include "puzzle/Bitmap.h"
#include "puzzle/EdgeBitmaps.h"
#include "puzzle/MonoBitmap.h"
#include "puzzle/Rect.h"

#include <cstdint>
#include <memory>

// One piece: where it lies on the board, which square of the picture it shows, the shape of its
// four sides, its grid place and its group. Pieces own no picture pixels: they draw from the one
// working picture at their home position.
class TPuzzle {
public:
    // Bounds = (x, y, x + width, y + height); width == height == the piece size.
    TPuzzle(int x, int y, int width, int height);

    // Where the piece bitmap lies on the board (client coordinates).
    TRect Bounds;
    // The piece bitmap's top-left corner in the picture; negative in column or row 0.
    std::int32_t HomeX = 0;
    std::int32_t HomeY = 0;
    // A side that is not flat carries a knob (true) or a socket (false).
    bool TopOut = false;
    bool LeftOut = false;
    bool RightOut = false;
    bool BottomOut = false;
    // A side on the picture's border is straight.
    bool FlatTop = false;
    bool FlatLeft = false;
    bool FlatRight = false;
    bool FlatBottom = false;
    std::int16_t Col = 0;
    std::int16_t Row = 0;
    // Pieces with equal numbers are joined and move as one.
    std::int16_t GroupId = 0;
    // The outline, piece size square: 0 inside, 1 outside. Null until cut.
    std::unique_ptr<MonoBitmap> Mask;

    // Whether the board point lies on the piece: inside Bounds and on a mask pixel of 0.
    bool Contains(int x, int y) const;

    // Builds the mask from the cell `inner` and the edge strips of `level`, and bakes the bevel
    // into `picture` (light rims +50, dark rims -50 per colour). Without a picture the mask is
    // the bare cell. Returns false when the level has no edge strips.
    bool Cut(const TRect& inner, Bitmap* picture, int level, int marginX, int marginY,
             const EdgeBitmaps& edges = EdgeBitmaps::Stored());

    // Copies the picture's pixels onto the canvas at Bounds wherever the mask is 0; every other
    // canvas pixel stays. Picture pixels outside the picture count as black.
    void Draw(Bitmap& canvas, const Bitmap& picture) const;
    // The same, limited to the part of Bounds inside `clip`.
    void DrawClipped(Bitmap& canvas, const TRect& clip, const Bitmap& picture) const;
    // Blackens the canvas under the piece's silhouette moved by (2, 2).
    void DrawShadow(Bitmap& canvas) const;

    // Draw and DrawShadow on a canvas that holds only part of the board: its pixel (0, 0) is
    // the board point `origin`.
    void DrawAt(Bitmap& canvas, Point origin, const Bitmap& picture) const;
    void DrawShadowAt(Bitmap& canvas, Point origin) const;
    void DrawClippedAt(Bitmap& canvas, Point origin, const TRect& clip,
                       const Bitmap& picture) const;

private:
    void Compose(Bitmap& canvas, Point origin, const TRect& clip, const Bitmap& picture) const;
};
