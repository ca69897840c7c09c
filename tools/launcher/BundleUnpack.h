#pragma once

#include "TarWriter.h"
#include "package/PortableImage.h"

#include <cstdint>
#include <vector>

// Unpacks the bundle that lies at `offset` in the file `fileFd` into the empty folder `folderFd`:
// a zstd stream of a ustar archive holding folders and regular files only. The compressed bytes
// must have the header's size and SHA-256. Names that climb out of the folder (absolute, or with
// a ".." part) are refused, and no file is written through a link. Returns the files written,
// with their sizes.
Result<std::vector<WrittenFile>> UnpackBundle(int fileFd, std::uint64_t offset,
                                              const BundleHeader& header, int folderFd);
