#include "game/GameLife.h"

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
    if (!loaded) {
        Forget();
        screen.Tell(UnableToOpen(path));
        Game.RedrawBoard();
        screen.ShowBoard();
        return false;
    }
    Fit = Game.FitPicture(loaded->Picture.Width(), loaded->Picture.Height());
    if (Fit.ZoomedOut) {
        screen.Tell(ZoomedOutNotice);
    }
    Game.SetPicture(std::move(loaded->Picture), Fit);
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

std::optional<LoadedPicture> GameLife::Load(const std::string& path) const {
    Result<std::vector<std::uint8_t>> bytes = Files.Read(path);
    if (!bytes) {
        return std::nullopt;
    }
    std::optional<Bitmap> picture = Files.Decode(*bytes, path);
    if (!picture) {
        return std::nullopt;
    }
    return LoadedPicture{std::move(*bytes), std::move(*picture)};
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
        if (const std::optional<Bitmap> decoded = Files.Decode(FileBytes, Path)) {
            Thumbnail = std::make_shared<const Bitmap>(
                decoded->Width() == Fit.Width && decoded->Height() == Fit.Height
                    ? *decoded
                    : StretchNearest(*decoded, Fit.Width, Fit.Height));
        }
    }
    return Thumbnail;
}
