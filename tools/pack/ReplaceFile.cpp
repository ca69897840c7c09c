#include "ReplaceFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A hidden name beside `path`, so that the rename stays within one file system.
std::string TemporaryPattern(const std::string& path) {
    const std::filesystem::path target(path);
    const std::filesystem::path folder = target.parent_path();
    return (folder / ("." + target.filename().string() + ".tavrin-pack-XXXXXX")).string();
}

bool WriteAll(int fd, std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        const ssize_t written = write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            errno = written == 0 ? EIO : errno;
            return false;
        }
        bytes = bytes.subspan(static_cast<std::size_t>(written));
    }
    return true;
}

Failure Cannot(const std::string& what, const std::string& path, int error) {
    return {"cannot " + what + " \"" + path + "\": " + std::strerror(error)};
}

} // namespace

Result<void> ReplaceWithExecutable(const std::string& path,
                                   const std::vector<std::span<const std::uint8_t>>& parts) {
    std::string temporary = TemporaryPattern(path);
    const int fd = mkstemp(temporary.data());
    if (fd < 0) {
        return Cannot("write a file beside", path, errno);
    }
    bool written = true;
    for (const auto& part : parts) {
        written = written && WriteAll(fd, part);
    }
    int error = errno;
    if (written && (fchmod(fd, 0755) != 0 || fsync(fd) != 0)) {
        written = false;
        error = errno;
    }
    if (close(fd) != 0 && written) {
        written = false;
        error = errno;
    }
    if (!written) {
        unlink(temporary.c_str());
        return Cannot("write", path, error);
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        error = errno;
        unlink(temporary.c_str());
        return Cannot("create", path, error);
    }
    return {};
}
