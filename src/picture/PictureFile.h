#pragma once

#include "base/Result.h"
#include "picture/DecodedPicture.h"
#include "puzzle/Bitmap.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

// A picture file in two steps: its bytes, then the picture in them.

// The bytes of the file at `path`, or why they cannot be read; a file larger than any picture
// within the limits is refused.
[[nodiscard]] Result<std::vector<std::uint8_t>> ReadPictureFile(const std::string& path);

// The picture in `bytes`, decoded at full size by the kind `path` names: a Windows bitmap when
// the text from the last "." equals ".BMP" in any case, otherwise a JPEG. Nothing when the path
// has no ".", the bytes cannot be decoded, or the picture is larger than the picture limits.
[[nodiscard]] std::optional<Bitmap> DecodePictureFile(std::span<const std::uint8_t> bytes,
                                                      const std::string& path);

// The same, with its full size; a JPEG is decoded smaller when `least` asks for less (see
// DecodeJpeg), a Windows bitmap always at full size.
[[nodiscard]] std::optional<DecodedPicture> DecodePictureFile(std::span<const std::uint8_t> bytes,
                                                              const std::string& path,
                                                              const LeastSize& least);
