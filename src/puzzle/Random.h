#pragma once

#include <cstdint>

// The pseudo-random generator every puzzle draws from: a 64-bit linear congruential generator
// (multiplier 0x15A00004E35, increment 1) that returns bits 32..62 of its state. The exact
// sequence matters: a seed reproduces a puzzle's shapes, scatter and arrangement.
class Random {
public:
    static constexpr std::uint64_t Multiplier = 0x15A00004E35ull;
    static constexpr std::int32_t Max = 0x7FFFFFFF;

    explicit Random(std::uint32_t seed = 0) { Seed(seed); }

    // The state becomes the seed, its upper half zero.
    void Seed(std::uint32_t seed) { State = seed; }

    // The next draw, 0 <= result <= Max.
    std::int32_t Next();

private:
    std::uint64_t State;
};
