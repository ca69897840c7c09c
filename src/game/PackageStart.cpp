#include "game/PackageStart.h"

#include "package/Windows1252.h"

namespace {

// The payloads go to this player's own folder, made on the first write.
ExtractedPackage WriteToOwnFolder(const PackagePayloads& read,
                                  const Result<std::string>& userFolder, PlayerFolder& folder) {
    if (!read.PictureRead()) {
        return WritePayloads(read, {});
    }
    Result<void> made = userFolder ? folder.Create(*userFolder) : userFolder.Error();
    if (!made) {
        return {read.Trailer, read.Credits, {}, {}, made};
    }
    return WritePayloads(read, folder.Path());
}

} // namespace

StartedPackage StartPackage(PackagePayloads read, const Result<std::string>& userFolder,
                            PlayerFolder& ownFolder) {
    const ExtractedPackage package = WriteToOwnFolder(read, userFolder, ownFolder);
    StartedPackage started;
    if (package.Trailer) {
        const PackageTrailer& trailer = *package.Trailer;
        started.Settings = {PuzzleShape::ForType(trailer.PuzzleType), trailer.ArrangeMode,
                            trailer.BoardColor, trailer.ZoomPercent};
        started.StartMessage = Windows1252ToUtf8(trailer.StartMessage);
    }
    started.Credits = package.Credits.value_or(PackageCredits{});
    // The credits carry the message as written when the trailer holds only a rendering of it.
    if (!started.Credits.StartMessage.empty()) {
        started.StartMessage = started.Credits.StartMessage;
    }
    if (!package.Ok()) {
        started.Status = Message{package.Status.Error().What, MessageIcon::Stop};
        return started;
    }
    started.PicturePath = package.PicturePath;
    started.PictureBytes = std::move(*read.Picture);
    started.SongPath = package.SongPath;
    return started;
}
