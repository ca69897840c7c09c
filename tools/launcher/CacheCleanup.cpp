#include "CacheCleanup.h"

#include "BuildLock.h"
#include "RemoveTree.h"

#include <algorithm>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <set>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::size_t HashLength = 64;
constexpr std::time_t UnusedFor = 30 * 24 * 60 * 60;
const std::string PartMark = ".part-";

std::vector<std::string> Names(int cacheFd) {
    const int fd = openat(cacheFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* dir = fd >= 0 ? fdopendir(fd) : nullptr;
    std::vector<std::string> names;
    if (dir == nullptr) {
        if (fd >= 0) {
            close(fd);
        }
        return names;
    }
    while (const dirent* entry = readdir(dir)) {
        names.emplace_back(entry->d_name);
    }
    closedir(dir);
    return names;
}

// The build a cache entry belongs to, or empty when it is not one of a build's entries.
std::string BuildOf(const std::string& name) {
    const std::string hash = name.substr(0, HashLength);
    const std::string rest = name.substr(hash.size());
    const bool hex = hash.size() == HashLength && std::all_of(hash.begin(), hash.end(), [](char c) {
                         return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
                     });
    return hex && (rest.empty() || rest == ".lock" || rest.starts_with(PartMark)) ? hash
                                                                                  : std::string();
}

// True when the build's folder was last started long ago and no player runs from it.
bool Unused(int cacheFd, const std::string& hash) {
    const int fd = openat(cacheFd, hash.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    struct stat info {};
    const bool unused = fd >= 0 && fstat(fd, &info) == 0 &&
                        info.st_mtime <= std::time(nullptr) - UnusedFor &&
                        flock(fd, LOCK_EX | LOCK_NB) == 0;
    if (fd >= 0) {
        close(fd);
    }
    return unused;
}

} // namespace

std::string UnfinishedName(const std::string& hash) {
    std::random_device random;
    return hash + PartMark + std::to_string(random()) + std::to_string(getpid());
}

void RemoveUnfinished(int cacheFd, const std::string& hash) {
    for (const std::string& name : Names(cacheFd)) {
        if (name.starts_with(hash + PartMark)) {
            RemoveTree(cacheFd, name.c_str());
        }
    }
}

void DiscardBuild(int cacheFd, const std::string& hash) {
    const std::string away = UnfinishedName(hash);
    if (renameat(cacheFd, hash.c_str(), cacheFd, away.c_str()) == 0) {
        RemoveTree(cacheFd, away.c_str());
    }
}

void RemoveOtherBuilds(int cacheFd, const std::string& ownHash) {
    std::set<std::string> builds;
    for (const std::string& name : Names(cacheFd)) {
        if (const std::string hash = BuildOf(name); !hash.empty() && hash != ownHash) {
            builds.insert(hash);
        }
    }
    for (const std::string& hash : builds) {
        const int lock = TakeBuildLock(cacheFd, hash, false);
        if (lock < 0) {
            continue;
        }
        RemoveUnfinished(cacheFd, hash);
        if (Unused(cacheFd, hash)) {
            DiscardBuild(cacheFd, hash);
        }
        ReleaseBuildLock(cacheFd, hash, lock);
    }
}
