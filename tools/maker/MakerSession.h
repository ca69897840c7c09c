#pragma once

#include "PackOptions.h"
#include "PackProblem.h"
#include "game/ScreenLayout.h"

#include <optional>
#include <string>
#include <vector>

// What the Puzzle Maker's window holds, without the window: the author's choices, the player's
// gate run on them, the piece count on the chosen screen and what Save will write. The form
// only shows it and passes the author's clicks on.

// The parts of the window a problem is shown beside.
enum class MakerField { Photo, Song, Message, Credits };

struct FieldProblem {
    MakerField Field = MakerField::Photo;
    PackProblem Problem;
    // False for a warning: the puzzle can still be made (it fails on some screens only).
    bool Blocks = true;
};

// A screen the piece count is shown for, as its owner sees it.
struct MakerScreen {
    std::string Name; // "2560 × 1600, scale 2"; the author's own first, when known
    ScreenView View;
};

struct MakerChoices {
    std::string Photo;
    // The upright photo's size as the puzzle carries it; 0 while none is chosen or decoded.
    int PhotoWidth = 0;
    int PhotoHeight = 0;
    std::optional<PackProblem> PhotoRefused;
    std::string Song; // empty: none
    std::optional<PackProblem> SongRefused;
    int Type = 1;
    int Arrange = 2;
    TColor BoardColor = 0x808000; // 0x00BBGGRR: teal
    std::string Message;          // UTF-8, any text
    PackageCredits Credits;
    bool Lean = false;
};

class MakerSession {
public:
    explicit MakerSession(DefaultPlayers players);

    MakerChoices Choices;
    // The screens offered, the chosen one at Screen (an index into Screens).
    std::vector<MakerScreen> Screens;
    std::size_t Screen = 0;

    // The song at `path` is checked at once, as the player would check it; an empty path
    // removes the song.
    void ChooseSong(const std::string& path);

    // Every problem the puzzle would have, by the field it concerns; none when it plays
    // everywhere.
    std::vector<FieldProblem> Problems() const;
    // The first problem of `field`, blocking ones first; nothing when it has none.
    std::optional<FieldProblem> ProblemOf(MakerField field) const;
    // Whether Try and Save can write a puzzle: a photo, and no problem that fails for everyone.
    bool CanWrite() const;

    // The puzzle the player makes of the photo on the chosen screen (no pieces without a photo).
    PuzzleLayout Layout() const;
    const MakerScreen* ChosenScreen() const;

    // The choices as tavrin-pack takes them, writing `output`: what Save will write. Fails for a
    // start message the library cannot store (CanWrite is false then).
    Result<PackOptions, BadArguments> WriteOptions(const std::string& output) const;

    // The screens the piece count is offered for besides the author's own.
    static std::vector<MakerScreen> CommonScreens();
    // "2560 × 1600, scale 2".
    static std::string ScreenName(int width, int height, double scale);

private:
    DefaultPlayers Players;
};
