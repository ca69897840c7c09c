#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The bytes of the file at `path`, or nothing when it cannot be opened or read (a folder, a
// vanished file, an I/O error). Pipes are read to their end, so `<(command)` works as a path.
std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path);
