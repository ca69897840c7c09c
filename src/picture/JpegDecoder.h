#pragma once

#include "picture/DecodedPicture.h"
#include "puzzle/Bitmap.h"

#include <cstdint>
#include <optional>
#include <span>

// Decodes a whole JPEG file with libjpeg-turbo: baseline or progressive, colour, greyscale, CMYK
// and YCCK (Adobe's inverted CMYK included). Nothing for data that is damaged, truncated or
// larger than the picture limits (judged by the full size); it never exits or crashes on bad
// input.

// At full size.
std::optional<Bitmap> DecodeJpeg(std::span<const std::uint8_t> file);

// At the smallest of libjpeg's scales (n/8 for n from 1 to 8, scaled in the inverse DCT, so the
// smaller pixels cost less time and memory) that is at least `least` on both sides; at full size
// when none smaller is, or `least` is empty. At full size it is exactly what DecodeJpeg gives.
std::optional<DecodedPicture> DecodeJpeg(std::span<const std::uint8_t> file,
                                         const LeastSize& least);
