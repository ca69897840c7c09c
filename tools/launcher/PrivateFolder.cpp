#include "PrivateFolder.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Makes each missing folder of the absolute `path` with mode 0700, as `mkdir -p` would.
void MakeFolders(const std::string& path) {
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
        mkdir(path.substr(0, slash).c_str(), 0700);
    }
    mkdir(path.c_str(), 0700);
}

std::string CacheBase() {
    const char* xdg = std::getenv("XDG_CACHE_HOME");
    if (xdg != nullptr && xdg[0] == '/') {
        return xdg;
    }
    const char* home = std::getenv("HOME");
    return home != nullptr && home[0] == '/' ? std::string(home) + "/.cache" : std::string();
}

} // namespace

int OpenPrivateFolder(int parentFd, const std::string& name, bool create, std::string& error) {
    if (create && mkdirat(parentFd, name.c_str(), 0700) != 0 && errno != EEXIST) {
        error = "cannot make the folder " + name + ": " + std::strerror(errno);
        return -1;
    }
    const int fd = openat(parentFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        error = "cannot open the folder " + name + ": " + std::strerror(errno);
        return -1;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0 || info.st_uid != getuid() || (info.st_mode & 077) != 0) {
        close(fd);
        error = "the folder " + name + " is not private: it must be a folder of user " +
                std::to_string(getuid()) + " that no one else can open";
        return -1;
    }
    return fd;
}

int OpenTavrinCache(std::string& path, std::string& error) {
    const std::string base = CacheBase();
    if (base.empty()) {
        error = "neither XDG_CACHE_HOME nor HOME names a folder to unpack the puzzle into";
        return -1;
    }
    MakeFolders(base);
    const int baseFd = open(base.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (baseFd < 0) {
        error = "cannot open the cache folder " + base + ": " + std::strerror(errno);
        return -1;
    }
    const int fd = OpenPrivateFolder(baseFd, "tavrin", true, error);
    close(baseFd);
    path = base + "/tavrin";
    if (fd < 0) {
        error += " (in " + base + ")";
    }
    return fd;
}
