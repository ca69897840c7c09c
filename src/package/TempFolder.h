#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// The player's temporary files live under fixed names in a folder only this user can reach,
// so that no other user can plant a link there and have the player overwrite their files; each
// running player has a folder of its own in it (PlayerFolder).

inline constexpr std::string_view TempPictureJpegName = "tavrin.jpg";
inline constexpr std::string_view TempPictureBitmapName = "tavrin.bmp";
inline constexpr std::string_view TempSongName = "tavrin.mid";

struct TempFolderResult {
    std::string Folder; // set on success
    std::string Error;  // set on failure: what went wrong, in the platform's words
    bool Ok() const { return Error.empty(); }
};

// $XDG_RUNTIME_DIR when it is set and a real folder of this user's; otherwise the folder
// "tavrin-<uid>" in $TMPDIR (or /tmp), created with mode 0700 and refused unless it is a real
// folder owned by this user.
TempFolderResult UserTempFolder();

// The folder with "/" appended unless it ends in one already, then the name.
std::string TempFilePath(std::string_view folder, std::string_view name);

// Creates or truncates a regular file, never through a link, mode 0600, and writes the bytes.
// Returns an empty text on success, otherwise the failure in the platform's words.
std::string WritePrivateFile(const std::string& path, std::span<const std::uint8_t> bytes);
