#pragma once

#include "base/Result.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct _fluid_hashtable_t;
struct _fluid_synth_t;

// FluidSynth set up the way the player plays songs: a General MIDI sound font (the one a portable
// puzzle carries, named by TAVRIN_SOUNDFONT; else the one FluidSynth names as its default, then
// /usr/share/sounds/sf2/default-GM.sf2) loaded into
// a synthesizer. The first one opens the FluidSynth library (FluidLibrary).

class SongSynth {
public:
    // The synthesizer with its sound font, or the failure in FluidSynth's own words (the
    // loader's when the library cannot be opened).
    [[nodiscard]] static Result<std::unique_ptr<SongSynth>> Open();
    ~SongSynth();
    SongSynth(const SongSynth&) = delete;
    SongSynth& operator=(const SongSynth&) = delete;

    _fluid_hashtable_t* Settings() const { return SettingsHandle; }
    _fluid_synth_t* Synth() const { return SynthHandle; }

private:
    SongSynth() = default;
    void Release();

    _fluid_hashtable_t* SettingsHandle = nullptr;
    _fluid_synth_t* SynthHandle = nullptr;
};

// The sound font the player loads.
std::string GeneralMidiSoundFont(_fluid_hashtable_t* settings);

// What FluidSynth last reported as an error, or `fallback` when it said nothing.
std::string LastFluidError(const std::string& fallback);

// The song at `path` made fit for the synthesizer (PlayableMidiSong). Fails with "Cannot open the
// song PATH." when the file cannot be read or nothing in it can be played.
[[nodiscard]] Result<std::vector<std::uint8_t>> ReadPlayableSong(const std::string& path);
