#include "JpegSegments.h"

#include <algorithm>

namespace {

constexpr std::uint8_t StartOfScan = 0xDA;
constexpr std::uint8_t EndOfImage = 0xD9;

bool IsStandaloneMarker(std::uint8_t marker) {
    return marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7);
}

// In entropy-coded data a 0xFF is followed by a stuffed zero or a restart marker; anything else
// is the next marker. Returns its offset (at its 0xFF), or the file size when there is none.
std::size_t NextMarkerAfterScan(std::span<const std::uint8_t> file, std::size_t at) {
    for (; at + 1 < file.size(); ++at) {
        if (file[at] != 0xFF) {
            continue;
        }
        const std::uint8_t next = file[at + 1];
        if (next != 0x00 && next != 0xFF && !(next >= 0xD0 && next <= 0xD7)) {
            return at;
        }
    }
    return file.size();
}

} // namespace

std::optional<JpegLayout> ReadJpegLayout(std::span<const std::uint8_t> file) {
    if (file.size() < 4 || file[0] != 0xFF || file[1] != 0xD8) {
        return std::nullopt;
    }
    JpegLayout layout;
    std::size_t at = 2;
    bool inScan = false;
    while (true) {
        if (inScan) {
            at = NextMarkerAfterScan(file, at);
        }
        while (at + 1 < file.size() && file[at] == 0xFF && file[at + 1] == 0xFF) {
            ++at; // fill bytes
        }
        if (at + 1 >= file.size()) {
            if (!inScan) {
                return std::nullopt;
            }
            layout.End = file.size(); // cut short: everything there is the picture
            return layout;
        }
        if (file[at] != 0xFF) {
            return std::nullopt;
        }
        const std::uint8_t marker = file[at + 1];
        if (marker == EndOfImage) {
            layout.End = at + 2;
            return layout;
        }
        if (IsStandaloneMarker(marker)) {
            at += 2;
            continue;
        }
        if (at + 4 > file.size()) {
            return std::nullopt;
        }
        const std::size_t length = std::size_t{file[at + 2]} << 8 | file[at + 3];
        if (length < 2 || length > file.size() - at - 2) {
            return std::nullopt;
        }
        layout.Segments.push_back({marker, at, length + 2});
        at += length + 2;
        inScan = inScan || marker == StartOfScan;
    }
}

bool SegmentSays(std::span<const std::uint8_t> file, const JpegSegment& segment,
                 std::span<const char> signature) {
    const auto body = segment.Body(file);
    return body.size() >= signature.size() &&
           std::equal(signature.begin(), signature.end(), body.begin(),
                      [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; });
}
