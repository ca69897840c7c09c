#include "RemoveTree.h"

#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <unistd.h>

bool RemoveTree(int parentFd, const char* name) {
    if (unlinkat(parentFd, name, 0) == 0) {
        return true;
    }
    const int fd = openat(parentFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    DIR* dir = fdopendir(fd);
    if (dir == nullptr) {
        close(fd);
        return false;
    }
    bool ok = true;
    while (const dirent* entry = readdir(dir)) {
        const std::string child = entry->d_name;
        if (child != "." && child != "..") {
            ok = RemoveTree(dirfd(dir), child.c_str()) && ok;
        }
    }
    closedir(dir);
    return unlinkat(parentFd, name, AT_REMOVEDIR) == 0 && ok;
}
