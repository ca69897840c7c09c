#pragma once

#include "puzzle/EdgeNumber.h"
#include "puzzle/IndexBitmap.h"
#include "puzzle/MonoBitmap.h"

#include <cstdint>
#include <functional>
#include <map>
#include <span>

// The decoded edge strips, each decoded once.
class EdgeBitmaps {
public:
    // Gives the stored file of a number, or an empty span when there is none.
    using FileSource = std::function<std::span<const std::uint8_t>(int number)>;

    explicit EdgeBitmaps(const FileSource& files);

    // Null when the number has no strip (no stored file, or one that does not decode).
    const MonoBitmap* MaskStrip(int number) const;
    const IndexBitmap* ShadeStrip(int number) const;

    // The strips embedded in the program.
    static const EdgeBitmaps& Stored();

private:
    std::map<int, MonoBitmap> Masks;
    std::map<int, IndexBitmap> Shades;
};

// The embedded file of a number (generated from resources/edges at build time).
std::span<const std::uint8_t> StoredEdgeFile(int number);
