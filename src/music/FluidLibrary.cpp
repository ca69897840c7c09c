#include "music/FluidLibrary.h"

#include <dlfcn.h>

namespace {

std::string LoaderError() {
    const char* error = dlerror();
    return error != nullptr ? error : "unknown error";
}

Failure RefuseLibrary(const std::string& name, const std::string& reason) {
    return {"Cannot load the synthesizer library " + name + ": " + reason};
}

template <typename Function>
bool FindFunction(void* library, const char* symbol, Function& function) {
    function = reinterpret_cast<Function>(dlsym(library, symbol));
    return function != nullptr;
}

// Finds every function, or gives the name of the first one missing.
const char* FindFunctions(void* library, FluidLibrary& fluid) {
#define TAVRIN_FIND(name)                                                                          \
    if (!FindFunction(library, #name, fluid.name)) {                                               \
        return #name;                                                                              \
    }
    TAVRIN_FIND(new_fluid_settings)
    TAVRIN_FIND(delete_fluid_settings)
    TAVRIN_FIND(fluid_settings_setint)
    TAVRIN_FIND(fluid_settings_setstr)
    TAVRIN_FIND(fluid_settings_dupstr)
    TAVRIN_FIND(fluid_free)
    TAVRIN_FIND(fluid_set_log_function)
    TAVRIN_FIND(new_fluid_synth)
    TAVRIN_FIND(delete_fluid_synth)
    TAVRIN_FIND(fluid_synth_sfload)
    TAVRIN_FIND(fluid_synth_write_float)
    TAVRIN_FIND(new_fluid_player)
    TAVRIN_FIND(delete_fluid_player)
    TAVRIN_FIND(fluid_player_add_mem)
    TAVRIN_FIND(fluid_player_play)
    TAVRIN_FIND(fluid_player_stop)
    TAVRIN_FIND(fluid_player_seek)
    TAVRIN_FIND(fluid_player_get_status)
    TAVRIN_FIND(fluid_player_get_current_tick)
    TAVRIN_FIND(fluid_player_get_total_ticks)
    TAVRIN_FIND(new_fluid_audio_driver)
    TAVRIN_FIND(delete_fluid_audio_driver)
#undef TAVRIN_FIND
    return nullptr;
}

const Result<FluidLibrary>& BuildsFluid() {
    static const Result<FluidLibrary> opened = OpenFluidLibrary(TAVRIN_FLUIDSYNTH_LIBRARY);
    return opened;
}

} // namespace

Result<FluidLibrary> OpenFluidLibrary(const std::string& name) {
    void* library = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        return RefuseLibrary(name, LoaderError());
    }
    FluidLibrary fluid;
    if (const char* missing = FindFunctions(library, fluid)) {
        dlclose(library);
        return RefuseLibrary(name, "it has no function " + std::string(missing));
    }
    return fluid;
}

Result<void> LoadFluid() {
    if (!BuildsFluid()) {
        return BuildsFluid().Error();
    }
    return {};
}

const FluidLibrary& Fluid() {
    return *BuildsFluid();
}
