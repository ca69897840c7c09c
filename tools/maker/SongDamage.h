#pragma once

#include <cstdint>
#include <span>

// Whether a standard MIDI file is cut short or damaged: a track chunk reaches past the end of
// the file, a track does not close with its end-of-track event, or tracks the header counts are
// missing. The player still plays such a song up to the damage (PlayableMidiSong), which may be
// nothing that can be heard; the maker says so beside the song.
bool SongIsCutShort(std::span<const std::uint8_t> file);
