#pragma once

#include <cstdint>
#include <span>

// How a camera says its picture is to be shown, as the Exif "Orientation" tag numbers it:
// 1 upright, 2 mirrored left-right, 3 turned half round, 4 mirrored top-bottom, 5 mirrored along
// the main diagonal, 6 to be turned a quarter clockwise, 7 mirrored along the other diagonal,
// 8 to be turned a quarter anticlockwise.
enum class Orientation : std::uint8_t {
    Upright = 1,
    MirrorHorizontal,
    Rotate180,
    MirrorVertical,
    Transpose,
    Rotate90,
    Transverse,
    Rotate270,
};

// True for 5 to 8: the upright picture's width is the stored height.
bool SwapsSides(Orientation orientation);

// The orientation a JPEG file's Exif block gives (APP1 "Exif", first image directory, tag
// 0x0112), or Upright when it has none or it cannot be read. Reads only inside `file` and only
// the markers before the image data; never fails on any bytes.
Orientation JpegOrientation(std::span<const std::uint8_t> file);

// Sets the orientation tag of an APP1 Exif body (after the marker and length) to Upright, for a
// picture already turned; false when it holds none.
bool SetExifUpright(std::span<std::uint8_t> body);
