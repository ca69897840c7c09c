#pragma once

#include <string>

// What the cache folder holds besides the player folders in use: a player build is a folder named
// by its bundle's SHA-256 (64 hex digits), unpacked beside it as <hash>.part-* and locked with
// <hash>.lock (BuildLock.h) meanwhile. All of these are removed only under the build's lock.

// A fresh name for unpacking the build `hash`, or for a folder on its way out.
std::string UnfinishedName(const std::string& hash);

// Removes the build's unfinished folders, left by starts that were cut short. Call it holding
// the build's lock.
void RemoveUnfinished(int cacheFd, const std::string& hash);

// Takes the build's folder out of the way at once (renamed to an unfinished name), then removes
// it. Call it holding the build's lock.
void DiscardBuild(int cacheFd, const std::string& hash);

// For every other build that no start is unpacking: removes its unfinished folders and lock
// file, and its folder when it was last started 30 days ago or more and no player runs from it
// (a running player holds a shared lock on its folder).
void RemoveOtherBuilds(int cacheFd, const std::string& ownHash);
