#pragma once

#include "base/Result.h"
#include "game/Board.h"
#include "game/Message.h"
#include "game/PictureFit.h"
#include "puzzle/Bitmap.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

// A picture file as read, and decoded.
struct LoadedPicture {
    std::vector<std::uint8_t> FileBytes;
    Bitmap Picture;
};

// How picture files are read and decoded; the game decides when, and what a failure leaves.
struct PictureFiles {
    // The whole file at `path`, or why it cannot be read.
    std::function<Result<std::vector<std::uint8_t>>(const std::string& path)> Read;
    // The picture in a file's bytes, its kind told by the file's name; nothing when it cannot be
    // decoded or is larger than the player accepts.
    std::function<std::optional<Bitmap>(std::span<const std::uint8_t> bytes,
                                        const std::string& path)>
        Decode;
};

// What starting a game asks of the window it is shown in.
struct StartHooks {
    // Lets what came meanwhile be handled; false when the game is to stop quietly (the window
    // went away).
    std::function<bool()> TakePendingEvents;
    // Shows a message and returns once the user has seen it.
    std::function<void(const Message&)> Tell;
    // The board without a puzzle is to be shown.
    std::function<void()> ShowEmptyBoard;
    BuildSteps Build;
};

// A game's life on its board, from a picture file: loading it, fitting it to the board,
// building the puzzle, what a failure leaves, and the picture the thumbnail shows.
class GameLife {
public:
    // The board must outlive the game life.
    GameLife(Board& board, PictureFiles files);

    // Loads the picture file at `path` (or takes `loaded`, the same file read and decoded
    // already), fits it, with the zoom-out notice when it must be smaller, and builds a puzzle
    // from it. Returns whether a puzzle was built. An empty path builds nothing; a picture that
    // cannot be loaded is told, and its path forgotten, so that a new game builds nothing.
    bool Start(std::string path, const StartHooks& hooks,
               std::optional<LoadedPicture> loaded = std::nullopt);

    // The picture file the last game was cut from; empty after a failed load.
    const std::string& PicturePath() const { return Path; }

    // This puzzle's picture as fitted, before the cut shaded it, also when it proved too small
    // to cut; null when no picture was loaded. Made from the file's bytes as they were read, so
    // that nothing done to the file since changes it.
    std::shared_ptr<const Bitmap> ThumbnailPicture();

    inline static const Message Congratulations{"Congratulations. You've solved the puzzle.",
                                                MessageIcon::Information};

private:
    std::optional<LoadedPicture> Load(const std::string& path) const;
    void Forget();

    Board& Game;
    PictureFiles Files;
    std::string Path;
    // The last picture file as read; empty when none could be loaded.
    std::vector<std::uint8_t> FileBytes;
};
