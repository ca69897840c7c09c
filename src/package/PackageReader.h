#pragma once

#include "package/PackageCredits.h"
#include "package/PackageTrailer.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Reading a package: the trailer at the end of the player's own file, then the picture, then the
// song; then each payload written to its fixed name in the player's own temporary folder.

enum class PackageFailure {
    None,
    CannotOpen,        // the executable cannot be opened
    PictureUnreadable, // file shorter than the trailer, or a picture size outside the file
    SongUnreadable,    // a song size outside the file
    TempFileFailed,    // the temporary folder or a temporary file cannot be made
};

// The package as read into memory. Reading touches no file but the package.
struct PackagePayloads {
    // Present once the trailer was read, also when a payload then failed.
    std::optional<PackageTrailer> Trailer;
    // The puzzle's credit lines, when the package has an intact block of them before the song.
    std::optional<PackageCredits> Credits;
    // Read only when the reads before them succeeded; a file that ends early gives fewer bytes.
    std::vector<std::uint8_t> Picture;
    std::vector<std::uint8_t> Song;
    // CannotOpen, PictureUnreadable or SongUnreadable; the picture is read when only the song
    // failed.
    PackageFailure Failure = PackageFailure::None;

    bool PictureRead() const { return Trailer && Failure != PackageFailure::PictureUnreadable; }
    bool IsBitmap() const { return Trailer && Trailer->PictureIsBitmap != 0; }
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
PackagePayloads ReadPackageFile(const std::string& executablePath);

// Writes what was read to its names in `folder`: the picture, when it was read, then the song,
// when the package has one and it was read.
ExtractedPackage WritePayloads(const PackagePayloads& read, const std::string& folder);

// Both: reads the package and writes its payloads to `folder`.
ExtractedPackage ExtractPackage(const std::string& executablePath, const std::string& folder);

// The text to show for a failure, or an empty text for None and TempFileFailed (whose text is
// the platform's, in FailureDetail).
std::string FailureMessage(PackageFailure failure);
