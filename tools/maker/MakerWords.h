#pragma once

#include "PackProblem.h"

#include <string>

// A problem of the packing library in the maker's words, for people who never open a terminal:
// what is wrong and what to do, in terms of the window and of any photo app; never an option
// name or a command.
std::string MakerWords(const PackProblem& problem);
