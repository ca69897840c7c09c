#pragma once

#include <cstdint>

// A colour as stored in packages: 0x00BBGGRR, red in the lowest byte.
using TColor = std::uint32_t;

// A pixel as the bitmaps hold it: 0xFFRRGGBB (the opaque 32-bit form the screen takes as is).
using Pixel = std::uint32_t;

constexpr Pixel PixelFromColor(TColor color) {
    const std::uint32_t red = color & 0xFFu;
    const std::uint32_t green = (color >> 8) & 0xFFu;
    const std::uint32_t blue = (color >> 16) & 0xFFu;
    return 0xFF000000u | (red << 16) | (green << 8) | blue;
}

constexpr Pixel MakePixel(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return 0xFF000000u | (std::uint32_t{red} << 16) | (std::uint32_t{green} << 8) | blue;
}

constexpr std::uint8_t Red(Pixel p) {
    return static_cast<std::uint8_t>(p >> 16);
}
constexpr std::uint8_t Green(Pixel p) {
    return static_cast<std::uint8_t>(p >> 8);
}
constexpr std::uint8_t Blue(Pixel p) {
    return static_cast<std::uint8_t>(p);
}
