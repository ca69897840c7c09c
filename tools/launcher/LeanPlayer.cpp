#include "LeanPlayer.h"

#include "BundleUnpack.h"
#include "Sha256.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::size_t ReadSize = 1 << 20;

bool WriteAll(int fd, const std::uint8_t* bytes, std::size_t size) {
    while (size > 0) {
        const ssize_t n = write(fd, bytes, size);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        bytes += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// Why the player cannot be written, from errno.
Failure CannotWritePlayer() {
    return Failure{"cannot write the player into the cache: " + std::string(std::strerror(errno))};
}

Result<void> CopyPlayer(int fileFd, std::uint64_t offset, const BundleHeader& header, int out) {
    std::vector<std::uint8_t> buffer(ReadSize);
    Sha256 hash;
    for (std::uint64_t done = 0; done < header.BundleSize;) {
        const auto want =
            static_cast<std::size_t>(std::min<std::uint64_t>(ReadSize, header.BundleSize - done));
        const ssize_t n = pread(fileFd, buffer.data(), want, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return Failure{"the puzzle ends inside its player: it is damaged"};
        }
        hash.Add({buffer.data(), static_cast<std::size_t>(n)});
        if (!WriteAll(out, buffer.data(), static_cast<std::size_t>(n))) {
            return CannotWritePlayer();
        }
        done += static_cast<std::uint64_t>(n);
    }
    if (hash.HexDigest() != header.Sha256) {
        return Failure{"the puzzle's player does not match its checksum: the puzzle is damaged"};
    }
    return fsync(out) == 0 ? Result<void>() : CannotWritePlayer();
}

} // namespace

Result<std::vector<WrittenFile>> FillPlayerFolder(int fileFd, std::uint64_t offset,
                                                  const BundleHeader& header, int folderFd) {
    if (!header.Lean) {
        return UnpackBundle(fileFd, offset, header, folderFd);
    }
    const int out =
        openat(folderFd, "tavrin", O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0700);
    if (out < 0) {
        return CannotWritePlayer();
    }
    Result<void> copied = CopyPlayer(fileFd, offset, header, out);
    if (close(out) != 0 && copied) {
        copied = CannotWritePlayer();
    }
    if (!copied) {
        return copied.Error();
    }
    return std::vector<WrittenFile>{{"tavrin", header.BundleSize}};
}

Failure RunLeanPlayer(const std::string& folder, const std::string& puzzle) {
    setenv("TAVRIN_PUZZLE_FILE", puzzle.c_str(), 1);
    const std::string player = folder + "/tavrin";
    const char* argv[] = {puzzle.c_str(), nullptr};
    execv(player.c_str(), const_cast<char* const*>(argv));
    return Failure{"cannot run " + player + ": " + std::strerror(errno)};
}
