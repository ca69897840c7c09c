#pragma once

#include "TarWriter.h"

#include <string>
#include <vector>

// The list of an unpacked player folder: every file with its size, then "end". It is written
// last, once all else is on the disk, so a folder without it, or with a file of another size
// (emptied or cut short by a crash during the first unpack), is not whole.

inline constexpr const char* UnpackedListName = "unpacked.list";

// Writes the list of `files` into the folder `folderFd` and waits until it is on the disk.
Result<void> WriteUnpackedList(int folderFd, const std::vector<WrittenFile>& files);

// True when the folder holds its list, complete, and every file listed with its size.
bool IsWholeFolder(int folderFd);
