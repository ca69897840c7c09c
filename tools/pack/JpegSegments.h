#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// The marker segments of a JPEG file (those with a length: tables, frame and scan headers,
// application data, comments) and where its picture ends.
struct JpegSegment {
    std::uint8_t Marker = 0; // the byte after 0xFF
    std::size_t Start = 0;   // offset of the 0xFF
    std::size_t Size = 0;    // the whole segment: marker, length and body

    std::span<const std::uint8_t> Body(std::span<const std::uint8_t> file) const {
        return file.subspan(Start + 4, Size - 4);
    }
};

struct JpegLayout {
    std::vector<JpegSegment> Segments; // in file order, before and between the scans
    std::size_t End = 0;               // just past the end-of-image marker; the file size if none
};

// Walks the file from its start-of-image marker through the entropy-coded data to its
// end-of-image marker; empty when the markers do not chain up. Reads only inside `file`.
std::optional<JpegLayout> ReadJpegLayout(std::span<const std::uint8_t> file);

// Whether the segment's body begins with `signature` (the zero byte of a C string included).
bool SegmentSays(std::span<const std::uint8_t> file, const JpegSegment& segment,
                 std::span<const char> signature);
