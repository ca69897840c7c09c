#pragma once

#include "puzzle/Bitmap.h"

#include <functional>

// A picture's size in pixels.
struct PictureSize {
    int Width = 0;
    int Height = 0;
    friend bool operator==(const PictureSize&, const PictureSize&) = default;
};

// The least size a picture of the given full size is wanted at. A decoder that can decode a
// picture smaller than its full size gives the smallest it can that is at least this large on
// both sides; any other gives the full size. Empty: the full size is wanted.
using LeastSize = std::function<PictureSize(PictureSize full)>;

// A picture as decoded: its pixels, at the full size or smaller at the decoder's choice, and the
// full size its file states. Everything decided from a picture's size (its fit, its grid) is
// decided from the full size, so that a smaller decoding changes pixel values only.
struct DecodedPicture {
    Bitmap Pixels;
    PictureSize Full;
};
