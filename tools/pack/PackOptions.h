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

// The players the tool copies when --player names none: the portable image (the launcher with
// the bundle of the player and all it loads) and, for --lean, the lean image (the launcher with
// the player alone).
struct DefaultPlayers {
    std::string Portable;
    std::string Lean;
};

// Fails for unknown options, missing values and values that would make a puzzle fail for every
// recipient.
Result<PackOptions, BadArguments> ParsePackOptions(const std::vector<std::string>& args,
                                                   const DefaultPlayers& defaults);

// The usage lines and the options explained, as --help prints them.
std::string PackHelpText();

// The start message as the trailer stores it: the Windows-1252 rendering of any UTF-8 text.
// Fails, saying why, for text that is not valid UTF-8, holds control characters other than line
// breaks or is longer than PackageCredits::MaxMessageLength characters.
Result<std::string, BadArguments> EncodeMessage(const std::string& utf8);

// Sets the start message of `o`: the trailer's rendering, and the text itself in the credits
// when that rendering is not exact. Fails as EncodeMessage, leaving `o` as it was.
ArgumentsCheck SetStartMessage(PackOptions& o, const std::string& utf8);

// The puzzle types --type takes, in order: those the player has edge strips for.
std::vector<PuzzleShape> CuttableShapes();
