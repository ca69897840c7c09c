#include "package/TempFolder.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

Failure Describe(const std::string& what, const std::string& path, int error) {
    return {what + " \"" + path + "\": " + std::strerror(error)};
}

bool IsOwnRealFolder(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0 && IsOwnFolder(info);
}

bool IsUsableRuntimeFolder(const char* path) {
    return path != nullptr && path[0] == '/' && IsOwnRealFolder(path) &&
           access(path, W_OK | X_OK) == 0;
}

std::string SharedTempRoot() {
    const char* tmpdir = std::getenv("TMPDIR");
    return tmpdir != nullptr && tmpdir[0] == '/' ? tmpdir : "/tmp";
}

} // namespace

Result<std::string> UserTempFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (IsUsableRuntimeFolder(runtime)) {
        return std::string(runtime);
    }
    const std::string folder = TempFilePath(SharedTempRoot(), "tavrin-" + std::to_string(getuid()));
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        return Describe("Cannot create the temporary folder", folder, errno);
    }
    struct stat info {};
    if (lstat(folder.c_str(), &info) != 0) {
        return Describe("Cannot use the temporary folder", folder, errno);
    }
    if (!IsOwnFolder(info)) {
        return Failure{"The temporary folder \"" + folder + "\" is not a folder of this user's."};
    }
    if ((info.st_mode & 077) != 0 && chmod(folder.c_str(), 0700) != 0) {
        return Describe("Cannot make the temporary folder private", folder, errno);
    }
    return folder;
}

bool IsOwnFolder(const struct stat& info) {
    return S_ISDIR(info.st_mode) && info.st_uid == getuid();
}

std::string TempFilePath(std::string_view folder, std::string_view name) {
    std::string path(folder);
    if (path.empty() || path.back() != '/') {
        path += '/';
    }
    path += name;
    return path;
}

Result<void> WritePrivateFile(const std::string& path, std::span<const std::uint8_t> bytes) {
    const int fd = open(path.c_str(),
                        O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0600);
    if (fd < 0) {
        return Describe("Cannot create file", path, errno);
    }
    struct stat info {};
    Result<void> written;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        written = Failure{"Cannot create file \"" + path + "\": it is not a regular file"};
    } else if ((info.st_mode & 0777) != 0600 && fchmod(fd, 0600) != 0) {
        written = Describe("Cannot make the file private", path, errno);
    }
    for (std::size_t done = 0; written && done < bytes.size();) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            written = Describe("Cannot write file", path, n < 0 ? errno : EIO);
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    if (close(fd) != 0 && written) {
        written = Describe("Cannot write file", path, errno);
    }
    return written;
}
