#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

// SHA-256 (FIPS 180-4), fed in pieces: the launcher checks the bundle as it reads it.
class Sha256 {
public:
    Sha256();
    void Add(std::span<const std::uint8_t> bytes);
    // The digest as 64 lower-case hex digits; the object is spent afterwards.
    std::string HexDigest();

private:
    void Compress(const std::uint8_t* block);

    std::array<std::uint32_t, 8> State;
    std::array<std::uint8_t, 64> Pending{};
    std::size_t PendingSize = 0;
    std::uint64_t TotalBytes = 0;
};
