#pragma once

#include "base/Result.h"
#include "package/PackageCredits.h"
#include "package/PackageTrailer.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Reading a package: the trailer at the end of the player's own file, then the picture, then the
// song; then each payload written to its fixed name in the player's own temporary folder.

// The texts of the package's own failures.
inline constexpr const char* CannotOpenPackageText =
    "Cannot read the image. Please contact your vendor.";
inline constexpr const char* PictureUnreadableText =
    "Cannot read the image because the exe file could be corrupted.";
inline constexpr const char* SongUnreadableText =
    "Cannot read the image because the midi file could be corrupted.";

// The package as read into memory. Reading touches no file but the package.
struct PackagePayloads {
    // Present once the trailer was read, also when a payload then failed.
    std::optional<PackageTrailer> Trailer;
    // The puzzle's credit lines, when the package has an intact block of them before the song.
    std::optional<PackageCredits> Credits;
    // The picture, or why it was not read: the package cannot be opened, is shorter than the
    // trailer, or the picture's size puts it outside the file. A file that ends early gives fewer
    // bytes.
    Result<std::vector<std::uint8_t>> Picture = Failure{CannotOpenPackageText};
    // The song, empty when the package has none or the picture failed; or why it was not read
    // (a size outside the file).
    Result<std::vector<std::uint8_t>> Song = std::vector<std::uint8_t>{};

    bool PictureRead() const { return Picture.Ok(); }
    bool IsBitmap() const { return Trailer && Trailer->PictureIsBitmap != 0; }
    // The picture's failure, else the song's, else success.
    [[nodiscard]] Result<void> Status() const;
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
    // The first failure of reading or writing, in the words the user is shown.
    Result<void> Status;

    bool Ok() const { return Status.Ok(); }
};

// Never allocates more than the file holds: payload sizes are checked against its length.
[[nodiscard]] PackagePayloads ReadPackageFile(const std::string& executablePath);

// Writes what was read to its names in `folder`: the picture, when it was read, then the song,
// when the package has one and it was read.
[[nodiscard]] ExtractedPackage WritePayloads(const PackagePayloads& read,
                                             const std::string& folder);
