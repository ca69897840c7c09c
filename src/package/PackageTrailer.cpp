#include "package/PackageTrailer.h"

#include <algorithm>
#include <cassert>
#include <cstring>

namespace {

constexpr std::size_t PuzzleTypeOffset = 255;
constexpr std::size_t PictureSizeOffset = 256;
constexpr std::size_t SongSizeOffset = 260;
constexpr std::size_t PictureIsBitmapOffset = 264;
constexpr std::size_t ArrangeModeOffset = 268;
constexpr std::size_t ZoomPercentOffset = 272;
constexpr std::size_t ReservedOffset = 276;
constexpr std::size_t BoardColorOffset = 280;

std::uint32_t ReadLittleEndian(std::span<const std::uint8_t, PackageTrailer::Size> bytes,
                               std::size_t offset) {
    return std::uint32_t{bytes[offset]} | std::uint32_t{bytes[offset + 1]} << 8 |
           std::uint32_t{bytes[offset + 2]} << 16 | std::uint32_t{bytes[offset + 3]} << 24;
}

void WriteLittleEndian(std::array<std::uint8_t, PackageTrailer::Size>& bytes, std::size_t offset,
                       std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

} // namespace

PackageTrailer PackageTrailer::Decode(std::span<const std::uint8_t, Size> bytes) {
    PackageTrailer t;
    const auto* text = reinterpret_cast<const char*>(bytes.data());
    t.StartMessage.assign(text, strnlen(text, MaxMessageLength));
    t.PuzzleType = static_cast<std::int8_t>(bytes[PuzzleTypeOffset]);
    t.PictureSize = static_cast<std::int32_t>(ReadLittleEndian(bytes, PictureSizeOffset));
    t.SongSize = static_cast<std::int32_t>(ReadLittleEndian(bytes, SongSizeOffset));
    t.PictureIsBitmap = static_cast<std::int32_t>(ReadLittleEndian(bytes, PictureIsBitmapOffset));
    t.ArrangeMode = static_cast<std::int32_t>(ReadLittleEndian(bytes, ArrangeModeOffset));
    t.ZoomPercent = static_cast<std::int32_t>(ReadLittleEndian(bytes, ZoomPercentOffset));
    t.Reserved = static_cast<std::int32_t>(ReadLittleEndian(bytes, ReservedOffset));
    t.BoardColor = ReadLittleEndian(bytes, BoardColorOffset);
    return t;
}

std::array<std::uint8_t, PackageTrailer::Size> PackageTrailer::Encode() const {
    assert(StartMessage.size() <= MaxMessageLength);
    std::array<std::uint8_t, Size> bytes{};
    const std::size_t length = std::min(StartMessage.size(), MaxMessageLength);
    std::memcpy(bytes.data(), StartMessage.data(), length);
    bytes[PuzzleTypeOffset] = static_cast<std::uint8_t>(PuzzleType);
    WriteLittleEndian(bytes, PictureSizeOffset, static_cast<std::uint32_t>(PictureSize));
    WriteLittleEndian(bytes, SongSizeOffset, static_cast<std::uint32_t>(SongSize));
    WriteLittleEndian(bytes, PictureIsBitmapOffset, static_cast<std::uint32_t>(PictureIsBitmap));
    WriteLittleEndian(bytes, ArrangeModeOffset, static_cast<std::uint32_t>(ArrangeMode));
    WriteLittleEndian(bytes, ZoomPercentOffset, static_cast<std::uint32_t>(ZoomPercent));
    WriteLittleEndian(bytes, ReservedOffset, static_cast<std::uint32_t>(Reserved));
    WriteLittleEndian(bytes, BoardColorOffset, BoardColor);
    return bytes;
}
