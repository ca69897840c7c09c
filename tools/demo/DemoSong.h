#pragma once

#include <cstdint>
#include <vector>

// An original arrangement of "Silent Night" (Franz Xaver Gruber, 1818; public domain) as a
// standard MIDI file: flute melody, string pad, harp, bass, and a glockenspiel in the second
// verse.
std::vector<std::uint8_t> ComposeDemoSong();
