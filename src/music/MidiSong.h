#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// A standard MIDI file made fit for the synthesizer, which refuses a whole song over one bad
// byte: each track keeps its events up to the first damaged or cut one and ends properly there;
// events the synthesizer would choke on (meta events of the wrong length, escaped system
// exclusive data) are left out with their timing kept. A song with nothing left to sound (no
// tracks, SMPTE timing, no note in any track) gives nothing.
std::optional<std::vector<std::uint8_t>> PlayableMidiSong(std::span<const std::uint8_t> file);

// The same, and whether the file was cut short or damaged: a track that stops before its end,
// or fewer tracks than the file declares. Such a song plays only what comes before the damage.
struct ReadSong {
    std::vector<std::uint8_t> Song;
    bool Cut = false;
};
std::optional<ReadSong> ReadMidiSong(std::span<const std::uint8_t> file);
