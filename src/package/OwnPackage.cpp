#include "package/OwnPackage.h"

#include <cstdlib>
#include <filesystem>

std::string OwnPackagePath() {
    if (const char* given = std::getenv("TAVRIN_PUZZLE_FILE"); given != nullptr && *given != 0) {
        std::string path = given;
        unsetenv("TAVRIN_PUZZLE_FILE");
        return path;
    }
    std::error_code error;
    return std::filesystem::read_symlink("/proc/self/exe", error).string();
}
