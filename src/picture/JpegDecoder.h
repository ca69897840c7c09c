#pragma once

#include "puzzle/Bitmap.h"

#include <cstdint>
#include <optional>
#include <span>

// Decodes a whole JPEG file at full size with libjpeg-turbo: baseline or progressive, colour,
// greyscale, CMYK and YCCK (Adobe's inverted CMYK included). Nothing for data that is damaged,
// truncated or larger than the picture limits; it never exits or crashes on bad input.
std::optional<Bitmap> DecodeJpeg(std::span<const std::uint8_t> file);
