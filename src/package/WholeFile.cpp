#include "package/WholeFile.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

// Plain reads rather than a stream: libstdc++'s file streams throw from a failed read (a folder
// given as a file) whatever their exception mask says.
std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes;
    std::uint8_t chunk[1 << 16];
    for (;;) {
        const ssize_t n = read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            close(fd);
            return std::nullopt;
        }
        if (n == 0) {
            break;
        }
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
    close(fd);
    return bytes;
}
