#pragma once

#include "PlayGate.h"

#include <string>

// A problem of the gate in the tool's words, without its "tavrin-pack: " prefix: what fails,
// for which input, what recipients would see and, for a picture too small, what would help.
// `picturePath` and `songPath` are the files as the author named them.
std::string PlayProblemText(const PlayProblem& problem, const std::string& picturePath,
                            const std::string& songPath);
