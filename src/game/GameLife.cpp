#include "game/GameLife.h"

namespace {

// Asks for at least `size`, whatever the full size.
LeastSize AtLeast(PictureSize size) {
    return [size](PictureSize) { return size; };
}

bool Covers(const Bitmap& pixels, const PictureFit& fit) {
    return pixels.Width() >= fit.Width && pixels.Height() >= fit.Height;
}

} // namespace

GameLife::GameLife(Board& board, PictureFiles files)
    : Game(board)
    , Files(std::move(files)) {}

bool GameLife::Start(std::string path, StartScreen& screen, std::optional<LoadedPicture> loaded) {
    Game.ClearPieces();
    if (path.empty()) {
        Game.RedrawBoard();
        screen.ShowBoard();
        return false;
    }
    Game.ClearPicture();
    DropPicture();
    if (!loaded) {
        loaded = Load(path);
    }
    // A large picture takes a while: what the user did meanwhile, a close above all, is taken
    // before any notice can show.
    if (!screen.TakePendingEvents()) {
        return false;
    }
    if (loaded) {
        loaded = Fitted(std::move(*loaded), path);
    }
    if (!loaded) {
        Forget();
        screen.Tell(UnableToOpen(path));
        Game.RedrawBoard();
        screen.ShowBoard();
        return false;
    }
    if (Fit.ZoomedOut) {
        screen.Tell(ZoomedOutNotice);
    }
    Bitmap& pixels = loaded->Picture.Pixels;
    DecodedSize = {pixels.Width(), pixels.Height()};
    Game.SetPicture(std::move(pixels), Fit);
    Path = std::move(path);
    FileBytes = std::move(loaded->FileBytes);
    if (KeepsThumbnail) {
        Thumbnail = std::make_shared<const Bitmap>(*Game.Picture());
    }
    const Outcome built = Build(screen);
    if (!built) {
        if (built.Error()) {
            screen.Tell(*built.Error());
        }
        Game.RedrawBoard();
        screen.ShowBoard();
    }
    return built.Ok();
}

// The board follows the build on the screen; a cut that failed leaves no picture to show, one
// too small to cut leaves it for the thumbnail.
Outcome GameLife::Build(StartScreen& screen) {
    const bool clearing = !Game.ShowsOnlyTheBoardColour();
    const Outcome built = Game.Build({[&](int pieceCount) {
                                          if (clearing) {
                                              screen.ShowBoard();
                                          }
                                          return screen.OpenLoading(pieceCount);
                                      },
                                      [&](int made) { screen.Cutting(made); },
                                      [&] {
                                          screen.ShowBoard();
                                          screen.Ready();
                                      }});
    if (!built && built.Error() && Game.PuzzleGrid().CanBuild()) {
        DropPicture();
    }
    return built;
}

// Decoded no larger than this board's fit needs.
std::optional<LoadedPicture> GameLife::Load(const std::string& path) const {
    Result<std::vector<std::uint8_t>> bytes = Files.Read(path);
    if (!bytes) {
        return std::nullopt;
    }
    std::optional<DecodedPicture> picture = Files.Decode(*bytes, path, [this](PictureSize full) {
        const PictureFit fit = Game.FitPicture(full.Width, full.Height);
        return PictureSize{fit.Width, fit.Height};
    });
    if (!picture) {
        return std::nullopt;
    }
    return LoadedPicture{std::move(*bytes), std::move(*picture)};
}

// The fit comes from the full size; a picture decoded for a smaller board than this one is
// decoded again at its fit.
std::optional<LoadedPicture> GameLife::Fitted(LoadedPicture loaded, const std::string& path) {
    const PictureSize full = loaded.Picture.Full;
    Fit = Game.FitPicture(full.Width, full.Height);
    if (Covers(loaded.Picture.Pixels, Fit)) {
        return loaded;
    }
    loaded.Picture.Pixels = Bitmap(); // the old pixels go before the new ones come
    std::optional<DecodedPicture> again =
        Files.Decode(loaded.FileBytes, path, AtLeast({Fit.Width, Fit.Height}));
    if (!again) {
        return std::nullopt;
    }
    loaded.Picture = std::move(*again);
    return loaded;
}

void GameLife::DropPicture() {
    Thumbnail.reset();
    FileBytes.clear();
    FileBytes.shrink_to_fit();
}

void GameLife::Forget() {
    Path.clear();
    DropPicture();
}

void GameLife::KeepThumbnailPicture(bool keep) {
    KeepsThumbnail = keep;
    if (!keep) {
        Thumbnail.reset();
    }
}

std::shared_ptr<const Bitmap> GameLife::ThumbnailPicture() {
    if (!Thumbnail && !FileBytes.empty()) {
        if (const std::optional<DecodedPicture> decoded =
                Files.Decode(FileBytes, Path, AtLeast(DecodedSize))) {
            const Bitmap& pixels = decoded->Pixels;
            Thumbnail = std::make_shared<const Bitmap>(
                pixels.Width() == Fit.Width && pixels.Height() == Fit.Height
                    ? pixels
                    : StretchNearest(pixels, Fit.Width, Fit.Height));
        }
    }
    return Thumbnail;
}
