#include "package/PackageTrailer.h"

#include "base/LittleEndian.h"

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

} // namespace

PackageTrailer PackageTrailer::Decode(std::span<const std::uint8_t, Size> bytes) {
    PackageTrailer t;
    const auto* text = reinterpret_cast<const char*>(bytes.data());
    t.StartMessage.assign(text, strnlen(text, MaxMessageLength));
    t.PuzzleType = static_cast<std::int8_t>(bytes[PuzzleTypeOffset]);
    t.PictureSize = static_cast<std::int32_t>(LittleEndian32At(bytes, PictureSizeOffset));
    t.SongSize = static_cast<std::int32_t>(LittleEndian32At(bytes, SongSizeOffset));
    t.PictureIsBitmap = static_cast<std::int32_t>(LittleEndian32At(bytes, PictureIsBitmapOffset));
    t.ArrangeMode = static_cast<std::int32_t>(LittleEndian32At(bytes, ArrangeModeOffset));
    t.ZoomPercent = static_cast<std::int32_t>(LittleEndian32At(bytes, ZoomPercentOffset));
    t.Reserved = static_cast<std::int32_t>(LittleEndian32At(bytes, ReservedOffset));
    t.BoardColor = LittleEndian32At(bytes, BoardColorOffset);
    return t;
}

std::array<std::uint8_t, PackageTrailer::Size> PackageTrailer::Encode() const {
    assert(StartMessage.size() <= MaxMessageLength);
    std::array<std::uint8_t, Size> bytes{};
    const std::size_t length = std::min(StartMessage.size(), MaxMessageLength);
    std::memcpy(bytes.data(), StartMessage.data(), length);
    bytes[PuzzleTypeOffset] = static_cast<std::uint8_t>(PuzzleType);
    PutLittleEndian(bytes, PictureSizeOffset, static_cast<std::uint32_t>(PictureSize));
    PutLittleEndian(bytes, SongSizeOffset, static_cast<std::uint32_t>(SongSize));
    PutLittleEndian(bytes, PictureIsBitmapOffset, static_cast<std::uint32_t>(PictureIsBitmap));
    PutLittleEndian(bytes, ArrangeModeOffset, static_cast<std::uint32_t>(ArrangeMode));
    PutLittleEndian(bytes, ZoomPercentOffset, static_cast<std::uint32_t>(ZoomPercent));
    PutLittleEndian(bytes, ReservedOffset, static_cast<std::uint32_t>(Reserved));
    PutLittleEndian(bytes, BoardColorOffset, BoardColor);
    return bytes;
}
