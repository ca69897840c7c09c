#pragma once

#include "puzzle/Bitmap.h"

#include <QByteArray>
#include <QString>
#include <optional>

// Loads the picture file at `path` at full size: a Windows bitmap when the text from the last "."
// equals ".BMP" in any case, otherwise a JPEG. Nothing when the path has no ".", the file cannot
// be read or decoded, or the picture is larger than the picture limits.
std::optional<Bitmap> LoadPictureFile(const QString& path);

// The decoders behind it, for bytes already in memory.
std::optional<Bitmap> DecodeBitmapFile(QByteArray bytes);
std::optional<Bitmap> DecodeJpegFile(const QByteArray& bytes);
