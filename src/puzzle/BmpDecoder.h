#pragma once

#include "puzzle/IndexBitmap.h"
#include "puzzle/MonoBitmap.h"

#include <cstdint>
#include <optional>
#include <span>

// Decoders for the small uncompressed palette bitmaps (".BMP" files) the edge strips are stored
// in. They check every size against the bytes given and return nothing for anything else.

// A 1-bit file; a pixel is 1 (white) when its palette colour is light.
std::optional<MonoBitmap> DecodeMonoBmp(std::span<const std::uint8_t> file);

// A 4-bit file; the palette indices are kept as stored.
std::optional<IndexBitmap> DecodeIndexBmp(std::span<const std::uint8_t> file);
