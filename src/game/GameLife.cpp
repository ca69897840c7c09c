#include "game/GameLife.h"

GameLife::GameLife(Board& board, PictureFiles files)
    : Game(board)
    , Files(std::move(files)) {}

bool GameLife::Start(std::string path, const StartHooks& hooks,
                     std::optional<LoadedPicture> loaded) {
    Game.ClearPieces();
    if (path.empty()) {
        hooks.ShowEmptyBoard();
        return false;
    }
    Game.ClearPicture();
    if (!loaded) {
        loaded = Load(path);
    }
    // A large picture takes a while: what the user did meanwhile, a close above all, is taken
    // before any notice can show.
    if (!hooks.TakePendingEvents()) {
        return false;
    }
    if (!loaded) {
        Forget();
        hooks.Tell(Message{"Unable to open " + path + ".", MessageIcon::Stop});
        hooks.ShowEmptyBoard();
        return false;
    }
    const PictureFit fit = Game.FitPicture(loaded->Picture.Width(), loaded->Picture.Height());
    if (fit.ZoomedOut) {
        hooks.Tell(ZoomedOutNotice);
    }
    Game.SetPicture(std::move(loaded->Picture), fit);
    Path = std::move(path);
    FileBytes = std::move(loaded->FileBytes);
    const Outcome built = Game.Build(hooks.Build);
    if (!built.Done) {
        if (built.Tell) {
            hooks.Tell(*built.Tell);
        }
        hooks.ShowEmptyBoard();
    }
    return built.Done;
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

void GameLife::Forget() {
    Path.clear();
    FileBytes.clear();
    FileBytes.shrink_to_fit();
}

std::shared_ptr<const Bitmap> GameLife::ThumbnailPicture() {
    if (!Game.ThumbnailPicture() && !FileBytes.empty()) {
        if (const std::optional<Bitmap> decoded = Files.Decode(FileBytes, Path)) {
            Game.SetThumbnailPicture(*decoded);
        }
    }
    return Game.ThumbnailPicture();
}
