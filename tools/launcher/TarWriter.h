#pragma once

#include "base/Result.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

struct WrittenFile {
    std::string Name; // relative to the folder
    std::uint64_t Size = 0;
};

// Writes a ustar archive, fed in pieces of any size, into a folder: folders and regular files
// only, each file with mode 0700 when its owner may run it, else 0600.
class TarWriter {
public:
    explicit TarWriter(int folderFd)
        : FolderFd(folderFd) {}
    ~TarWriter();
    TarWriter(const TarWriter&) = delete;
    TarWriter& operator=(const TarWriter&) = delete;

    // Fails with what is wrong with the archive or why it cannot be written.
    Result<void> Add(std::span<const std::uint8_t> bytes);
    // True once the archive's end (a zero block) was read.
    bool Ended() const { return End; }
    // The regular files written so far, in the archive's order.
    const std::vector<WrittenFile>& Files() const { return Written; }

private:
    Result<void> Header();
    Result<void> Body(std::span<const std::uint8_t>& bytes);
    Result<void> CloseFile();

    int FolderFd;
    std::uint8_t Block[512]{};
    std::size_t BlockFill = 0;
    int FileFd = -1;
    std::uint64_t FileLeft = 0;
    std::uint64_t PaddingLeft = 0;
    bool End = false;
    std::vector<WrittenFile> Written;
};
