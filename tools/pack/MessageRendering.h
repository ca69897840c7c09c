#pragma once

#include <string>

// What a player that reads only the trailer shows of a start message: its Windows-1252
// rendering, one byte for each character at most. A character the code page lacks becomes its
// base letter when Unicode decomposes it into one the code page has ("ő" gives "o"), is left
// out when it only marks or joins others (accents, variation selectors, joiners), and is "?"
// otherwise. `utf8` is valid UTF-8.
std::string Windows1252Rendering(const std::string& utf8);
