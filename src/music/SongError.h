#pragma once

#include <stdexcept>

// A song that cannot be played: the message says why, in words the player shows as they are.
struct SongError : std::runtime_error {
    using std::runtime_error::runtime_error;
};
