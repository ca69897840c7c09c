#pragma once

#include <ostream>
#include <string>
#include <vector>

// The authoring tool: a copy of the player with song, picture and trailer appended.
//   tavrin-pack [--player FILE] --picture FILE [--song FILE] [--type N] [--arrange N]
//               [--zoom N] [--color 0xBBGGRR] [--message TEXT] -o OUTPUT
//   tavrin-pack --info FILE
// Returns the exit status: 0 done, 1 the output could not be written or the package is
// damaged, 2 bad arguments.
int RunPack(const std::vector<std::string>& args, const std::string& defaultPlayer,
            std::ostream& out, std::ostream& err);
