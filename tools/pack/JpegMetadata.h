#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

// What a photo carries besides its picture: Exif (GPS position, camera, dates, a thumbnail),
// XMP, IPTC, comments, other application data, and anything after the picture's end. The
// markers that colours depend on (JFIF, the ICC profile, Adobe's colour transform) are part of
// the picture, not metadata.

// What metadata a JPEG file holds, as a user reads it ("Exif (GPS position, camera)", "XMP",
// "a comment"); empty when it holds none or its markers cannot be read.
std::vector<std::string> JpegMetadataNames(std::span<const std::uint8_t> file);

// The file without its metadata, its coded picture byte for byte; empty when its markers cannot
// be read.
std::optional<std::vector<std::uint8_t>> JpegWithoutMetadata(std::span<const std::uint8_t> file);

// `made`, a JPEG this tool made from `source` (turned or re-encoded), given `source`'s ICC
// profile, and its metadata too when `keepMetadata` is set, with the Exif orientation then
// marked upright. `made` comes back as it is when its markers cannot be read.
std::vector<std::uint8_t> WithMarkersOf(std::vector<std::uint8_t> made,
                                        std::span<const std::uint8_t> source, bool keepMetadata);

// The names joined for a sentence: "a, b and c".
std::string JoinedNames(const std::vector<std::string>& names);
