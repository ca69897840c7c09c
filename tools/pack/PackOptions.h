#pragma once

#include "PackProblem.h"
#include "PictureConversion.h"
#include "package/PackageCredits.h"
#include "package/PackageTrailer.h"
#include "puzzle/PuzzleShape.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

// tavrin-pack's command line.

struct PackOptions {
    // Empty until parsed: then --player, or the default for --lean or the portable kind.
    std::string Player;
    bool Lean = false;
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
    explicit BadArguments(std::string message, std::optional<PackProblem> problem = std::nullopt)
        : Message(std::move(message))
        , Problem(std::move(problem)) {}

    std::string Message;
    // The same as data, for inputs refused (not for the command line's own mistakes).
    std::optional<PackProblem> Problem;
};

// The players the tool copies when --player names none: the portable image (the launcher with
// the bundle of the player and all it loads) and, for --lean, the lean image (the launcher with
// the player alone).
struct DefaultPlayers {
    std::string Portable;
    std::string Lean;
};

// Throws BadArguments for unknown options, missing values and values that would make a puzzle
// fail for every recipient.
PackOptions ParsePackOptions(const std::vector<std::string>& args, const DefaultPlayers& defaults);

// The usage lines and the options explained, as --help prints them.
std::string PackHelpText();

// The start message as the trailer stores it (Windows-1252). Throws BadArguments, naming the
// first character it cannot store or the length, as --message is refused.
std::string EncodeMessage(const std::string& utf8);

// The puzzle types --type takes, in order: those the player has edge strips for.
std::vector<PuzzleShape> CuttableShapes();
