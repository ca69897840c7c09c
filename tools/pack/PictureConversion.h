#pragma once

#include "PackProblem.h"
#include "RgbImage.h"
#include "base/Result.h"

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

class QImage;

// Turns whatever picture the user gives into one the player reads: a JPEG or a 24-bit Windows
// bitmap, upright and within the player's size limits.

struct PictureSettings {
    bool KeepOrientation = false; // pack a JPEG as stored, whatever its Exif orientation says
    bool Lossless = false;        // convert to a bitmap whatever the size
    bool KeepMetadata = false;    // keep a JPEG's Exif, XMP, IPTC and comments
    int Quality = 95;             // 1 to 100, for every JPEG the tool writes
    // Pictures larger than this are scaled down to fit (aspect kept), by default to what the
    // largest common screens show; none: only the player's limits, and a picture beyond them is
    // refused.
    std::optional<int> MaxWidth = DefaultMaxWidth;
    std::optional<int> MaxHeight = DefaultMaxHeight;

    static constexpr int DefaultMaxWidth = 3840;
    static constexpr int DefaultMaxHeight = 2160;
};

struct PackedPicture {
    std::vector<std::uint8_t> File;
    bool IsBitmap = false;
    std::string Note; // what was done to or seen in the picture; empty for a plain copy
    // The metadata of the given file that the packed one does not carry ("Exif (camera)").
    std::vector<std::string> RemovedMetadata;
};

// A picture the tool cannot pack is refused, with the reason as the user should read it.
template <typename T>
using PictureResult = Result<T, BadArguments>;

// The most memory one decoded picture may take, in megabytes (Qt refuses larger ones): room for
// a 20000 x 20000 photo before it is scaled down.
inline constexpr int PictureReadLimitMegabytes = 2048;

// The pixels of `source` as the tool packs them; transparent parts are shown on white.
RgbImage RgbOf(const QImage& source);

// Conversions up to this many pixels become bitmaps; larger ones JPEGs.
inline constexpr std::int64_t LargestBitmapPixels = 2'000'000;

// JPEG and BMP files that are upright and within the limits come back byte for byte. A picture
// the tool cannot pack fails with the reason as the user should read it.
[[nodiscard]] PictureResult<PackedPicture> PreparePicture(const std::vector<std::uint8_t>& file,
                                                          const std::string& path,
                                                          const PictureSettings& settings);

// The size an upright picture of width x height is packed at: scaled down to fit the settings
// box and the player's limits, like every picture PreparePicture converts or turns.
struct PictureSize {
    int Width = 0;
    int Height = 0;
};
PictureSize PackedPictureSize(int width, int height, const PictureSettings& settings);

// Whether the file's bytes begin with `prefix`.
bool StartsWith(const std::vector<std::uint8_t>& bytes, std::initializer_list<std::uint8_t> prefix);
