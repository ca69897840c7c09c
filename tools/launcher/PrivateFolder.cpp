#include "PrivateFolder.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <vector>

namespace {

// Makes each missing folder of the absolute `path` with mode 0700, as `mkdir -p` would.
void MakeFolders(const std::string& path) {
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
        mkdir(path.substr(0, slash).c_str(), 0700);
    }
    mkdir(path.c_str(), 0700);
}

// The user's home in /etc/passwd, read directly: a statically linked program cannot use the
// name service's libraries (nor, to stay small, the C++ streams).
std::string HomeInUserDatabase() {
    FILE* passwd = std::fopen("/etc/passwd", "re");
    if (passwd == nullptr) {
        return {};
    }
    const std::string uid = std::to_string(getuid());
    char buffer[4096];
    std::string home;
    while (home.empty() && std::fgets(buffer, sizeof buffer, passwd) != nullptr) {
        std::vector<std::string> fields(1);
        for (const char* c = buffer; *c != 0 && *c != '\n'; ++c) {
            if (*c == ':') {
                fields.emplace_back();
            } else {
                fields.back().push_back(*c);
            }
        }
        if (fields.size() >= 6 && fields[2] == uid && fields[5].starts_with("/")) {
            home = fields[5];
        }
    }
    std::fclose(passwd);
    return home;
}

std::string CacheBase() {
    const char* xdg = std::getenv("XDG_CACHE_HOME");
    if (xdg != nullptr && xdg[0] == '/') {
        return xdg;
    }
    const char* home = std::getenv("HOME");
    const std::string folder = home != nullptr && home[0] == '/' ? home : HomeInUserDatabase();
    return folder.empty() ? folder : folder + "/.cache";
}

// Checks the folder open as `fd` and makes it private when it is the user's.
bool MakePrivate(int fd, const std::string& name, std::string& error) {
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISDIR(info.st_mode)) {
        error = name + " is not a folder";
        return false;
    }
    if (info.st_uid != getuid()) {
        error = "the folder " + name + " belongs to another user (" + std::to_string(info.st_uid) +
                ", not " + std::to_string(getuid()) + "): the puzzle will not unpack into it";
        return false;
    }
    if ((info.st_mode & 07077) != 0 && fchmod(fd, 0700) != 0) {
        error = "cannot make the folder " + name + " private: " + std::strerror(errno);
        return false;
    }
    return true;
}

// Makes the folder `name` in `parentFd` when missing and opens it, following a link only when
// `follow`; -1 with the reason in `error`.
int OpenFolder(int parentFd, const std::string& name, bool create, bool follow,
               std::string& error) {
    if (create && mkdirat(parentFd, name.c_str(), 0700) != 0 && errno != EEXIST) {
        error = "cannot make the folder " + name + ": " + std::strerror(errno);
        return -1;
    }
    const int fd = openat(parentFd, name.c_str(),
                          O_RDONLY | O_DIRECTORY | O_CLOEXEC | (follow ? 0 : O_NOFOLLOW));
    if (fd < 0) {
        error = "cannot open the folder " + name + ": " + std::strerror(errno);
        return -1;
    }
    if (!MakePrivate(fd, name, error)) {
        close(fd);
        return -1;
    }
    return fd;
}

// A link in the cache is followed only when the user made it.
bool OwnLink(int parentFd, const std::string& name) {
    struct stat info {};
    return fstatat(parentFd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
           S_ISLNK(info.st_mode) && info.st_uid == getuid();
}

// The private folder `name` in the folder `base`, made when missing; -1 with the reason.
int OpenIn(const std::string& base, const std::string& name, std::string& error) {
    const int baseFd = open(base.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (baseFd < 0) {
        error = "cannot open the folder " + base + ": " + std::strerror(errno);
        return -1;
    }
    const int fd = OpenFolder(baseFd, name, true, OwnLink(baseFd, name), error);
    close(baseFd);
    if (fd < 0) {
        error += " (in " + base + ")";
    }
    return fd;
}

bool CanRunPrograms(int fd) {
    struct statvfs info {};
    return fstatvfs(fd, &info) != 0 || (info.f_flag & ST_NOEXEC) == 0;
}

} // namespace

int OpenPrivateFolder(int parentFd, const std::string& name, bool create, std::string& error) {
    return OpenFolder(parentFd, name, create, false, error);
}

int OpenTavrinCache(std::string& path, std::string& error) {
    const std::string base = CacheBase();
    if (base.empty()) {
        error = "neither XDG_CACHE_HOME nor HOME names a folder to unpack the puzzle into, and "
                "the user database names no home for user " +
                std::to_string(getuid());
        return -1;
    }
    MakeFolders(base);
    int fd = OpenIn(base, "tavrin", error);
    if (fd >= 0 && CanRunPrograms(fd)) {
        path = base + "/tavrin";
        return fd;
    }
    // A cache folder of another user (left by a start with sudo), a home that cannot be written,
    // or a disk mounted noexec: a private folder elsewhere serves as well.
    const std::string problem =
        fd >= 0 ? "the cache folder " + base +
                      " is on a disk that does not let programs run (mounted noexec)"
                : error;
    if (fd >= 0) {
        close(fd);
    }
    const std::string user = std::to_string(getuid());
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    const std::vector<std::pair<std::string, std::string>> others = {
        {runtime != nullptr && runtime[0] == '/' ? runtime : "", "tavrin-cache"},
        {"/var/tmp", "tavrin-" + user},
        {"/tmp", "tavrin-" + user}};
    for (const auto& [folder, name] : others) {
        std::string ignored;
        fd = folder.empty() ? -1 : OpenIn(folder, name, ignored);
        if (fd >= 0 && CanRunPrograms(fd)) {
            path = folder + "/" + name;
            return fd;
        }
        if (fd >= 0) {
            close(fd);
        }
    }
    error = problem +
            "; no other folder for the player (in XDG_RUNTIME_DIR, /var/tmp or /tmp) will do "
            "either: set XDG_CACHE_HOME to a folder of your own where programs may run";
    return -1;
}
