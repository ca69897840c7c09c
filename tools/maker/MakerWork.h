#pragma once

#include "Pack.h"

#include <QImage>
#include <QString>
#include <optional>

// The maker's slow steps, each a plain function the form runs off the user-interface thread
// (QtConcurrent): decoding a photo for the preview; writing a puzzle is WritePuzzle itself.

// A photo as the maker shows it.
struct LoadedPhoto {
    QString Path;
    // Upright (its Exif orientation applied, as tavrin-pack turns it), at most PreviewSide
    // pixels a side; null when the photo cannot be used.
    QImage Preview;
    // The upright picture's size as the puzzle carries it (scaled down as tavrin-pack does).
    int PackedWidth = 0;
    int PackedHeight = 0;
    // Why the photo cannot go into a puzzle, as the packing library reports it; nothing when it
    // can.
    std::optional<PackProblem> Refused;

    static constexpr int PreviewSide = 1600;
};

// Reads and decodes the photo at `path`, scaled down while it is decoded.
LoadedPhoto LoadPhoto(const QString& path);
