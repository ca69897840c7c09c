#include "music/SongSynth.h"

#include "music/FluidLibrary.h"
#include "music/MidiSong.h"
#include "package/WholeFile.h"

#include <cstdlib>
#include <mutex>
#include <unistd.h>

namespace {

constexpr const char* SystemSoundFont = "/usr/share/sounds/sf2/default-GM.sf2";
constexpr int SampleRate = 44100;

std::mutex ErrorMutex;
std::string LastError;

void RememberError(int, const char* message, void*) {
    const std::lock_guard lock(ErrorMutex);
    LastError = message != nullptr ? message : "";
}

// FluidSynth's errors are kept for the message the player shows, not printed.
void CaptureFluidErrors() {
    static std::once_flag once;
    std::call_once(once, [] {
        Fluid().fluid_set_log_function(FLUID_PANIC, RememberError, nullptr);
        Fluid().fluid_set_log_function(FLUID_ERR, RememberError, nullptr);
        Fluid().fluid_set_log_function(FLUID_WARN, nullptr, nullptr);
        Fluid().fluid_set_log_function(FLUID_INFO, nullptr, nullptr);
        Fluid().fluid_set_log_function(FLUID_DBG, nullptr, nullptr);
    });
}

void ForgetError() {
    const std::lock_guard lock(ErrorMutex);
    LastError.clear();
}

} // namespace

std::string LastFluidError(const std::string& fallback) {
    const std::lock_guard lock(ErrorMutex);
    return LastError.empty() ? fallback : LastError;
}

std::string GeneralMidiSoundFont(fluid_settings_t* settings) {
    // A portable puzzle's launcher names the SoundFont it carries, so the song sounds the same on
    // every machine, and plays on one without a SoundFont.
    if (const char* bundled = std::getenv("TAVRIN_SOUNDFONT");
        bundled != nullptr && access(bundled, R_OK) == 0) {
        return bundled;
    }
    char* configured = nullptr;
    if (Fluid().fluid_settings_dupstr(settings, "synth.default-soundfont", &configured) ==
            FLUID_OK &&
        configured != nullptr) {
        std::string path(configured);
        Fluid().fluid_free(configured);
        if (!path.empty() && access(path.c_str(), R_OK) == 0) {
            return path;
        }
    }
    return SystemSoundFont;
}

SongSynth::SongSynth(bool offline) {
    CaptureFluidErrors();
    ForgetError();
    SettingsHandle = Fluid().new_fluid_settings();
    if (SettingsHandle == nullptr) {
        throw SongError(LastFluidError("Cannot set up the synthesizer."));
    }
    Fluid().fluid_settings_setint(SettingsHandle, "synth.lock-memory", 0);
    if (offline) {
        Fluid().fluid_settings_setstr(SettingsHandle, "player.timing-source", "sample");
    }
    SynthHandle = Fluid().new_fluid_synth(SettingsHandle);
    const std::string font = GeneralMidiSoundFont(SettingsHandle);
    if (SynthHandle == nullptr ||
        Fluid().fluid_synth_sfload(SynthHandle, font.c_str(), 1) == FLUID_FAILED) {
        const std::string error = LastFluidError("Cannot load the sound font " + font + ".");
        Release();
        throw SongError(error);
    }
}

SongSynth::~SongSynth() {
    Release();
}

void SongSynth::Release() {
    if (SynthHandle != nullptr) {
        Fluid().delete_fluid_synth(SynthHandle);
        SynthHandle = nullptr;
    }
    if (SettingsHandle != nullptr) {
        Fluid().delete_fluid_settings(SettingsHandle);
        SettingsHandle = nullptr;
    }
}

std::vector<std::uint8_t> ReadPlayableSong(const std::string& path) {
    const std::optional<std::vector<std::uint8_t>> file = ReadWholeFile(path);
    std::optional<std::vector<std::uint8_t>> playable =
        file ? PlayableMidiSong(*file) : std::nullopt;
    if (!playable) {
        throw SongError("Cannot open the song " + path + ".");
    }
    return std::move(*playable);
}

std::vector<float> RenderSong(const std::string& path, double seconds) {
    const std::vector<std::uint8_t> playable = ReadPlayableSong(path);
    SongSynth song(true);
    fluid_player_t* player = Fluid().new_fluid_player(song.Synth());
    if (player == nullptr ||
        Fluid().fluid_player_add_mem(player, playable.data(), playable.size()) == FLUID_FAILED ||
        Fluid().fluid_player_play(player) == FLUID_FAILED) {
        if (player != nullptr) {
            Fluid().delete_fluid_player(player);
        }
        throw SongError(LastFluidError("Cannot play " + path + "."));
    }
    constexpr int Block = 1024;
    const auto blocks = static_cast<int>(seconds * SampleRate / Block);
    std::vector<float> samples;
    samples.reserve(static_cast<std::size_t>(blocks) * Block * 2);
    std::vector<float> left(Block), right(Block);
    for (int b = 0; b < blocks && Fluid().fluid_player_get_status(player) == FLUID_PLAYER_PLAYING;
         ++b) {
        Fluid().fluid_synth_write_float(song.Synth(), Block, left.data(), 0, 1, right.data(), 0, 1);
        for (int i = 0; i < Block; ++i) {
            samples.push_back(left[i]);
            samples.push_back(right[i]);
        }
    }
    Fluid().delete_fluid_player(player);
    return samples;
}
