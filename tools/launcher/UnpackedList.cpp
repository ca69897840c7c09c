#include "UnpackedList.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char* EndLine = "end";

std::string ReadAll(int fd) {
    std::string text;
    char buffer[65536];
    for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) != 0;) {
        if (n < 0 && errno != EINTR) {
            return {};
        }
        text.append(buffer, n > 0 ? static_cast<std::size_t>(n) : 0);
    }
    return text;
}

// A line "SIZE NAME": true when NAME is a regular file of SIZE bytes.
bool FileMatches(int folderFd, const std::string& line) {
    const std::size_t space = line.find(' ');
    if (space == 0 || space == std::string::npos || line.find_first_not_of("0123456789") != space) {
        return false;
    }
    struct stat info {};
    return fstatat(folderFd, line.c_str() + space + 1, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
           S_ISREG(info.st_mode) && std::to_string(info.st_size) == line.substr(0, space);
}

} // namespace

Result<void> WriteUnpackedList(int folderFd, const std::vector<WrittenFile>& files) {
    std::string text;
    for (const WrittenFile& file : files) {
        text += std::to_string(file.Size) + " " + file.Name + "\n";
    }
    text += std::string(EndLine) + "\n";
    const int fd = openat(folderFd, UnpackedListName,
                          O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    bool written = fd >= 0;
    for (std::size_t done = 0; written && done < text.size();) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        written = n > 0 || (n < 0 && errno == EINTR);
        done += n > 0 ? static_cast<std::size_t>(n) : 0;
    }
    written = written && fsync(fd) == 0;
    if ((fd >= 0 && close(fd) != 0) || !written) {
        return Failure{std::string("cannot write the list of the unpacked player: ") +
                       std::strerror(errno)};
    }
    return {};
}

bool IsWholeFolder(int folderFd) {
    const int fd = openat(folderFd, UnpackedListName, O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const std::string text = ReadAll(fd);
    close(fd);
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        const std::string line = text.substr(start, end - start);
        if (line == EndLine) {
            return end + 1 == text.size();
        }
        if (!FileMatches(folderFd, line)) {
            return false;
        }
    }
    return false;
}
