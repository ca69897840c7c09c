#pragma once

#include "puzzle/Color.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>

// The fixed record at the very end of a package: where the payloads lie and how the puzzle is
// cut and laid out. All numbers little-endian.
struct PackageTrailer {
    static constexpr std::size_t Size = 284;
    static constexpr std::size_t MessageField = 255;
    static constexpr std::size_t MaxMessageLength = MessageField - 1;

    // Raw Windows-1252 bytes, at most MaxMessageLength; empty means no start message.
    std::string StartMessage;
    std::int8_t PuzzleType = 1;
    std::int32_t PictureSize = 0;
    std::int32_t SongSize = 0;
    std::int32_t PictureIsBitmap = 0;
    std::int32_t ArrangeMode = 2;
    std::int32_t ZoomPercent = 100;
    std::int32_t Reserved = 0;
    TColor BoardColor = 0x00808000;

    // The message is cut at its first zero byte, or at MaxMessageLength when it has none.
    static PackageTrailer Decode(std::span<const std::uint8_t, Size> bytes);
    // The message must be at most MaxMessageLength bytes; the rest of its field is zero.
    std::array<std::uint8_t, Size> Encode() const;

    bool operator==(const PackageTrailer&) const = default;
};
