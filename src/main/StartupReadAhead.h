#pragma once

#include "package/PackageReader.h"
#include "puzzle/Bitmap.h"

#include <future>
#include <optional>
#include <string>

// Reads the package and decodes its picture on a thread of its own, which touches nothing of
// Qt, while the toolkit starts and the window opens, so that a second core does that work
// meanwhile. A bitmap picture is left to the window, whose toolkit reads it.
class StartupReadAhead {
public:
    explicit StartupReadAhead(std::string executablePath);
    // Waits for the thread.
    ~StartupReadAhead();
    StartupReadAhead(const StartupReadAhead&) = delete;
    StartupReadAhead& operator=(const StartupReadAhead&) = delete;

    const std::string& ExecutablePath() const { return Executable; }
    // The package as read, once; waits for it.
    ExtractedPackage TakePackage();
    // The picture decoded from `path`, once, when that is the package's JPEG file; nothing when
    // it is another file or could not be decoded ahead.
    std::optional<Bitmap> TakePicture(const std::string& path);
    // Returns once the thread has written every file it was going to write.
    void Finish();

private:
    struct Result {
        ExtractedPackage Package;
        // Decoded from this file.
        std::string PicturePath;
        std::optional<Bitmap> Picture;
    };

    std::string Executable;
    std::future<Result> Pending;
    std::optional<Result> Done;
};
