#pragma once

#include "base/Result.h"

#include <string>

// A folder of this running player's own inside the user's private temporary folder, holding its
// temporary files: two players open at once never write, read or delete each other's files.
// While the player runs it holds a lock on the folder; a folder whose lock nobody holds belongs
// to a player that no longer runs, and the next player to start removes it.
class PlayerFolder {
public:
    // An object that holds no folder yet.
    PlayerFolder() = default;
    // Removes the folder and the files in it.
    ~PlayerFolder();
    PlayerFolder(const PlayerFolder&) = delete;
    PlayerFolder& operator=(const PlayerFolder&) = delete;

    // Makes the folder inside `userFolder` (mode 0700) and removes the folders of players that
    // no longer run. The failure is told in the platform's words. Does nothing when a folder is
    // held already.
    [[nodiscard]] Result<void> Create(const std::string& userFolder);

    // Empty until Create succeeded, and again after Remove.
    const std::string& Path() const { return Folder; }

    // Deletes the player's temporary files and the folder, and lets go of the lock. Only the
    // names the player writes are deleted: a folder holding anything else is left. A process
    // that ends through exit() does it too.
    void Remove();

    // From now on a crash (SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT) deletes the files of the
    // folder held then before the process ends. For the player's process only.
    static void RemoveOnFatalSignals();

private:
    std::string Folder;
    int Lock = -1;
};

// The name every player's folder starts with.
inline constexpr const char* PlayerFolderPrefix = "tavrin-player-";

// Removes the folders in `userFolder` of players that no longer run; the running ones' stay.
void RemoveFoldersOfEndedPlayers(const std::string& userFolder);
