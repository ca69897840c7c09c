#pragma once

#include "PictureConversion.h"
#include "package/PackageCredits.h"
#include "package/PackageTrailer.h"

#include <string>
#include <vector>

// tavrin-pack's command line.

struct PackOptions {
    std::string Player;
    std::string Picture;
    std::string Song;
    std::string Output;
    std::string Info;
    bool Help = false;
    bool Version = false;
    PackageTrailer Trailer;
    PictureSettings Picturing;
    PackageCredits Credits;
};

// Arguments the tool cannot work with, or inputs it refuses; the message says why, for the
// user.
struct BadArguments {
    std::string Message;
};

// Throws BadArguments for unknown options, missing values and values that would make a puzzle
// fail for every recipient.
PackOptions ParsePackOptions(const std::vector<std::string>& args,
                             const std::string& defaultPlayer);

// The usage lines and the options explained, as --help prints them.
std::string PackHelpText();
