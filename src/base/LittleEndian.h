#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

// Numbers stored least significant byte first, as every file format here keeps them. The caller
// checks that the bytes lie inside the span.

// The `width` bytes (at most 8) from `at`.
inline std::uint64_t LittleEndianAt(std::span<const std::uint8_t> bytes, std::size_t at,
                                    std::size_t width) {
    std::uint64_t value = 0;
    for (std::size_t i = width; i-- > 0;) {
        value = value << 8 | bytes[at + i];
    }
    return value;
}

inline std::uint32_t LittleEndian32At(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint32_t>(LittleEndianAt(bytes, at, 4));
}

inline std::uint16_t LittleEndian16At(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint16_t>(LittleEndianAt(bytes, at, 2));
}

// Writes the `width` low bytes of `value` from `at`.
inline void PutLittleEndian(std::span<std::uint8_t> out, std::size_t at, std::uint32_t value,
                            std::size_t width = 4) {
    for (std::size_t i = 0; i < width; ++i) {
        out[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}
