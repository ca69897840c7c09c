#pragma once

#include "base/Result.h"

#include <fluidsynth.h>
#include <string>

// The FluidSynth functions the player uses, reached through the library opened at run time, so
// that the player starts without FluidSynth and the sound libraries it brings. The members carry
// FluidSynth's own names and types; every one is set once the library is open.
struct FluidLibrary {
    decltype(&::new_fluid_settings) new_fluid_settings = nullptr;
    decltype(&::delete_fluid_settings) delete_fluid_settings = nullptr;
    decltype(&::fluid_settings_setint) fluid_settings_setint = nullptr;
    decltype(&::fluid_settings_setstr) fluid_settings_setstr = nullptr;
    decltype(&::fluid_settings_dupstr) fluid_settings_dupstr = nullptr;
    decltype(&::fluid_free) fluid_free = nullptr;
    decltype(&::fluid_set_log_function) fluid_set_log_function = nullptr;

    decltype(&::new_fluid_synth) new_fluid_synth = nullptr;
    decltype(&::delete_fluid_synth) delete_fluid_synth = nullptr;
    decltype(&::fluid_synth_sfload) fluid_synth_sfload = nullptr;
    decltype(&::fluid_synth_write_float) fluid_synth_write_float = nullptr;

    decltype(&::new_fluid_player) new_fluid_player = nullptr;
    decltype(&::delete_fluid_player) delete_fluid_player = nullptr;
    decltype(&::fluid_player_add_mem) fluid_player_add_mem = nullptr;
    decltype(&::fluid_player_play) fluid_player_play = nullptr;
    decltype(&::fluid_player_stop) fluid_player_stop = nullptr;
    decltype(&::fluid_player_seek) fluid_player_seek = nullptr;
    decltype(&::fluid_player_get_status) fluid_player_get_status = nullptr;
    decltype(&::fluid_player_get_current_tick) fluid_player_get_current_tick = nullptr;
    decltype(&::fluid_player_get_total_ticks) fluid_player_get_total_ticks = nullptr;

    decltype(&::new_fluid_audio_driver) new_fluid_audio_driver = nullptr;
    decltype(&::delete_fluid_audio_driver) delete_fluid_audio_driver = nullptr;
};

// Opens the shared library `name` and finds every function in it. The library stays loaded for
// the life of the process. Fails with "Cannot load the synthesizer library NAME: REASON" when the
// library or one of the functions cannot be found.
[[nodiscard]] Result<FluidLibrary> OpenFluidLibrary(const std::string& name);

// Opens FluidSynth as the build found it on the first call from any thread; every later call
// gives the same result.
[[nodiscard]] Result<void> LoadFluid();

// The functions of FluidSynth. Only once LoadFluid succeeded.
const FluidLibrary& Fluid();
