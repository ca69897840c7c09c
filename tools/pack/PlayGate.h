#pragma once

#include "game/ScreenLayout.h"
#include "package/PackageTrailer.h"
#include "puzzle/PuzzleShape.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// Whether every recipient can play a puzzle, decided by the player's own code on the bytes that
// will be packed: its picture decoder, its song check, and its fit and grid on the screens people
// have. Nothing here restates a rule of the player's; it only runs them.

// A screen the gate tries a puzzle on: its whole size in device pixels and the desktop's usual
// scale there (which makes the title bar and menu bar taller).
struct RecipientScreen {
    int Width = 0;
    int Height = 0;
    double Scale = 1.0;
};

// From small netbooks to 8K, smallest first.
std::span<const RecipientScreen> RecipientScreens();

enum class PlayFault {
    PictureNotDecoded, // the player's decoder gives nothing: "Unable to open ..."
    SongNotMidi,       // no "MThd" at the start
    SongNotPlayable,   // the player's song check leaves nothing to play
    TooSmallToCut,     // "Cannot create puzzle because the image is too small."
};

struct PlayProblem {
    PlayFault Fault = PlayFault::PictureNotDecoded;
    // Screens it happens on, smallest first; for the picture and song faults every screen.
    std::vector<RecipientScreen> Screens;
    bool OnEveryScreen = true;
    // For TooSmallToCut: the decoded picture, the shape it is cut with and the puzzle the player
    // lays out on the largest of Screens.
    int PictureWidth = 0;
    int PictureHeight = 0;
    PuzzleShape Shape;
    PuzzleLayout Layout;
};

// The parts of a puzzle as they will be packed; `trailer` gives the picture's kind, the type
// and the zoom. An empty song is none.
struct PuzzleParts {
    std::span<const std::uint8_t> Picture;
    std::span<const std::uint8_t> Song;
    PackageTrailer Trailer;
};

// Every problem the player would have with the puzzle; empty when it plays on every screen.
std::vector<PlayProblem> CheckPlayable(const PuzzleParts& parts);

// The puzzle the player makes of a width x height picture on each screen, with the trailer's
// type and zoom; the screens where it has too few pieces to start make one problem.
std::optional<PlayProblem> TooSmallOnScreens(int width, int height, const PackageTrailer& trailer);

// The song's fault alone, for a song chosen before any picture; nothing when it plays.
std::optional<PlayFault> SongFault(std::span<const std::uint8_t> song);

// True when one of `problems` fails on every screen: no recipient could play the puzzle.
bool FailsForEveryone(const std::vector<PlayProblem>& problems);
