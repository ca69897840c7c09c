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
Result<void> MakePrivate(int fd, const std::string& name) {
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISDIR(info.st_mode)) {
        return Failure{name + " is not a folder"};
    }
    if (info.st_uid != getuid()) {
        return Failure{"the folder " + name + " belongs to another user (" +
                       std::to_string(info.st_uid) + ", not " + std::to_string(getuid()) +
                       "): the puzzle will not unpack into it"};
    }
    if ((info.st_mode & 07077) != 0 && fchmod(fd, 0700) != 0) {
        return Failure{"cannot make the folder " + name + " private: " + std::strerror(errno)};
    }
    return {};
}

// Makes the folder `name` in `parentFd` when missing and opens it, following a link only when
// `follow`.
Result<int> OpenFolder(int parentFd, const std::string& name, bool create, bool follow) {
    if (create && mkdirat(parentFd, name.c_str(), 0700) != 0 && errno != EEXIST) {
        return Failure{"cannot make the folder " + name + ": " + std::strerror(errno)};
    }
    const int fd = openat(parentFd, name.c_str(),
                          O_RDONLY | O_DIRECTORY | O_CLOEXEC | (follow ? 0 : O_NOFOLLOW));
    if (fd < 0) {
        return Failure{"cannot open the folder " + name + ": " + std::strerror(errno)};
    }
    if (Result<void> made = MakePrivate(fd, name); !made) {
        close(fd);
        return made.Error();
    }
    return fd;
}

// A link in the cache is followed only when the user made it.
bool OwnLink(int parentFd, const std::string& name) {
    struct stat info {};
    return fstatat(parentFd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
           S_ISLNK(info.st_mode) && info.st_uid == getuid();
}

// The private folder `name` in the folder `base`, made when missing.
Result<int> OpenIn(const std::string& base, const std::string& name) {
    const int baseFd = open(base.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (baseFd < 0) {
        return Failure{"cannot open the folder " + base + ": " + std::strerror(errno)};
    }
    const Result<int> fd = OpenFolder(baseFd, name, true, OwnLink(baseFd, name));
    close(baseFd);
    return fd ? fd : Failure{fd.Error().What + " (in " + base + ")"};
}

bool CanRunPrograms(int fd) {
    struct statvfs info {};
    return fstatvfs(fd, &info) != 0 || (info.f_flag & ST_NOEXEC) == 0;
}

} // namespace

Result<int> OpenPrivateFolder(int parentFd, const std::string& name, bool create) {
    return OpenFolder(parentFd, name, create, false);
}

Result<int> OpenTavrinCache(std::string& path) {
    const std::string base = CacheBase();
    if (base.empty()) {
        return Failure{"neither XDG_CACHE_HOME nor HOME names a folder to unpack the puzzle "
                       "into, and the user database names no home for user " +
                       std::to_string(getuid())};
    }
    MakeFolders(base);
    const Result<int> own = OpenIn(base, "tavrin");
    if (own && CanRunPrograms(*own)) {
        path = base + "/tavrin";
        return own;
    }
    // A cache folder of another user (left by a start with sudo), a home that cannot be written,
    // or a disk mounted noexec: a private folder elsewhere serves as well.
    const std::string problem =
        own ? "the cache folder " + base +
                  " is on a disk that does not let programs run (mounted noexec)"
            : own.Error().What;
    if (own) {
        close(*own);
    }
    const std::string user = std::to_string(getuid());
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    const std::vector<std::pair<std::string, std::string>> others = {
        {runtime != nullptr && runtime[0] == '/' ? runtime : "", "tavrin-cache"},
        {"/var/tmp", "tavrin-" + user},
        {"/tmp", "tavrin-" + user}};
    for (const auto& [folder, name] : others) {
        const Result<int> fd = folder.empty() ? Failure{} : OpenIn(folder, name);
        if (fd && CanRunPrograms(*fd)) {
            path = folder + "/" + name;
            return fd;
        }
        if (fd) {
            close(*fd);
        }
    }
    return Failure{problem +
                   "; no other folder for the player (in XDG_RUNTIME_DIR, /var/tmp or /tmp) will "
                   "do either: set XDG_CACHE_HOME to a folder of your own where programs may run"};
}
