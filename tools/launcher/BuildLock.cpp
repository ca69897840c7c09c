#include "BuildLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string LockName(const std::string& hash) {
    return hash + ".lock";
}

// True when `fd` is still the file named `name`: not removed or replaced since it was opened.
bool StillNamed(int cacheFd, const std::string& name, int fd) {
    struct stat held {};
    struct stat named {};
    return fstat(fd, &held) == 0 &&
           fstatat(cacheFd, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
           held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

} // namespace

int TakeBuildLock(int cacheFd, const std::string& hash, bool wait) {
    const std::string name = LockName(hash);
    for (;;) {
        const int fd =
            openat(cacheFd, name.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0) {
            return -1;
        }
        if (flock(fd, wait ? LOCK_EX : LOCK_EX | LOCK_NB) != 0) {
            close(fd);
            return -1;
        }
        if (StillNamed(cacheFd, name, fd)) {
            return fd;
        }
        close(fd);
    }
}

void ReleaseBuildLock(int cacheFd, const std::string& hash, int lockFd) {
    unlinkat(cacheFd, LockName(hash).c_str(), 0);
    close(lockFd);
}
