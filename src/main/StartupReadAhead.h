#pragma once

#include "game/GameLife.h"
#include "game/PackageStart.h"
#include "game/ScreenLayout.h"
#include "package/PackageReader.h"
#include "puzzle/Bitmap.h"

#include <future>
#include <optional>
#include <string>

// Reads the package into memory on a thread of its own from the first line of the program,
// while the toolkit starts, and decodes its JPEG picture from those bytes once the toolkit has
// started: the decoder reads the environment, which the toolkit changes while it starts. By then
// the screen is known, and with it the largest board the window can get: the picture is decoded
// no larger than its fit on that board at the package's zoom needs. The thread writes no file
// and uses nothing of Qt (the first thread to make a Qt object would become Qt's main thread).
// A bitmap picture is left to the window, whose toolkit reads it.
class StartupReadAhead {
public:
    explicit StartupReadAhead(std::string executablePath);
    // Waits for the thread, which decodes nothing when the toolkit never started.
    ~StartupReadAhead();
    StartupReadAhead(const StartupReadAhead&) = delete;
    StartupReadAhead& operator=(const StartupReadAhead&) = delete;

    const std::string& ExecutablePath() const { return Executable; }
    // The toolkit has started: the picture may be decoded, no larger than its fit on
    // `largestBoard` needs, or at full size without one. Once; later calls do nothing.
    void ToolkitStarted(std::optional<BoardSize> largestBoard = std::nullopt);
    // The package as read, once; waits for the reading, not for the decoding.
    PackagePayloads TakePackage();
    // The package's JPEG picture, decoded, once; nothing for a bitmap or a picture that could
    // not be decoded. Waits for the thread.
    std::optional<DecodedPicture> TakePicture();
    // The same with the picture file's bytes, as a game starts from it.
    std::optional<LoadedPicture> TakeLoadedPicture(std::vector<std::uint8_t> fileBytes);

private:
    // Whether the picture may be decoded, and for which board.
    struct DecodeAnswer {
        bool May = false;
        std::optional<BoardSize> LargestBoard;
    };
    void AnswerDecode(DecodeAnswer answer);

    std::string Executable;
    std::promise<DecodeAnswer> MayDecode;
    bool DecodeAnswered = false;
    std::promise<PackagePayloads> Read;
    std::future<PackagePayloads> ReadDone;
    std::future<std::optional<DecodedPicture>> Decoded;
};

// The player's own package, as read ahead (or now, without `ahead`), written to `folder` and
// turned into what the session and the song need.
StartedPackage StartOwnPackage(StartupReadAhead* ahead, const std::string& executablePath,
                               PlayerFolder& folder);
