#pragma once

#include "base/Result.h"

#include <string>

// Folders of the user's cache that only the user can reach: refused unless they are directories
// owned by the user; one that others may open (after a `chmod -R a+rX` of the home, say) is made
// private again with mode 0700.

// Opens (creating it with mode 0700 when `create` and it is missing) the folder `name` in
// `parentFd`, without following a link. Returns its descriptor.
Result<int> OpenPrivateFolder(int parentFd, const std::string& name, bool create);

// The folder puzzles unpack into: $XDG_CACHE_HOME/tavrin, or ~/.cache/tavrin (the home from HOME,
// else from the user database), made when missing. A link there is followed when it is the
// user's own. Where that file system does not let programs run (mounted noexec), the first of
// $XDG_RUNTIME_DIR/tavrin-cache, /var/tmp/tavrin-UID and /tmp/tavrin-UID that does. `path`
// receives the folder's absolute path. Returns its descriptor.
Result<int> OpenTavrinCache(std::string& path);
