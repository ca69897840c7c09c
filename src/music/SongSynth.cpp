#include "music/SongSynth.h"

#include "base/WholeFile.h"
#include "music/FluidLibrary.h"
#include "music/MidiSong.h"

#include <cstdlib>
#include <mutex>
#include <unistd.h>

namespace {

constexpr const char* SystemSoundFont = "/usr/share/sounds/sf2/default-GM.sf2";

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

Result<std::unique_ptr<SongSynth>> SongSynth::Open() {
    if (Result<void> loaded = LoadFluid(); !loaded) {
        return loaded.Error();
    }
    CaptureFluidErrors();
    ForgetError();
    std::unique_ptr<SongSynth> song(new SongSynth);
    song->SettingsHandle = Fluid().new_fluid_settings();
    if (song->SettingsHandle == nullptr) {
        return Failure{LastFluidError("Cannot set up the synthesizer.")};
    }
    Fluid().fluid_settings_setint(song->SettingsHandle, "synth.lock-memory", 0);
    song->SynthHandle = Fluid().new_fluid_synth(song->SettingsHandle);
    const std::string font = GeneralMidiSoundFont(song->SettingsHandle);
    if (song->SynthHandle == nullptr ||
        Fluid().fluid_synth_sfload(song->SynthHandle, font.c_str(), 1) == FLUID_FAILED) {
        return Failure{LastFluidError("Cannot load the sound font " + font + ".")};
    }
    return song;
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

Result<std::vector<std::uint8_t>> ReadPlayableSong(const std::string& path) {
    const Result<std::vector<std::uint8_t>> file = ReadWholeFile(path);
    std::optional<std::vector<std::uint8_t>> playable =
        file ? PlayableMidiSong(*file) : std::nullopt;
    if (!playable) {
        return Failure{"Cannot open the song " + path + "."};
    }
    return std::move(*playable);
}
