#include "PlayerCache.h"

#include "BuildLock.h"
#include "CacheCleanup.h"
#include "LeanPlayer.h"
#include "PrivateFolder.h"
#include "RemoveTree.h"
#include "UnpackedList.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <set>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

Failure ErrnoFailure(const std::string& what) {
    return Failure{what + ": " + std::strerror(errno)};
}

// Waits until the file or folder `name` in `folderFd` is on the disk.
bool Synced(int folderFd, const std::string& name) {
    const int fd = openat(folderFd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    const bool synced = fd >= 0 && fsync(fd) == 0;
    return fd >= 0 ? close(fd) == 0 && synced : false;
}

// Puts the unpacked files and folders on the disk before the list that declares them whole, and
// the list before the rename that declares the folder ready; a crash at any point leaves a folder
// that the next start sees as unfinished or damaged. Files and folders are synced one by one: a
// sync of the whole disk would wait for what other programs write too.
Result<void> MakeWhole(int folderFd, const std::vector<WrittenFile>& files) {
    std::set<std::string> folders;
    for (const WrittenFile& file : files) {
        if (!Synced(folderFd, file.Name)) {
            return ErrnoFailure("cannot write " + file.Name + " to the disk");
        }
        for (std::size_t slash = file.Name.find('/'); slash != std::string::npos;
             slash = file.Name.find('/', slash + 1)) {
            folders.insert(file.Name.substr(0, slash));
        }
    }
    for (const std::string& folder : folders) {
        if (!Synced(folderFd, folder)) {
            return ErrnoFailure("cannot write the folder " + folder + " to the disk");
        }
    }
    if (Result<void> listed = WriteUnpackedList(folderFd, files); !listed) {
        return listed;
    }
    return fsync(folderFd) == 0 ? Result<void>()
                                : ErrnoFailure("cannot write the unpacked player to the disk");
}

// Unpacks into a fresh folder, renames it into place over none and opens it. Call it holding the
// lock.
Result<int> Unpack(int puzzleFd, std::uint64_t offset, const BundleHeader& header, int cacheFd) {
    DiscardBuild(cacheFd, header.Sha256);
    const std::string part = UnfinishedName(header.Sha256);
    const Result<int> partFd = OpenPrivateFolder(cacheFd, part, true);
    if (!partFd) {
        return partFd.Error();
    }
    const auto files = FillPlayerFolder(puzzleFd, offset, header, *partFd);
    Result<void> done = files ? MakeWhole(*partFd, *files) : files.Error();
    close(*partFd);
    if (done && renameat(cacheFd, part.c_str(), cacheFd, header.Sha256.c_str()) != 0) {
        done = ErrnoFailure("cannot move the unpacked player into place");
    }
    if (done && fsync(cacheFd) != 0) {
        done = ErrnoFailure("cannot write the cache folder to the disk");
    }
    if (!done) {
        RemoveTree(cacheFd, part.c_str());
        return done.Error();
    }
    return OpenPrivateFolder(cacheFd, header.Sha256, false);
}

// The build's folder when whole, else -1.
int OpenWhole(int cacheFd, const std::string& hash) {
    const Result<int> fd = OpenPrivateFolder(cacheFd, hash, false);
    if (fd && !IsWholeFolder(*fd)) {
        close(*fd);
        return -1;
    }
    return fd ? *fd : -1;
}

// Marks the folder as in use for as long as the player (which inherits the descriptor) runs,
// and as started now, for the removal of unused builds.
void HoldForPlayer(int folderFd) {
    flock(folderFd, LOCK_SH);
    futimens(folderFd, nullptr);
    fcntl(folderFd, F_SETFD, 0);
    // The player keeps it to itself (close-on-exec), so that no program it starts holds it.
    setenv("TAVRIN_CACHE_HOLD_FD", std::to_string(folderFd).c_str(), 1);
}

// The ready folder's descriptor, unpacking it under the build's lock when needed.
Result<int> ReadyFolder(int puzzleFd, std::uint64_t offset, const BundleHeader& header,
                        int cacheFd) {
    const int lock = TakeBuildLock(cacheFd, header.Sha256, true);
    if (lock < 0) {
        return ErrnoFailure("cannot lock the cache");
    }
    RemoveUnfinished(cacheFd, header.Sha256);
    const int whole = OpenWhole(cacheFd, header.Sha256);
    const Result<int> fd = whole >= 0 ? whole : Unpack(puzzleFd, offset, header, cacheFd);
    if (fd) {
        HoldForPlayer(*fd);
    }
    ReleaseBuildLock(cacheFd, header.Sha256, lock);
    return fd;
}

} // namespace

Result<std::string> ReadyPlayerFolder(int puzzleFd, std::uint64_t offset,
                                      const BundleHeader& header) {
    std::string cachePath;
    const Result<int> cacheFd = OpenTavrinCache(cachePath);
    if (!cacheFd) {
        return cacheFd.Error();
    }
    const Result<int> folderFd = ReadyFolder(puzzleFd, offset, header, *cacheFd);
    if (folderFd) {
        RemoveOtherBuilds(*cacheFd, header.Sha256);
    }
    close(*cacheFd);
    if (!folderFd) {
        return folderFd.Error();
    }
    return cachePath + "/" + header.Sha256;
}
void DiscardPlayerFolder(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0) {
        unlinkat(fd, UnpackedListName, 0);
        fsync(fd);
        close(fd);
    }
}
