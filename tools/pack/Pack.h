#pragma once

#include "PackOptions.h"
#include "PlayGate.h"

#include <optional>
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
//
// Packing is WritePuzzle below; RunPack parses the command line, prints what it says and turns
// it into the exit status.
int RunPack(const std::vector<std::string>& args, const DefaultPlayers& defaults, std::ostream& out,
            std::ostream& err);

// What writing one puzzle found and did. The messages are the tool's own, without its
// "tavrin-pack: " prefix, so that the maker shows the same words.
struct PackReport {
    // What was done to the picture ("picture turned upright ..."), for the author.
    std::vector<std::string> Notes;
    // Credit lines the loading window cuts, with the part it shows, and screens on which the
    // puzzle cannot be played.
    std::vector<std::string> Warnings;
    // What the player's own code found wrong with the puzzle as it would be packed (the words
    // are in Warnings, or in the stop); empty when it was not checked or plays everywhere.
    std::vector<PlayProblem> Problems;
    // The notes and warnings as data.
    std::vector<PackProblem> Remarks;
};

// Why no puzzle was written.
struct PackStop {
    // True when the choices make no puzzle (the tool's exit status 2); false when the puzzle
    // could not be written (exit status 1).
    bool Refused = false;
    std::string What;
    // The same as data, when it concerns an input (or memory).
    std::optional<PackProblem> Problem;
    // What was found before the stop.
    PackReport Report;
};

using PackResult = Result<PackReport, PackStop>;

// Writes the puzzle `choices.Output` from the player, picture, song, settings and credits of
// `choices` (Info, Help and Version are ignored). The output is replaced only when all went
// well. Both tavrin-pack and tavrin-maker write every puzzle through this function. The parts as
// they would be packed go through CheckPlayable first: what fails for every recipient is a
// refusal, what fails on some screens a warning naming them.
PackResult WritePuzzle(const PackOptions& choices);

// Fails with why the song file cannot go into a puzzle: the tool's words and the data.
ArgumentsCheck CheckSongFile(const std::string& path);

// Fails with why the picture file cannot go into a puzzle: the tool's words and the data. It is
// converted as WritePuzzle would, so a large picture takes as long.
ArgumentsCheck CheckPictureFile(const std::string& path, const PictureSettings& settings);
