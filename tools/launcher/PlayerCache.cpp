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

std::string ErrnoText(const std::string& what) {
    return what + ": " + std::strerror(errno);
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
std::string MakeWhole(int folderFd, const std::vector<WrittenFile>& files) {
    std::set<std::string> folders;
    for (const WrittenFile& file : files) {
        if (!Synced(folderFd, file.Name)) {
            return ErrnoText("cannot write " + file.Name + " to the disk");
        }
        for (std::size_t slash = file.Name.find('/'); slash != std::string::npos;
             slash = file.Name.find('/', slash + 1)) {
            folders.insert(file.Name.substr(0, slash));
        }
    }
    for (const std::string& folder : folders) {
        if (!Synced(folderFd, folder)) {
            return ErrnoText("cannot write the folder " + folder + " to the disk");
        }
    }
    if (std::string error = WriteUnpackedList(folderFd, files); !error.empty()) {
        return error;
    }
    return fsync(folderFd) == 0 ? std::string()
                                : ErrnoText("cannot write the unpacked player to the disk");
}

// Unpacks into a fresh folder and renames it into place over none. Call it holding the lock.
std::string Unpack(int puzzleFd, std::uint64_t offset, const BundleHeader& header, int cacheFd) {
    DiscardBuild(cacheFd, header.Sha256);
    const std::string part = UnfinishedName(header.Sha256);
    std::string error;
    const int partFd = OpenPrivateFolder(cacheFd, part, true, error);
    if (partFd < 0) {
        return error;
    }
    std::vector<WrittenFile> files;
    error = FillPlayerFolder(puzzleFd, offset, header, partFd, files);
    if (error.empty()) {
        error = MakeWhole(partFd, files);
    }
    close(partFd);
    if (error.empty() && renameat(cacheFd, part.c_str(), cacheFd, header.Sha256.c_str()) != 0) {
        error = ErrnoText("cannot move the unpacked player into place");
    }
    if (error.empty() && fsync(cacheFd) != 0) {
        error = ErrnoText("cannot write the cache folder to the disk");
    }
    if (!error.empty()) {
        RemoveTree(cacheFd, part.c_str());
    }
    return error;
}

// The build's folder when whole, else -1.
int OpenWhole(int cacheFd, const std::string& hash) {
    std::string ignored;
    const int fd = OpenPrivateFolder(cacheFd, hash, false, ignored);
    if (fd >= 0 && !IsWholeFolder(fd)) {
        close(fd);
        return -1;
    }
    return fd;
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
int ReadyFolder(int puzzleFd, std::uint64_t offset, const BundleHeader& header, int cacheFd,
                std::string& error) {
    const int lock = TakeBuildLock(cacheFd, header.Sha256, true);
    if (lock < 0) {
        error = ErrnoText("cannot lock the cache");
        return -1;
    }
    RemoveUnfinished(cacheFd, header.Sha256);
    int fd = OpenWhole(cacheFd, header.Sha256);
    if (fd < 0) {
        error = Unpack(puzzleFd, offset, header, cacheFd);
        fd = error.empty() ? OpenPrivateFolder(cacheFd, header.Sha256, false, error) : -1;
    }
    if (fd >= 0) {
        HoldForPlayer(fd);
    }
    ReleaseBuildLock(cacheFd, header.Sha256, lock);
    return fd;
}

} // namespace

PlayerFolder ReadyPlayerFolder(int puzzleFd, std::uint64_t offset, const BundleHeader& header) {
    std::string cachePath;
    std::string error;
    const int cacheFd = OpenTavrinCache(cachePath, error);
    if (cacheFd < 0) {
        return {{}, error};
    }
    const int folderFd = ReadyFolder(puzzleFd, offset, header, cacheFd, error);
    if (folderFd >= 0) {
        RemoveOtherBuilds(cacheFd, header.Sha256);
    }
    close(cacheFd);
    return folderFd >= 0 ? PlayerFolder{cachePath + "/" + header.Sha256, {}}
                         : PlayerFolder{{}, error};
}

void DiscardPlayerFolder(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0) {
        unlinkat(fd, UnpackedListName, 0);
        fsync(fd);
        close(fd);
    }
}
