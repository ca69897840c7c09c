#include "puzzle/BmpDecoder.h"

#include "base/LittleEndian.h"

#include <cstddef>

namespace {

struct BmpLayout {
    int Width;
    int Height;
    bool TopDown;
    std::size_t PixelOffset;
    std::size_t RowBytes;
    std::size_t PaletteOffset;
    std::size_t PaletteEntries;
};

constexpr int MaxSide = 4096;

std::optional<BmpLayout> ReadLayout(std::span<const std::uint8_t> f, int bitsPerPixel) {
    constexpr std::size_t FileHeader = 14;
    if (f.size() < FileHeader + 40 || f[0] != 'B' || f[1] != 'M') {
        return std::nullopt;
    }
    const std::uint32_t infoSize = LittleEndian32At(f, 14);
    const auto width = static_cast<std::int32_t>(LittleEndian32At(f, 18));
    const auto height = static_cast<std::int32_t>(LittleEndian32At(f, 22));
    if (infoSize < 40 || infoSize > f.size() - FileHeader || LittleEndian16At(f, 26) != 1 ||
        LittleEndian16At(f, 28) != bitsPerPixel || LittleEndian32At(f, 30) != 0 || width <= 0 ||
        width > MaxSide || height == 0 || height < -MaxSide || height > MaxSide) {
        return std::nullopt;
    }
    BmpLayout layout{};
    layout.Width = width;
    layout.Height = height < 0 ? -height : height;
    layout.TopDown = height < 0;
    layout.PixelOffset = LittleEndian32At(f, 10);
    layout.RowBytes = (static_cast<std::size_t>(width) * bitsPerPixel + 31) / 32 * 4;
    layout.PaletteOffset = FileHeader + infoSize;
    const std::uint32_t used = LittleEndian32At(f, 46);
    layout.PaletteEntries = used == 0 || used > (1u << bitsPerPixel) ? (1u << bitsPerPixel) : used;
    const std::size_t pixelBytes = layout.RowBytes * static_cast<std::size_t>(layout.Height);
    if (layout.PaletteOffset + layout.PaletteEntries * 4 > f.size() ||
        layout.PixelOffset > f.size() || pixelBytes > f.size() - layout.PixelOffset) {
        return std::nullopt;
    }
    return layout;
}

const std::uint8_t* Row(std::span<const std::uint8_t> f, const BmpLayout& l, int y) {
    const int stored = l.TopDown ? y : l.Height - 1 - y;
    return f.data() + l.PixelOffset + static_cast<std::size_t>(stored) * l.RowBytes;
}

} // namespace

std::optional<MonoBitmap> DecodeMonoBmp(std::span<const std::uint8_t> file) {
    const auto layout = ReadLayout(file, 1);
    if (!layout) {
        return std::nullopt;
    }
    bool light[2] = {false, true};
    for (std::size_t i = 0; i < layout->PaletteEntries; ++i) {
        const std::uint8_t* entry = file.data() + layout->PaletteOffset + 4 * i;
        light[i] = entry[0] + entry[1] + entry[2] >= 3 * 128;
    }
    MonoBitmap bitmap(layout->Width, layout->Height);
    for (int y = 0; y < layout->Height; ++y) {
        const std::uint8_t* row = Row(file, *layout, y);
        for (int x = 0; x < layout->Width; ++x) {
            const int index = (row[x >> 3] >> (7 - (x & 7))) & 1;
            bitmap.Set(x, y, index < static_cast<int>(layout->PaletteEntries) && light[index]);
        }
    }
    return bitmap;
}

std::optional<IndexBitmap> DecodeIndexBmp(std::span<const std::uint8_t> file) {
    const auto layout = ReadLayout(file, 4);
    if (!layout) {
        return std::nullopt;
    }
    IndexBitmap bitmap(layout->Width, layout->Height, 0);
    for (int y = 0; y < layout->Height; ++y) {
        const std::uint8_t* row = Row(file, *layout, y);
        for (int x = 0; x < layout->Width; ++x) {
            const std::uint8_t pair = row[x >> 1];
            bitmap.Set(x, y, static_cast<std::uint8_t>((x & 1) == 0 ? pair >> 4 : pair & 0x0F));
        }
    }
    return bitmap;
}
