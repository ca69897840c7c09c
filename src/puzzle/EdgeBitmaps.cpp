#include "puzzle/EdgeBitmaps.h"

#include "puzzle/BmpDecoder.h"

namespace {

constexpr int FirstLevel = 1;
constexpr int LastLevel = 4;

} // namespace

EdgeBitmaps::EdgeBitmaps(const FileSource& files) {
    for (int level = FirstLevel; level <= LastLevel; ++level) {
        for (const Side side : {Side::Top, Side::Bottom, Side::Left, Side::Right}) {
            for (const bool out : {true, false}) {
                const int number = EdgeMaskNumber(side, out, level);
                if (auto mask = DecodeMonoBmp(files(number))) {
                    Masks.emplace(number, std::move(*mask));
                }
                if (auto shade = DecodeIndexBmp(files(number + 100))) {
                    Shades.emplace(number + 100, std::move(*shade));
                }
            }
        }
    }
}

const MonoBitmap* EdgeBitmaps::MaskStrip(int number) const {
    const auto found = Masks.find(number);
    return found != Masks.end() ? &found->second : nullptr;
}

const IndexBitmap* EdgeBitmaps::ShadeStrip(int number) const {
    const auto found = Shades.find(number);
    return found != Shades.end() ? &found->second : nullptr;
}

const EdgeBitmaps& EdgeBitmaps::Stored() {
    static const EdgeBitmaps stored(StoredEdgeFile);
    return stored;
}
