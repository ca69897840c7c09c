#pragma once

#include "PackOptions.h"

#include <ostream>
#include <string>
#include <vector>

// The authoring tool: a copy of the player with credits (optional), song, picture and trailer
// appended; the picture turned upright or converted as needed. `--help` lists the options.
//   tavrin-pack [--lean] [options] --picture FILE -o OUTPUT
//   tavrin-pack --info FILE
//   tavrin-pack --help | --version
// Returns the exit status: 0 done (or help and version printed), 1 the output could not be written
// or the package is damaged, 2 bad arguments.
int RunPack(const std::vector<std::string>& args, const DefaultPlayers& defaults, std::ostream& out,
            std::ostream& err);
