#pragma once

#include <cstdint>
#include <span>

// The CRC-32 of zlib and PNG (reflected polynomial 0xEDB88320): Crc32 of "123456789" is
// 0xCBF43926.
std::uint32_t Crc32(std::span<const std::uint8_t> bytes);
