// Reading the package appended to the player and applying its settings.
#include "main/Main.h"
#include "main/StartupReadAhead.h"
#include "music/MediaPlayer.h"
#include "package/PackageReader.h"
#include "package/TempFolder.h"
#include "package/Windows1252.h"

PackageContents TFormMain::ReadPackage() {
    const ExtractedPackage package =
        ReadAhead ? ReadAhead->TakePackage() : ExtractPackage(ExecutablePath);
    if (package.Trailer) {
        ApplyTrailer(*package.Trailer, package.SongPath);
    }
    Credits = package.Credits.value_or(PackageCredits{});
    if (!package.Ok()) {
        const std::string text = package.Failure == PackageFailure::TempFileFailed
                                     ? package.FailureDetail
                                     : FailureMessage(package.Failure);
        return {{}, false, Message{text, MessageIcon::Stop}};
    }
    return {QString::fromStdString(package.PicturePath), !package.SongPath.empty(), std::nullopt};
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
