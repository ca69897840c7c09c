#pragma once

#include "base/Result.h"

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

// The one reader of whole files for the player and the tools.

inline constexpr std::uint64_t NoFileSizeLimit = std::numeric_limits<std::uint64_t>::max();

// The bytes of the file at `path`, or why they cannot be read ("Cannot read "PATH": Is a
// directory"), a file longer than `limit` bytes included. Pipes are read to their end, so
// `<(command)` works as a path.
Result<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path,
                                                std::uint64_t limit = NoFileSizeLimit);
