#pragma once

#include "PackOptions.h"

#include <ostream>
#include <string>

// `tavrin-pack --info FILE`: a puzzle's settings, layout, credits and the metadata its picture
// still carries, as "name: value" lines. A file that holds no puzzle gets one line saying so on
// `err` and nothing on `out`. Returns the exit status: 0, or 1 for no puzzle; fails when the file
// cannot be read.
Result<int, BadArguments> PrintPackageInfo(const std::string& path, std::ostream& out,
                                           std::ostream& err);
