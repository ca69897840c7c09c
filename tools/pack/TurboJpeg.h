#pragma once

#include "ExifOrientation.h"
#include "RgbImage.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// JPEG work for the authoring tool, through libjpeg-turbo's TurboJPEG interface. None of these
// exits or crashes on bad data; failures are empty results.

struct JpegHeader {
    int Width = 0;
    int Height = 0;
};

std::optional<JpegHeader> ReadJpegHeader(std::span<const std::uint8_t> file);

// The whole picture at full size; the caller checks its size against the limits first.
std::optional<RgbImage> DecodeJpegToRgb(std::span<const std::uint8_t> file);

// A baseline JPEG file at quality 1 to 100, 4:2:0 chroma below 100 and 4:4:4 at 100.
std::optional<std::vector<std::uint8_t>> EncodeJpeg(const RgbImage& image, int quality);

// The picture turned upright without decoding it, by rearranging its coded blocks; empty when
// the sides are not whole multiples of its coding blocks, which would cost the edge pixels. The
// result carries none of the source's extra markers (Exif, comments), so nothing in it asks for
// another turn.
std::optional<std::vector<std::uint8_t>> TurnJpegLosslessly(std::span<const std::uint8_t> file,
                                                            Orientation orientation);
