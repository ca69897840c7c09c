#pragma once

#include <string>

// Watching a start past the exec: the launcher becomes the player (keeping its process id), so
// a failure after that point is seen by a watcher, a process of its own, through a pipe whose
// write end the player inherits (its number in TAVRIN_START_FD). The player writes 'S' once it
// can show its own message boxes, or 'F' and the reason it cannot show any window. When the pipe
// ends with neither, the loader or the player died early: the watcher checks the loading; a
// portable player's cache folder that the loader fails to start from is removed and the puzzle
// started once again, a lean player's missing libraries are named with their packages.

struct WatchedStart {
    std::string Puzzle;
    // The cache folder and the player's folder in it.
    std::string CachePath;
    std::string Folder;
    bool Lean = false;
    // This start followed the removal of a damaged cache folder: no other removal follows.
    bool Again = false;
};

// Whether this start follows the removal of a damaged cache folder; forgets it, so that the
// player's children do not inherit it.
bool TakeStartAgain();

// Starts the watcher (detached: the launcher keeps no child) and leaves the pipe's write end
// open for the player. Returns that descriptor, or -1 when no watcher could start.
int StartWatcher(const WatchedStart& start);

// After a failed exec: the launcher reports the failure itself, so the watcher ends silently.
void DismissWatcher(int fd);

// The failure of an exec of the player, for the launcher to report: a portable player's folder
// is removed and the puzzle started once again, without returning; a lean player's missing
// libraries are named.
// `execErrno` is the exec's error number.
std::string ExecFailure(const WatchedStart& start, const std::string& error, int execErrno);
