#include "package/PlayerFolder.h"

#include "package/TempFolder.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int CreateAttempts = 8;

int OpenFolder(int parent, const char* name) {
    return openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

bool TakeLock(int folder) {
    return flock(folder, LOCK_EX | LOCK_NB) == 0;
}

// A folder removed since it was opened has no links left.
bool StillThere(int folder) {
    struct stat info {};
    return fstat(folder, &info) == 0 && info.st_nlink > 0;
}

bool IsOwnOpenFolder(int folder) {
    struct stat info {};
    return fstat(folder, &info) == 0 && IsOwnFolder(info);
}

// Only calls that a signal handler may make: the names are string literals.
void DeletePlayerFiles(int folder) {
    for (const std::string_view name : {TempPictureJpegName, TempPictureBitmapName, TempSongName}) {
        unlinkat(folder, name.data(), 0);
    }
}

// The folder held in this process, for the ways out that skip destructors; the lock and a copy
// of the path for a signal handler, which must not allocate.
PlayerFolder* Held = nullptr;
volatile int HeldLock = -1;
char HeldPath[PATH_MAX];

void RemoveHeldFolderAtExit() {
    if (Held != nullptr) {
        Held->Remove();
    }
}

void RemoveHeldFolderAndDie(int signal) {
    if (HeldLock >= 0) {
        DeletePlayerFiles(HeldLock);
        rmdir(HeldPath);
    }
    raise(signal); // the handler was reset: the signal now ends the process as it would have
}

void Hold(PlayerFolder& folder, int lock) {
    static const bool registered = std::atexit(RemoveHeldFolderAtExit) == 0;
    (void)registered;
    Held = &folder;
    std::strncpy(HeldPath, folder.Path().c_str(), sizeof HeldPath - 1);
    HeldLock = lock;
}

void LetGo(const PlayerFolder& folder) {
    if (Held == &folder) {
        HeldLock = -1;
        Held = nullptr;
    }
}

} // namespace

PlayerFolder::~PlayerFolder() {
    Remove();
}

// A new folder is unlocked for a moment, in which another player's clean-up may take it for an
// ended player's and remove it: then it is made again.
Result<void> PlayerFolder::Create(const std::string& userFolder) {
    if (!Folder.empty()) {
        return {};
    }
    RemoveFoldersOfEndedPlayers(userFolder);
    for (int attempt = 0; attempt < CreateAttempts; ++attempt) {
        std::string path = TempFilePath(userFolder, std::string(PlayerFolderPrefix) + "XXXXXX");
        if (mkdtemp(path.data()) == nullptr) {
            return Failure{"Cannot create the temporary folder \"" + path +
                           "\": " + std::strerror(errno)};
        }
        const int folder = OpenFolder(AT_FDCWD, path.c_str());
        if (folder >= 0 && TakeLock(folder) && StillThere(folder)) {
            Folder = std::move(path);
            Lock = folder;
            Hold(*this, Lock);
            return {};
        }
        if (folder >= 0) {
            close(folder);
        }
    }
    return Failure{"Cannot create a temporary folder in \"" + userFolder + "\""};
}

void PlayerFolder::Remove() {
    if (Folder.empty()) {
        return;
    }
    LetGo(*this);
    DeletePlayerFiles(Lock);
    rmdir(Folder.c_str());
    close(Lock);
    Lock = -1;
    Folder.clear();
}

void PlayerFolder::RemoveOnFatalSignals() {
    struct sigaction action {};
    action.sa_handler = RemoveHeldFolderAndDie;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT}) {
        sigaction(signal, &action, nullptr);
    }
}

void RemoveFoldersOfEndedPlayers(const std::string& userFolder) {
    DIR* parent = opendir(userFolder.c_str());
    if (parent == nullptr) {
        return;
    }
    const std::string_view prefix = PlayerFolderPrefix;
    while (const dirent* entry = readdir(parent)) {
        if (std::string_view(entry->d_name).substr(0, prefix.size()) != prefix) {
            continue;
        }
        const int folder = OpenFolder(dirfd(parent), entry->d_name);
        if (folder < 0) {
            continue;
        }
        // A running player holds its folder's lock for as long as it runs.
        if (IsOwnOpenFolder(folder) && TakeLock(folder)) {
            DeletePlayerFiles(folder);
            unlinkat(dirfd(parent), entry->d_name, AT_REMOVEDIR);
        }
        close(folder);
    }
    closedir(parent);
}
