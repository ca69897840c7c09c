#pragma once

#include "game/Board.h"
#include "game/Message.h"
#include "package/PackageCredits.h"
#include "package/PackageReader.h"
#include "package/PlayerFolder.h"
#include "package/TempFolder.h"

#include <cstdint>
#include <string>
#include <vector>

// What a package gives the player at start-up.
struct StartedPackage {
    // The trailer's settings, or the defaults when the package has no trailer.
    GameSettings Settings;
    // The start message in UTF-8: as written when the credits carry it, else the trailer's;
    // empty when there is none.
    std::string StartMessage;
    // The lines for the loading window; empty when the package brings none.
    PackageCredits Credits;
    // The picture file as written to the player's folder, and its bytes as read.
    std::string PicturePath;
    std::vector<std::uint8_t> PictureBytes;
    // The song file as written; empty when the package has none.
    std::string SongPath;
    // Whether the package gives a puzzle, or why not; the settings and texts hold either way.
    Result<void, Message> Status;
};

// Writes what was read into `ownFolder`, made inside `userFolder` once there is a picture to
// write, and turns the trailer into settings and texts.
StartedPackage StartPackage(PackagePayloads read, const Result<std::string>& userFolder,
                            PlayerFolder& ownFolder);
