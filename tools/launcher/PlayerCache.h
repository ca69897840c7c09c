#pragma once

#include "base/Result.h"
#include "package/PortableImage.h"

#include <cstdint>
#include <string>

// The player folders in the user's cache (PrivateFolder.h): one per player build, named by its
// bundle's SHA-256, unpacked once and shared by every puzzle of that build. A folder counts as
// whole only with its list of files written last (UnpackedList.h); each start checks the files
// and sizes listed, and unpacks a damaged or unfinished folder again, so the cache mends itself.

// The path of the whole player folder of the bundle at `offset` in the puzzle `puzzleFd`, unpacked
// when missing or damaged. It leaves a shared lock on the folder held by a descriptor that stays
// open across exec, so that the folder is not removed as unused while the player runs; and it
// removes other builds' leftovers (RemoveOtherBuilds).
Result<std::string> ReadyPlayerFolder(int puzzleFd, std::uint64_t offset,
                                      const BundleHeader& header);

// Marks the folder `path` (as ReadyPlayerFolder returned it) as damaged, so that the next start
// unpacks it again: for a player that fails to start from it. Players running from it go on.
void DiscardPlayerFolder(const std::string& path);
