#pragma once

#include "game/Board.h"
#include "game/GameLife.h"
#include "game/PackageStart.h"
#include "game/StartScreen.h"
#include "puzzle/Random.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

// One game session without a window: the generator, the board, the picture's life with the
// thumbnail's picture, and what the package brought to say. The window shows what it changes
// and what it says; while a game starts a StartScreen stands for the window.
class GameSession {
public:
    explicit GameSession(PictureFiles files);
    GameSession(const GameSession&) = delete;
    GameSession& operator=(const GameSession&) = delete;

    Board& Game() { return Play; }
    const Board& Game() const { return Play; }
    // Every cut, scatter and arrangement draws from one generator.
    void Seed(std::uint32_t seed) { Dice.Seed(seed); }

    // Takes the package's settings and texts, also from one that gives no puzzle; fails with
    // why it gives none.
    Result<void, Message> TakePackage(const StartedPackage& package);
    const PackageCredits& Credits() const { return LoadingLines; }
    // The package's message, shown once after the first puzzle; nothing when it has none.
    std::optional<Message> StartMessage() const { return StartMessageOf(Greeting); }

    // Starts a game on the picture file at `path` (`loaded` is that file read and decoded
    // already, if it was); returns whether a puzzle was built. See GameLife::Start.
    bool Start(std::string path, StartScreen& screen,
               std::optional<LoadedPicture> loaded = std::nullopt) {
        return Life.Start(std::move(path), screen, std::move(loaded));
    }
    // The picture file new games are cut from; empty after a failed load.
    const std::string& PicturePath() const { return Life.PicturePath(); }
    std::shared_ptr<const Bitmap> ThumbnailPicture() { return Life.ThumbnailPicture(); }
    void KeepThumbnailPicture(bool keep) { Life.KeepThumbnailPicture(keep); }
    bool HoldsThumbnailCopy() const { return Life.HoldsThumbnailCopy(); }

private:
    Random Dice;
    Board Play{Dice};
    GameLife Life;
    PackageCredits LoadingLines;
    std::string Greeting;
};
