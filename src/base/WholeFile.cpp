#include "base/WholeFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

Failure CannotRead(const std::string& path, int error) {
    return {"Cannot read \"" + path + "\": " + std::strerror(error)};
}

// Closes the descriptor on every way out.
struct OpenFile {
    int Fd;
    ~OpenFile() {
        if (Fd >= 0) {
            close(Fd);
        }
    }
};

} // namespace

// Plain reads rather than a stream: libstdc++'s file streams throw from a failed read (a folder
// given as a file) whatever their exception mask says.
Result<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path, std::uint64_t limit) {
    const OpenFile file{open(path.c_str(), O_RDONLY | O_CLOEXEC)};
    if (file.Fd < 0) {
        return CannotRead(path, errno);
    }
    std::vector<std::uint8_t> bytes;
    struct stat info {};
    if (fstat(file.Fd, &info) == 0 && S_ISREG(info.st_mode)) {
        if (static_cast<std::uint64_t>(info.st_size) > limit) {
            return CannotRead(path, EFBIG);
        }
        bytes.reserve(static_cast<std::size_t>(info.st_size));
    }
    std::uint8_t chunk[1 << 16];
    for (;;) {
        const ssize_t n = read(file.Fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return CannotRead(path, errno);
        }
        if (n == 0) {
            return bytes;
        }
        if (bytes.size() + static_cast<std::size_t>(n) > limit) {
            return CannotRead(path, EFBIG);
        }
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
}
