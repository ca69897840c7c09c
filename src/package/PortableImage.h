#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

// The portable player image: a statically linked launcher (an ELF file), then a bundle header,
// then the bundle (a zstd-compressed tar of the player and all it loads). The header is ASCII,
// BundleHeaderSize bytes:
//   "TAVRIN BUNDLE 1\n" <size: 20 decimal digits> "\n" <SHA-256: 64 hex digits> "\n" <spaces> "\n"
// The launcher finds it where its own ELF file ends; the hash names the cache folder. The lean
// image has the same launcher and layout, with "TAVRIN PLAYER 1\n" first and the player itself,
// uncompressed, in place of the bundle: it runs on the machine's libraries.

struct BundleHeader {
    static constexpr std::size_t Size = 128;
    // The size of the compressed bundle that follows the header.
    std::uint64_t BundleSize = 0;
    // Lower-case hex SHA-256 of the compressed bundle.
    std::string Sha256;
    // The player alone follows, not a bundle.
    bool Lean = false;

    std::string Encode() const;
    // Empty when `bytes` (at least Size of them) hold no well-formed header.
    static std::optional<BundleHeader> Decode(std::span<const std::uint8_t> bytes);
};

// Where an ELF-64 file ends, from its first 64 bytes: at the end of its section header table,
// which the linker writes last. Empty when the bytes are no little-endian ELF-64 header.
std::optional<std::uint64_t> ElfFileEnd(std::span<const std::uint8_t> header);

// The header that follows the ELF file at the start of `image`, when `image` is a portable
// player image (or a puzzle that starts with one).
std::optional<BundleHeader> PortableBundleOf(std::span<const std::uint8_t> image);
