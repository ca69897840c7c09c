#pragma once

#include "music/SongError.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct _fluid_hashtable_t;
struct _fluid_synth_t;

// FluidSynth set up the way the player plays songs: a General MIDI sound font (the one a portable
// puzzle carries, named by TAVRIN_SOUNDFONT; else the one FluidSynth names as its default, then
// /usr/share/sounds/sf2/default-GM.sf2) loaded into
// a synthesizer. The first one opens the FluidSynth library (FluidLibrary). Failures throw
// SongError with FluidSynth's own words, or the loader's when the library cannot be opened.

class SongSynth {
public:
    // `offline`: the synthesizer is driven by the caller's rendering, not by an audio device.
    explicit SongSynth(bool offline);
    ~SongSynth();
    SongSynth(const SongSynth&) = delete;
    SongSynth& operator=(const SongSynth&) = delete;

    _fluid_hashtable_t* Settings() const { return SettingsHandle; }
    _fluid_synth_t* Synth() const { return SynthHandle; }

private:
    void Release();

    _fluid_hashtable_t* SettingsHandle = nullptr;
    _fluid_synth_t* SynthHandle = nullptr;
};

// The sound font the player loads.
std::string GeneralMidiSoundFont(_fluid_hashtable_t* settings);

// What FluidSynth last reported as an error, or `fallback` when it said nothing.
std::string LastFluidError(const std::string& fallback);

// The song at `path` made fit for the synthesizer (PlayableMidiSong). Throws SongError "Cannot
// open the song PATH." when the file cannot be read or nothing in it can be played.
std::vector<std::uint8_t> ReadPlayableSong(const std::string& path);

// Plays the song at `path` for up to `seconds` into memory (stereo, interleaved, 44.1 kHz).
std::vector<float> RenderSong(const std::string& path, double seconds);
