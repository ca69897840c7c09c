#include "music/MidiSong.h"

#include <algorithm>
#include <cstring>

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint8_t MetaStatus = 0xFF;
constexpr std::uint8_t SysExStatus = 0xF0;
constexpr std::uint8_t EscapeStatus = 0xF7;
constexpr std::uint8_t EndOfTrack = 0x2F;
constexpr std::uint8_t TextEvent = 0x01;
constexpr std::uint32_t LongestQuantity = 0x0FFFFFFF;

// Reads big-endian numbers, variable-length quantities and spans; any read past the end fails
// and leaves the reader failed.
class Reader {
public:
    explicit Reader(std::span<const std::uint8_t> data)
        : Data(data) {}

    bool Failed() const { return Bad; }
    bool AtEnd() const { return At >= Data.size(); }

    std::uint32_t Number(int size) {
        std::uint32_t value = 0;
        for (int i = 0; i < size; ++i) {
            value = value << 8 | Byte();
        }
        return value;
    }

    std::uint8_t Byte() {
        if (AtEnd()) {
            Bad = true;
            return 0;
        }
        return Data[At++];
    }

    // At most four bytes, as the file format allows.
    std::uint32_t Quantity() {
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            const std::uint8_t byte = Byte();
            value = value << 7 | (byte & 0x7F);
            if ((byte & 0x80) == 0) {
                return value;
            }
        }
        Bad = true;
        return 0;
    }

    std::span<const std::uint8_t> Take(std::size_t size) {
        if (Bad || size > Data.size() - At) {
            Bad = true;
            At = Data.size();
            return {};
        }
        return TakeUpTo(size);
    }

    // What is there of the next `size` bytes.
    std::span<const std::uint8_t> TakeUpTo(std::size_t size) {
        const auto taken = Data.subspan(At, std::min(size, Data.size() - At));
        At += taken.size();
        return taken;
    }

    std::uint8_t Peek() const { return AtEnd() ? 0 : Data[At]; }

private:
    std::span<const std::uint8_t> Data;
    std::size_t At = 0;
    bool Bad = false;
};

void PutNumber(Bytes& out, std::uint32_t value, int size) {
    for (int shift = (size - 1) * 8; shift >= 0; shift -= 8) {
        out.push_back(static_cast<std::uint8_t>(value >> shift));
    }
}

void PutQuantity(Bytes& out, std::uint32_t value) {
    std::uint8_t groups[5];
    int count = 0;
    do {
        groups[count++] = value & 0x7F;
        value >>= 7;
    } while (value != 0);
    while (count > 1) {
        out.push_back(groups[--count] | 0x80);
    }
    out.push_back(groups[0]);
}

int DataBytesOf(std::uint8_t status) {
    const std::uint8_t kind = status & 0xF0;
    return kind == 0xC0 || kind == 0xD0 ? 1 : 2;
}

// Meta events the synthesizer refuses the whole song over when their length is not this.
bool MetaLengthAccepted(std::uint8_t type, std::size_t length) {
    switch (type) {
    case 0x51: // tempo
        return length == 3;
    case 0x54: // SMPTE offset
        return length == 5;
    case 0x58: // time signature
        return length == 4;
    case 0x59: // key signature
        return length == 2;
    default:
        return true;
    }
}

// The time before an event, which may sum the times of events left out: what one quantity
// cannot hold goes before empty text events.
void PutDelta(Bytes& out, std::uint64_t delta) {
    while (delta > LongestQuantity) {
        PutQuantity(out, LongestQuantity);
        out.insert(out.end(), {MetaStatus, TextEvent, 0});
        delta -= LongestQuantity;
    }
    PutQuantity(out, static_cast<std::uint32_t>(delta));
}

struct Track {
    Bytes Events;
    int Notes = 0;
    // The track reached its own end-of-track event: nothing of it was cut or damaged.
    bool Whole = false;
};

