#pragma once

#include "package/PackageCredits.h"
#include "package/PackageTrailer.h"

#include <optional>
#include <string>

// Reading a package: the trailer at the end of the player's own file, then the picture, then the
// song, each payload written to its fixed name in the user's temporary folder.

enum class PackageFailure {
    None,
    CannotOpen,        // the executable cannot be opened
    PictureUnreadable, // file shorter than the trailer, or a picture size outside the file
    SongUnreadable,    // a song size outside the file
    TempFileFailed,    // the temporary folder or a temporary file cannot be made
};

struct ExtractedPackage {
    // Present once the trailer was read, also when a payload then failed.
    std::optional<PackageTrailer> Trailer;
    // The puzzle's credit lines, when the package has an intact block of them before the song.
    std::optional<PackageCredits> Credits;
    // Set once the picture file is written; it stays on disk when the song then fails.
    std::string PicturePath;
    // Set only when the package has a song and it was written.
    std::string SongPath;
    PackageFailure Failure = PackageFailure::None;
    // For TempFileFailed: the platform's description of the failure.
    std::string FailureDetail;

    bool Ok() const { return Failure == PackageFailure::None; }
};

// Never allocates more than the file holds: payload sizes are checked against its length.
ExtractedPackage ExtractPackage(const std::string& executablePath);

// The text to show for a failure, or an empty text for None and TempFileFailed (whose text is
// the platform's, in FailureDetail).
std::string FailureMessage(PackageFailure failure);
