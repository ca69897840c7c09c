#include "music/SoundServer.h"

#include <cstdlib>
#include <string>
#include <sys/stat.h>

const char* SoundServerDriver() {
    const char* server = std::getenv("PULSE_SERVER");
    if (server != nullptr && *server != 0) {
        return "pulseaudio";
    }
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    struct stat info {};
    if (runtime != nullptr && *runtime == '/' &&
        stat((std::string(runtime) + "/pulse/native").c_str(), &info) == 0 &&
        S_ISSOCK(info.st_mode)) {
        return "pulseaudio";
    }
    return nullptr;
}
