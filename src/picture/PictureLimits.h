#pragma once

#include <cstdint>

// Larger files cannot hold a picture within the limits, whatever their kind.
inline constexpr std::int64_t MaxPictureFileSize = 1024LL * 1024 * 1024;

// Pictures larger than this are refused before any pixel memory is taken.
inline constexpr int MaxPictureSide = 16384;
inline constexpr std::int64_t MaxPicturePixels = 100'000'000;

inline bool IsAcceptablePictureSize(std::int64_t width, std::int64_t height) {
    return width > 0 && height > 0 && width <= MaxPictureSide && height <= MaxPictureSide &&
           width * height <= MaxPicturePixels;
}
