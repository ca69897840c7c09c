#pragma once

#include "puzzle/Bitmap.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

// Loads the picture file at `path` at full size: a Windows bitmap when the text from the last "."
// equals ".BMP" in any case, otherwise a JPEG. Nothing when the path has no ".", the file cannot
// be read or decoded, or the picture is larger than the picture limits.
std::optional<Bitmap> LoadPictureFile(const QString& path);

// The two halves of it: the file's bytes (nothing when it cannot be read or is larger than any
// picture within the limits), and the picture in them, decoded by the kind `path` names.
std::optional<std::vector<std::uint8_t>> ReadPictureFile(const std::string& path);
std::optional<Bitmap> DecodePictureFile(std::span<const std::uint8_t> bytes,
                                        const std::string& path);

// The decoders behind it, for bytes already in memory.
std::optional<Bitmap> DecodeBitmapFile(QByteArray bytes);
std::optional<Bitmap> DecodeJpegFile(const QByteArray& bytes);
