#pragma once

#include "base/Result.h"
#include "game/Board.h"
#include "game/GameTexts.h"
#include "game/PictureFit.h"
#include "game/StartScreen.h"
#include "picture/DecodedPicture.h"
#include "puzzle/Bitmap.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

// A picture file as read, and decoded (at its full size or smaller).
struct LoadedPicture {
    std::vector<std::uint8_t> FileBytes;
    DecodedPicture Picture;
};

// How picture files are read and decoded; the game decides when, and what a failure leaves.
struct PictureFiles {
    // The whole file at `path`, or why it cannot be read.
    std::function<Result<std::vector<std::uint8_t>>(const std::string& path)> Read;
    // The picture in a file's bytes, its kind told by the file's name, with its full size;
    // decoded at the least size wanted or larger (see LeastSize). Nothing when it cannot be
    // decoded or is larger than the player accepts.
    std::function<std::optional<DecodedPicture>(std::span<const std::uint8_t> bytes,
                                                const std::string& path, const LeastSize& least)>
        Decode;
};

// A game's life on its board, from a picture file: loading it, fitting it to the board,
// building the puzzle, what a failure leaves, and the picture the thumbnail shows.
class GameLife {
public:
    // The board must outlive the game life.
    GameLife(Board& board, PictureFiles files);

    // Loads the picture file at `path` (or takes `loaded`, the same file read and decoded
    // already), fits it by its full size, with the zoom-out notice when it must be smaller, and
    // builds a puzzle from it. The picture is decoded no larger than its fit needs; one decoded
    // smaller than that (for a smaller board) is decoded again. Returns whether a puzzle was built.
    // An empty path builds nothing; a picture that cannot be loaded is told, and its path
    // forgotten, so that a new game builds nothing.
    bool Start(std::string path, StartScreen& screen,
               std::optional<LoadedPicture> loaded = std::nullopt);

    // The picture file the last game was cut from; empty after a failed load.
    const std::string& PicturePath() const { return Path; }

    // The picture the thumbnail shows: this puzzle's picture as fitted, before the cut shaded it,
    // also when it proved too small to cut; null while a start has not loaded its picture yet,
    // after a failed load and after a failed cut. Made from the file's bytes as they were read,
    // so that nothing done to the file since changes it.
    std::shared_ptr<const Bitmap> ThumbnailPicture();
    // While a thumbnail is shown each new picture is copied for it before the cut; otherwise
    // no copy is kept, as it is as large as the picture.
    void KeepThumbnailPicture(bool keep);
    // A picture-sized copy is held for the thumbnail now.
    bool HoldsThumbnailCopy() const { return Thumbnail != nullptr; }

private:
    std::optional<LoadedPicture> Load(const std::string& path) const;
    // Sets the fit of a loaded picture; nothing when it had to be decoded again and could not.
    std::optional<LoadedPicture> Fitted(LoadedPicture loaded, const std::string& path);
    Outcome Build(StartScreen& screen);
    // The picture of the last game is gone: nothing for the thumbnail until the next is loaded.
    void DropPicture();
    void Forget();

    Board& Game;
    PictureFiles Files;
    std::string Path;
    // The last picture file as read, the size it was decoded at and the size it was fitted to;
    // empty when none could be loaded or its cut failed. The thumbnail decodes it again at the
    // same size, so that it shows the board's pixels.
    std::vector<std::uint8_t> FileBytes;
    PictureSize DecodedSize;
    PictureFit Fit;
    std::shared_ptr<const Bitmap> Thumbnail;
    bool KeepsThumbnail = false;
};
