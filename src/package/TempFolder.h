#pragma once

#include "base/Result.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <sys/stat.h>

// The player's temporary files live under fixed names in a folder only this user can reach,
// so that no other user can plant a link there and have the player overwrite their files; each
// running player has a folder of its own in it (PlayerFolder).

inline constexpr std::string_view TempPictureJpegName = "tavrin.jpg";
inline constexpr std::string_view TempPictureBitmapName = "tavrin.bmp";
inline constexpr std::string_view TempSongName = "tavrin.mid";

// $XDG_RUNTIME_DIR when it is set and a real folder of this user's; otherwise the folder
// "tavrin-<uid>" in $TMPDIR (or /tmp), created with mode 0700 and refused unless it is a real
// folder owned by this user. The failure is told in the platform's words.
[[nodiscard]] Result<std::string> UserTempFolder();

// Whether the file `info` describes (from lstat or fstat) is a real folder of this user's: the
// one check of a private folder for the player.
bool IsOwnFolder(const struct stat& info);

// The folder with "/" appended unless it ends in one already, then the name.
std::string TempFilePath(std::string_view folder, std::string_view name);

// Creates or truncates a regular file, never through a link, mode 0600, and writes the bytes.
// The failure is told in the platform's words.
[[nodiscard]] Result<void> WritePrivateFile(const std::string& path,
                                            std::span<const std::uint8_t> bytes);
