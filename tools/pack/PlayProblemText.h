#pragma once

#include "PlayGate.h"

#include <string>
#include <vector>

// A problem of the gate in the tool's words, without its "tavrin-pack: " prefix: what fails,
// for which input, what recipients would see and, for a picture too small, what would help.
// `picturePath` and `songPath` are the files as the author named them.
std::string PlayProblemText(const PlayProblem& problem, const std::string& picturePath,
                            const std::string& songPath);

// "1024 x 600, 1280 x 720 and 1366 x 768", each size joined by `times` (" x ", or " × " for a
// window).
std::string ScreenList(const std::vector<RecipientScreen>& screens,
                       const std::string& times = " x ");
