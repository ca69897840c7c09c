#pragma once

#include "ExifOrientation.h"

#include <cstdint>
#include <vector>

// A picture as 8-bit red, green, blue triples, top row first, rows without padding.
struct RgbImage {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint8_t> Pixels; // Width * Height * 3 bytes

    RgbImage() = default;
    RgbImage(int width, int height);

    std::uint8_t* At(int x, int y) { return Pixels.data() + (std::size_t(y) * Width + x) * 3; }
    const std::uint8_t* At(int x, int y) const {
        return Pixels.data() + (std::size_t(y) * Width + x) * 3;
    }
};

// The picture a viewer shows for `stored` with the given orientation: turned and mirrored
// upright.
RgbImage Upright(const RgbImage& stored, Orientation orientation);

// A complete Windows bitmap file of 24 bits per pixel: bottom-up rows padded to four bytes.
std::vector<std::uint8_t> EncodeBmp24(const RgbImage& image);
