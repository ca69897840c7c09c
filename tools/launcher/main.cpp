// The start of a portable puzzle: unpacks the bundle that follows this launcher in the puzzle's
// own file into the user's cache (once per player build, named by the bundle's hash), then runs
// the player from there. Statically linked, it runs on any x86-64 Linux. A lean puzzle starts
// the same way, with the player alone in the cache, run on the machine's libraries. A start
// that fails says why in a window of its own.
#include "FailureWindow.h"
#include "LeanPlayer.h"
#include "PlayerExec.h"
#include "PrivateFolder.h"
#include "RemoveTree.h"
#include "StartWatcher.h"
#include "package/PortableImage.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

struct Failure {
    std::string Reason;
};

std::string OwnFile() {
    std::vector<char> path(4096);
    const ssize_t n = readlink("/proc/self/exe", path.data(), path.size() - 1);
    if (n <= 0) {
        throw Failure{"cannot find its own file (is /proc mounted?)"};
    }
    return std::string(path.data(), static_cast<std::size_t>(n));
}

std::vector<std::uint8_t> ReadAt(int fd, std::uint64_t offset, std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    const ssize_t n = pread(fd, bytes.data(), size, static_cast<off_t>(offset));
    bytes.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return bytes;
}

// The bundle header, right after this launcher's ELF file; `offset` receives the bundle's start.
BundleHeader FindBundle(int fd, std::uint64_t& offset) {
    const auto end = ElfFileEnd(ReadAt(fd, 0, 64));
    const auto header =
        end ? BundleHeader::Decode(ReadAt(fd, *end, BundleHeader::Size)) : std::nullopt;
    if (!header) {
        throw Failure{"the puzzle holds no player bundle: it is damaged"};
    }
    offset = *end + BundleHeader::Size;
    return *header;
}

// Leftovers of starts that were cut short while unpacking this bundle.
void RemoveUnfinished(int cacheFd, const std::string& hash) {
    const int fd = openat(cacheFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* dir = fd >= 0 ? fdopendir(fd) : nullptr;
    if (dir == nullptr) {
        return;
    }
    std::vector<std::string> names;
    while (const dirent* entry = readdir(dir)) {
        if (std::string(entry->d_name).starts_with(hash + ".part-")) {
            names.emplace_back(entry->d_name);
        }
    }
    closedir(dir);
    for (const std::string& name : names) {
        RemoveTree(cacheFd, name.c_str());
    }
}

std::string FreshName(const std::string& hash) {
    std::random_device random;
    return hash + ".part-" + std::to_string(random()) + std::to_string(getpid());
}

// Unpacks into a fresh folder and renames it into place, holding a lock so that two first
// starts at once unpack once: the second finds the folder made when it gets the lock.
void Unpack(int fd, std::uint64_t offset, const BundleHeader& header, int cacheFd) {
    const std::string lockName = header.Sha256 + ".lock";
    const int lock =
        openat(cacheFd, lockName.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (lock < 0 || flock(lock, LOCK_EX) != 0) {
        throw Failure{"cannot lock the cache: " + std::string(std::strerror(errno))};
    }
    std::string error;
    if (const int ready = OpenPrivateFolder(cacheFd, header.Sha256, false, error); ready >= 0) {
        close(ready);
        close(lock);
        return;
    }
    RemoveUnfinished(cacheFd, header.Sha256);
    const std::string part = FreshName(header.Sha256);
    const int partFd = OpenPrivateFolder(cacheFd, part, true, error);
    if (partFd < 0) {
        throw Failure{error};
    }
    error = FillPlayerFolder(fd, offset, header, partFd);
    close(partFd);
    if (error.empty() && renameat(cacheFd, part.c_str(), cacheFd, header.Sha256.c_str()) != 0) {
        error = "cannot move the unpacked player into place: " + std::string(std::strerror(errno));
    }
    if (!error.empty()) {
        RemoveTree(cacheFd, part.c_str());
        throw Failure{error};
    }
    close(lock);
}

std::string Start(bool again) {
    const std::string puzzle = OwnFile();
    const int fd = open(puzzle.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        throw Failure{"cannot read " + puzzle + ": " + std::strerror(errno)};
    }
    std::uint64_t offset = 0;
    const BundleHeader header = FindBundle(fd, offset);
    std::string cachePath;
    std::string error;
    const int cacheFd = OpenTavrinCache(cachePath, error);
    if (cacheFd < 0) {
        throw Failure{error};
    }
    struct stat info {};
    if (fstatat(cacheFd, header.Sha256.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        Unpack(fd, offset, header, cacheFd);
    }
    const int ready = OpenPrivateFolder(cacheFd, header.Sha256, false, error);
    if (ready < 0) {
        throw Failure{error};
    }
    close(ready);
    close(cacheFd);
    close(fd);
    const std::string folder = cachePath + "/" + header.Sha256;
    const WatchedStart watched{puzzle, cachePath, header.Sha256, header.Lean, again};
    const int watcher = StartWatcher(watched);
    const std::string execError =
        header.Lean ? RunLeanPlayer(folder, puzzle) : RunPlayer(folder, puzzle);
    DismissWatcher(watcher);
    return ExecFailure(watched, execError);
}

// Started with its standard files closed (as a file manager may), the launcher would hand their
// numbers to the files it opens, and a message meant for the error output would go into one.
void KeepStandardFilesOpen() {
    for (int fd = 0; fd < 3; ++fd) {
        if (fcntl(fd, F_GETFD) < 0 && open("/dev/null", O_RDWR) != fd) {
            return;
        }
    }
}

} // namespace

int main() {
    KeepStandardFilesOpen();
    const bool again = TakeStartAgain();
    std::string reason;
    try {
        reason = Start(again);
    } catch (const Failure& failure) {
        reason = failure.Reason;
    }
    ReportStartFailure(reason);
    return 127;
}
