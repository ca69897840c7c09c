#include "SongDamage.h"

#include <algorithm>
#include <cstddef>

namespace {

std::uint32_t BigEndian(std::span<const std::uint8_t> bytes, std::size_t at, int size) {
    std::uint32_t value = 0;
    for (int i = 0; i < size; ++i) {
        value = value << 8 | bytes[at + static_cast<std::size_t>(i)];
    }
    return value;
}

bool EndsWithEndOfTrack(std::span<const std::uint8_t> track) {
    static constexpr std::uint8_t EndOfTrack[] = {0xFF, 0x2F, 0x00};
    return track.size() >= 3 && std::equal(track.end() - 3, track.end(), EndOfTrack);
}

} // namespace

bool SongIsCutShort(std::span<const std::uint8_t> file) {
    constexpr std::size_t ChunkHead = 8;
    if (file.size() < ChunkHead + 6) {
        return true;
    }
    const std::uint32_t declaredTracks = BigEndian(file, 10, 2);
    std::size_t at = ChunkHead + BigEndian(file, 4, 4);
    std::uint32_t tracks = 0;
    while (at + ChunkHead <= file.size()) {
        const std::size_t length = BigEndian(file, at + 4, 4);
        const std::size_t body = at + ChunkHead;
        if (length > file.size() - body) {
            return true;
        }
        if (std::equal(file.begin() + static_cast<std::ptrdiff_t>(at),
                       file.begin() + static_cast<std::ptrdiff_t>(at + 4), "MTrk")) {
            ++tracks;
            if (!EndsWithEndOfTrack(file.subspan(body, length))) {
                return true;
            }
        }
        at = body + length;
    }
    return tracks < declaredTracks;
}
