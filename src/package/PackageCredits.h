#pragma once

#include "base/Result.h"

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
//
// A start message that the trailer's Windows-1252 cannot hold exactly travels as UTF-8 in a
// message block right before the credits block: the message as payload, in the same frame with
// "TavrMesg" for "TavrCred". Readers of version 1 look no further back than the credits
// payload, so they keep showing the credits; players without credits read both blocks as part
// of their own image. A damaged message block costs the message only.
struct PackageCredits {
    static constexpr std::size_t MaxLineLength = 120; // characters, not bytes
    static constexpr std::size_t MaxPayloadSize = 4096;
    static constexpr std::size_t FooterSize = 20;
    static constexpr std::uint16_t Version = 1;
    // The trailer's limit, in characters; UTF-8 needs up to four bytes for each.
    static constexpr std::size_t MaxMessageLength = 254;
    static constexpr std::size_t MaxMessageSize = 4 * MaxMessageLength;
    // The most bytes the two blocks take before the song.
    static constexpr std::size_t MaxBlocksSize = MaxPayloadSize + MaxMessageSize + 2 * FooterSize;

    std::string Title;         // UTF-8, one line of plain text
    std::string PictureCredit; // UTF-8, one line of plain text
    std::string PictureLink;   // empty, or an http:// or https:// address
    std::string MusicCredit;   // UTF-8, one line of plain text
    std::string MusicLink;     // empty, or an http:// or https:// address
    // UTF-8 text, line breaks allowed; empty when there is no message or the trailer holds it
    // exactly.
    std::string StartMessage{};

    bool IsEmpty() const;

    // Sets the line the authoring tool's option names ("--title", ...); false when `option`
    // names none.
    bool SetByOption(std::string_view option, std::string value);

    // Fails with why the credits cannot be stored ("--title is not valid UTF-8", ...). The names
    // are the authoring tool's option names (the message is "--message").
    Result<void> Check() const;

    // The start message's length in characters, or none when it is not plain UTF-8 text (control
    // characters other than line breaks).
    static std::optional<std::size_t> MessageLength(const std::string& message);
    // Why a start message cannot be packed, in the tool's words; nothing when it can.
    static Result<void> CheckStartMessage(const std::string& message);

    // The message block (when there is a message), then the credits block, ready to be placed
    // right before the song. The credits must be free of problems.
    std::vector<std::uint8_t> EncodeBlock() const;

    // Reads the blocks that end at the end of `before`, the bytes that precede the song. Empty
    // when there is no credits block, or when it is damaged, oversized, of another version or
    // breaks any rule above: such a block is ignored as a whole, and so is such a message block.
    static std::optional<PackageCredits> DecodeBlock(std::span<const std::uint8_t> before);

    bool operator==(const PackageCredits&) const = default;
};
