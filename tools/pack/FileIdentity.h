#pragma once

#include <optional>
#include <string>
#include <sys/types.h>

// Which file a path names, through any links: two paths name the same file when their device
// and inode numbers agree, however differently they are written.
struct FileIdentity {
    dev_t Device = 0;
    ino_t Inode = 0;

    bool operator==(const FileIdentity&) const = default;
};

// Empty when nothing (reachable) is there.
std::optional<FileIdentity> IdentityOf(const std::string& path);
