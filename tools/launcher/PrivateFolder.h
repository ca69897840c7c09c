#pragma once

#include <string>

// Folders of the user's cache that only the user can reach: opened without following a link,
// and refused unless they are directories owned by the user with no access for anyone else.

// Opens (creating it with mode 0700 when `create` and it is missing) the folder `name` in
// `parentFd`. Returns its descriptor, or -1 with the reason in `error`.
int OpenPrivateFolder(int parentFd, const std::string& name, bool create, std::string& error);

// The folder puzzles unpack into: $XDG_CACHE_HOME/tavrin, or ~/.cache/tavrin, made when missing.
// `path` receives its absolute path. Returns its descriptor, or -1 with the reason in `error`.
int OpenTavrinCache(std::string& path, std::string& error);
