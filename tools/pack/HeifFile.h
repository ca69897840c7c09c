#pragma once

#include <cstdint>
#include <span>

// Whether the bytes are a HEIF file (HEIC, the default of many phones, among them): an ISO base
// media "ftyp" box first, naming a HEIF brand.
bool IsHeifFile(std::span<const std::uint8_t> file);
