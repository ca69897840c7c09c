// The start of a portable puzzle: unpacks the bundle that follows this launcher in the puzzle's
// own file into the user's cache (once per player build, named by the bundle's hash), then runs
// the player from there. Statically linked, it runs on any x86-64 Linux.
#include "PlayerCache.h"
#include "PlayerExec.h"
#include "package/PortableImage.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

struct Failure {
    std::string Reason;
};

std::string OwnFile() {
    std::vector<char> path(4096);
    const ssize_t n = readlink("/proc/self/exe", path.data(), path.size() - 1);
    if (n <= 0) {
        throw Failure{"cannot find its own file (is /proc mounted?)"};
    }
    return std::string(path.data(), static_cast<std::size_t>(n));
}

std::vector<std::uint8_t> ReadAt(int fd, std::uint64_t offset, std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    const ssize_t n = pread(fd, bytes.data(), size, static_cast<off_t>(offset));
    bytes.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return bytes;
}

// The bundle header, right after this launcher's ELF file; `offset` receives the bundle's start.
BundleHeader FindBundle(int fd, std::uint64_t& offset) {
    const auto end = ElfFileEnd(ReadAt(fd, 0, 64));
    const auto header =
        end ? BundleHeader::Decode(ReadAt(fd, *end, BundleHeader::Size)) : std::nullopt;
    if (!header) {
        throw Failure{"the puzzle holds no player bundle: it is damaged"};
    }
    offset = *end + BundleHeader::Size;
    return *header;
}

std::string Start() {
    const std::string puzzle = OwnFile();
    const int fd = open(puzzle.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        throw Failure{"cannot read " + puzzle + ": " + std::strerror(errno)};
    }
    std::uint64_t offset = 0;
    const BundleHeader header = FindBundle(fd, offset);
    const PlayerFolder folder = ReadyPlayerFolder(fd, offset, header);
    close(fd);
    if (folder.Path.empty()) {
        throw Failure{folder.Failure};
    }
    std::string error = RunPlayer(folder.Path, puzzle);
    // The loader could not be run: the next start unpacks the folder again.
    DiscardPlayerFolder(folder.Path);
    return error;
}

} // namespace

int main() {
    try {
        std::fprintf(stderr, "tavrin: %s\n", Start().c_str());
    } catch (const Failure& failure) {
        std::fprintf(stderr, "tavrin: %s\n", failure.Reason.c_str());
    }
    return 127;
}
