#include "puzzle/Random.h"

std::int32_t Random::Next() {
    State = State * Multiplier + 1;
    return static_cast<std::int32_t>((State >> 32) & 0x7FFFFFFFu);
}
