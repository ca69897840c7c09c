#pragma once

#include "base/Result.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// Writes `parts`, one after another, as an executable file at `path`: first under a temporary
// name in the same folder, then renamed over `path` in one step, so that `path` is either the
// old file, untouched, or the whole new one. On a failure the temporary file is gone.
[[nodiscard]] Result<void>
ReplaceWithExecutable(const std::string& path,
                      const std::vector<std::span<const std::uint8_t>>& parts);
