#include "FileIdentity.h"

#include <sys/stat.h>

std::optional<FileIdentity> IdentityOf(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        return std::nullopt;
    }
    return FileIdentity{info.st_dev, info.st_ino};
}
