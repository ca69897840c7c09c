// Reading the package appended to the player and applying its settings.
#include "main/Main.h"
#include "main/StartupReadAhead.h"
#include "music/MediaPlayer.h"
#include "package/PackageReader.h"
#include "package/TempFolder.h"
#include "package/Windows1252.h"

namespace {

// The payloads go to this player's own folder, made on the first write.
ExtractedPackage WriteToOwnFolder(const PackagePayloads& read, PlayerFolder& folder) {
    if (!read.PictureRead()) {
        return WritePayloads(read, {});
    }
    const Result<std::string> userFolder = UserTempFolder();
    Result<void> made = userFolder ? folder.Create(*userFolder) : userFolder.Error();
    if (!made) {
        return {read.Trailer, read.Credits, {}, {}, made};
    }
    return WritePayloads(read, folder.Path());
}

} // namespace

PackageContents TFormMain::ReadPackage() {
    PackagePayloads read = ReadAhead ? ReadAhead->TakePackage() : ReadPackageFile(ExecutablePath);
    const ExtractedPackage package = WriteToOwnFolder(read, TempFiles);
    if (package.Trailer) {
        ApplyTrailer(*package.Trailer, package.SongPath);
    }
    Credits = package.Credits.value_or(PackageCredits{});
    // The credits carry the message as written when the trailer holds only a rendering of it.
    if (!Credits.StartMessage.empty()) {
        StartMessage = QString::fromStdString(Credits.StartMessage);
    }
    if (!package.Ok()) {
        return {{}, false, Message{package.Status.Error().What, MessageIcon::Stop}, {}};
    }
    return {QString::fromStdString(package.PicturePath), !package.SongPath.empty(), std::nullopt,
            std::move(*read.Picture)};
}

std::optional<LoadedPicture> TFormMain::TakeDecodedPicture(std::vector<std::uint8_t> fileBytes) {
    std::optional<Bitmap> decoded = ReadAhead ? ReadAhead->TakePicture() : std::nullopt;
    if (!decoded) {
        return std::nullopt;
    }
    return LoadedPicture{std::move(fileBytes), std::move(*decoded)};
}

void TFormMain::ApplyTrailer(const PackageTrailer& trailer, const std::string& songPath) {
    Game.Settings = {PuzzleShape::ForType(trailer.PuzzleType), trailer.ArrangeMode,
                     trailer.BoardColor, trailer.ZoomPercent};
    StartMessage = QString::fromStdString(Windows1252ToUtf8(trailer.StartMessage));
    MediaPlayer->FileName = songPath.empty()
                                ? QString::fromUtf8(TempSongName.data(), TempSongName.size())
                                : QString::fromStdString(songPath);
}

void TFormMain::ShowStartMessage() {
    if (!StartMessage.isEmpty()) {
        Tell(Message{StartMessage.toStdString(), MessageIcon::Information});
    }
}
