#include "package/PortableImage.h"

#include "base/LittleEndian.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

namespace {

constexpr std::string_view Magic = "TAVRIN BUNDLE 1\n";
constexpr std::string_view LeanMagic = "TAVRIN PLAYER 1\n";
static_assert(Magic.size() == LeanMagic.size());
constexpr std::size_t SizeDigits = 20;
constexpr std::size_t HashDigits = 64;
constexpr std::size_t ElfHeaderSize = 64;

bool AllOf(std::string_view text, bool (*accepted)(char)) {
    return std::all_of(text.begin(), text.end(), accepted);
}

} // namespace

std::string BundleHeader::Encode() const {
    char size[SizeDigits + 1];
    std::snprintf(size, sizeof size, "%020llu", static_cast<unsigned long long>(BundleSize));
    std::string text = std::string(Lean ? LeanMagic : Magic) + size + "\n" + Sha256 + "\n";
    text.resize(Size - 1, ' ');
    return text + "\n";
}

std::optional<BundleHeader> BundleHeader::Decode(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < Size) {
        return std::nullopt;
    }
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), Size);
    const std::string_view size = text.substr(Magic.size(), SizeDigits);
    const std::string_view hash = text.substr(Magic.size() + SizeDigits + 1, HashDigits);
    const std::size_t end = Magic.size() + SizeDigits + 1 + HashDigits;
    const bool lean = text.starts_with(LeanMagic);
    if (!(lean || text.starts_with(Magic)) || text[Magic.size() + SizeDigits] != '\n' ||
        text[end] != '\n' || text.back() != '\n' ||
        !AllOf(size, [](char c) { return c >= '0' && c <= '9'; }) ||
        !AllOf(hash, [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); }) ||
        !AllOf(text.substr(end + 1, Size - end - 2), [](char c) { return c == ' '; })) {
        return std::nullopt;
    }
    BundleHeader header;
    for (const char digit : size) {
        header.BundleSize = header.BundleSize * 10 + static_cast<std::uint64_t>(digit - '0');
    }
    header.Sha256 = std::string(hash);
    header.Lean = lean;
    return header;
}

std::optional<std::uint64_t> ElfFileEnd(std::span<const std::uint8_t> header) {
    // ELF magic, 64-bit class, little-endian data.
    if (header.size() < ElfHeaderSize || header[0] != 0x7F || header[1] != 'E' ||
        header[2] != 'L' || header[3] != 'F' || header[4] != 2 || header[5] != 1) {
        return std::nullopt;
    }
    const std::uint64_t sectionTable = LittleEndianAt(header, 0x28, 8);
    const std::uint64_t entrySize = LittleEndianAt(header, 0x3A, 2);
    const std::uint64_t entries = LittleEndianAt(header, 0x3C, 2);
    if (sectionTable == 0 || entrySize == 0) {
        return std::nullopt;
    }
    return sectionTable + entrySize * entries;
}

std::optional<BundleHeader> PortableBundleOf(std::span<const std::uint8_t> image) {
    const auto end = ElfFileEnd(image);
    if (!end || *end > image.size() || image.size() - *end < BundleHeader::Size) {
        return std::nullopt;
    }
    return BundleHeader::Decode(image.subspan(*end, BundleHeader::Size));
}
