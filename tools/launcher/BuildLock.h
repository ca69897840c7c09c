#pragma once

#include <string>

// Unpacking a player build, and removing it, happen under an exclusive lock on <hash>.lock in
// the cache folder. Its holder removes the file when done, so no lock file outlives a start; a
// waiter that then gets a lock on the removed file notices and locks the new one instead.

// Locks the build `hash` in the folder `cacheFd`, waiting for another holder when `wait`.
// Returns the lock's descriptor, or -1 when it cannot be had (at once, when not `wait`).
int TakeBuildLock(int cacheFd, const std::string& hash, bool wait);

// Removes the lock file and lets the lock go.
void ReleaseBuildLock(int cacheFd, const std::string& hash, int lockFd);