// One track's events, written out again with every status byte in place. Reading stops at the
// end of the track or at the first event that is damaged or cut.
Track CleanTrack(std::span<const std::uint8_t> chunk) {
    Track track;
    Reader in(chunk);
    std::uint8_t running = 0;
    std::uint64_t pendingDelta = 0;
    while (!in.AtEnd()) {
        const std::uint32_t delta = in.Quantity();
        std::uint8_t status = in.Peek() & 0x80 ? in.Byte() : running;
        if (in.Failed() || status == 0) {
            break;
        }
        Bytes event;
        if (status == MetaStatus) {
            const std::uint8_t type = in.Byte();
            const std::uint32_t length = in.Quantity();
            const auto data = in.Take(length);
            if (in.Failed()) {
                break;
            }
            if (type == EndOfTrack) {
                pendingDelta += delta; // a rest before the end is part of the song
                track.Whole = true;
                break;
            }
            if (MetaLengthAccepted(type, data.size())) {
                event = {status, type};
                PutQuantity(event, length);
                event.insert(event.end(), data.begin(), data.end());
            }
        } else if (status == SysExStatus || status == EscapeStatus) {
            const auto data = in.Take(in.Quantity());
            if (in.Failed()) {
                break;
            }
            if (status == SysExStatus) {
                event = {status};
                PutQuantity(event, static_cast<std::uint32_t>(data.size()));
                event.insert(event.end(), data.begin(), data.end());
            }
        } else if (status < 0xF0) {
            event = {status};
            for (int i = 0; i < DataBytesOf(status); ++i) {
                event.push_back(in.Byte());
            }
            if (in.Failed() || std::any_of(event.begin() + 1, event.end(),
                                           [](std::uint8_t b) { return b & 0x80; })) {
                break;
            }
            running = status;
            track.Notes += (status & 0xF0) == 0x90 && event[2] != 0;
        } else {
            break; // system messages have no place in a file
        }
        pendingDelta += delta;
        if (!event.empty()) {
            PutDelta(track.Events, pendingDelta);
            track.Events.insert(track.Events.end(), event.begin(), event.end());
            pendingDelta = 0;
        }
    }
    PutDelta(track.Events, pendingDelta);
    track.Events.insert(track.Events.end(), {MetaStatus, EndOfTrack, 0});
    return track;
}

} // namespace

std::optional<ReadSong> ReadMidiSong(std::span<const std::uint8_t> file) {
    Reader in(file);
    const auto id = in.Take(4);
    const std::uint32_t headerLength = in.Number(4);
    if (in.Failed() || std::memcmp(id.data(), "MThd", 4) != 0 || headerLength < 6) {
        return std::nullopt;
    }
    Reader header(in.Take(headerLength));
    const std::uint32_t format = header.Number(2);
    const std::uint32_t declaredTracks = header.Number(2);
    const std::uint32_t division = header.Number(2);
    if (in.Failed() || format > 2 || division == 0 || (division & 0x8000) != 0) {
        return std::nullopt;
    }
    std::vector<Track> tracks;
    bool cut = false;
    while (tracks.size() < declaredTracks && !in.AtEnd()) {
        const auto chunkId = in.Take(4);
        const std::uint32_t length = in.Number(4);
        if (in.Failed()) {
            break;
        }
        const auto body = in.TakeUpTo(length); // a cut chunk keeps what is there
        if (std::memcmp(chunkId.data(), "MTrk", 4) == 0) {
            tracks.push_back(CleanTrack(body));
            cut = cut || !tracks.back().Whole;
        }
    }
    cut = cut || tracks.size() < declaredTracks;
    if (std::none_of(tracks.begin(), tracks.end(), [](const Track& t) { return t.Notes > 0; })) {
        return std::nullopt;
    }
    Bytes song = {'M', 'T', 'h', 'd', 0, 0, 0, 6};
    PutNumber(song, format, 2);
    PutNumber(song, static_cast<std::uint32_t>(tracks.size()), 2);
    PutNumber(song, division, 2);
    for (const Track& track : tracks) {
        song.insert(song.end(), {'M', 'T', 'r', 'k'});
        PutNumber(song, static_cast<std::uint32_t>(track.Events.size()), 4);
        song.insert(song.end(), track.Events.begin(), track.Events.end());
    }
    return ReadSong{std::move(song), cut};
}

std::optional<Bytes> PlayableMidiSong(std::span<const std::uint8_t> file) {
    std::optional<ReadSong> read = ReadMidiSong(file);
    return read ? std::optional<Bytes>(std::move(read->Song)) : std::nullopt;
}
