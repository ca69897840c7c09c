#pragma once

#include "TarWriter.h"
#include "package/PortableImage.h"

#include <cstdint>
#include <string>
#include <vector>

// Fills the empty folder `folderFd` with what follows the header at `offset` in `fileFd`: the
// bundle unpacked (a portable image), or the player copied as the file "tavrin" (a lean image).
// Either must have the header's size and SHA-256. Returns the files written, with their sizes.
Result<std::vector<WrittenFile>> FillPlayerFolder(int fileFd, std::uint64_t offset,
                                                  const BundleHeader& header, int folderFd);

// Runs the lean player `folder`/tavrin on the machine's own libraries through the system's
// loader, its puzzle in TAVRIN_PUZZLE_FILE. Returns only when it cannot be run, with the reason.
Failure RunLeanPlayer(const std::string& folder, const std::string& puzzle);
