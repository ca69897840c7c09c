#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The puzzle's own lines for the loading window. They travel in an optional block that ends
// where the song begins, so the trailer and the payload offsets stay as they are; a player that
// does not know the block reads it as part of its own image.
//
// Block layout: the payload, then a 20-byte footer (little-endian):
//   0  uint32  payload length (at most MaxPayloadSize)
//   4  uint32  CRC-32 of the payload
//   8  uint16  format version (1)
//  10  uint16  zero
//  12  8 bytes "TavrCred"
// Version 1 payload: the five fields below in their order, each a line ended by "\n".
struct PackageCredits {
    static constexpr std::size_t MaxLineLength = 120; // characters, not bytes
    static constexpr std::size_t MaxPayloadSize = 4096;
    static constexpr std::size_t FooterSize = 20;
    static constexpr std::uint16_t Version = 1;

    std::string Title;         // UTF-8, one line of plain text
    std::string PictureCredit; // UTF-8, one line of plain text
    std::string PictureLink;   // empty, or an http:// or https:// address
    std::string MusicCredit;   // UTF-8, one line of plain text
    std::string MusicLink;     // empty, or an http:// or https:// address

    bool IsEmpty() const;

    // Sets the line the authoring tool's option names ("--title", ...); false when `option`
    // names none.
    bool SetByOption(std::string_view option, std::string value);

    // Why the credits cannot be stored ("--title is not valid UTF-8", ...), or empty when they
    // can. The names are the authoring tool's option names.
    std::string Problem() const;

    // Payload and footer, ready to be placed right before the song. The credits must be free of
    // problems.
    std::vector<std::uint8_t> EncodeBlock() const;

    // Reads the block that ends at the end of `before`, the bytes that precede the song. Empty
    // when there is no block, or when it is damaged, oversized, of another version or breaks
    // any rule above: such a block is ignored as a whole.
    static std::optional<PackageCredits> DecodeBlock(std::span<const std::uint8_t> before);

    bool operator==(const PackageCredits&) const = default;
};
