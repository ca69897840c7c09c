#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// Writes `parts`, one after another, as an executable file at `path`: first under a temporary
// name in the same folder, then renamed over `path` in one step, so that `path` is either the
// old file, untouched, or the whole new one. Returns an empty string, or why it failed (the
// temporary file is then gone).
std::string ReplaceWithExecutable(const std::string& path,
                                  const std::vector<std::span<const std::uint8_t>>& parts);
