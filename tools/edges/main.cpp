// Writes the 64 edge strips as BMP files:  tavrin-edges resources/edges
// Each level's design is one band (bottom knob, top socket) turned four ways; each strip gets a
// shade strip made from its own outline.
#include "EdgeDesign.h"

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

void Put32(Bytes& b, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    }
}

void Put16(Bytes& b, std::uint16_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}

// A bottom-up BMP with the given palette (RGB triples) and rows of packed pixels.
Bytes BmpFile(int width, int height, int bits, const std::vector<std::uint32_t>& palette,
              const std::vector<Bytes>& rows) {
    const std::uint32_t rowBytes = (static_cast<std::uint32_t>(width) * bits + 31) / 32 * 4;
    const std::uint32_t pixelOffset = 14 + 40 + 4 * static_cast<std::uint32_t>(palette.size());
    Bytes b{'B', 'M'};
    Put32(b, pixelOffset + rowBytes * height);
    Put32(b, 0);
    Put32(b, pixelOffset);
    Put32(b, 40);
    Put32(b, static_cast<std::uint32_t>(width));
    Put32(b, static_cast<std::uint32_t>(height));
    Put16(b, 1);
    Put16(b, static_cast<std::uint16_t>(bits));
    Put32(b, 0);
    Put32(b, rowBytes * height);
    Put32(b, 3780);
    Put32(b, 3780);
    Put32(b, static_cast<std::uint32_t>(palette.size()));
    Put32(b, 0);
    for (std::uint32_t rgb : palette) {
        b.insert(b.end(), {static_cast<std::uint8_t>(rgb), static_cast<std::uint8_t>(rgb >> 8),
                           static_cast<std::uint8_t>(rgb >> 16), 0});
    }
    for (int y = height - 1; y >= 0; --y) {
        Bytes row = rows[y];
        row.resize(rowBytes, 0);
        b.insert(b.end(), row.begin(), row.end());
    }
    return b;
}

Bytes MaskFile(const MonoBitmap& m) {
    std::vector<Bytes> rows;
    for (int y = 0; y < m.Height(); ++y) {
        rows.emplace_back(m.Scanline(y), m.Scanline(y) + m.Pitch());
    }
    return BmpFile(m.Width(), m.Height(), 1, {0x000000, 0xFFFFFF}, rows);
}

Bytes ShadeFile(const IndexBitmap& s) {
    const std::vector<std::uint32_t> standard16 = {
        0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
        0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
    std::vector<Bytes> rows;
    for (int y = 0; y < s.Height(); ++y) {
        Bytes row((s.Width() + 1) / 2, 0);
        for (int x = 0; x < s.Width(); ++x) {
            row[x / 2] |= static_cast<std::uint8_t>(x % 2 == 0 ? s.Get(x, y) << 4 : s.Get(x, y));
        }
        rows.push_back(row);
    }
    return BmpFile(s.Width(), s.Height(), 4, standard16, rows);
}

bool Write(const std::string& folder, int number, const Bytes& bytes) {
    std::ofstream out(folder + "/" + std::to_string(number) + ".bmp", std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

struct Strip {
    Side Where;
    bool Out;
    MonoBitmap Mask;
    Side OwnCell;
};

std::vector<Strip> StripsOf(const BandDesign& d) {
    const MonoBitmap topKnob = FlipVertically(d.BottomKnob);
    const MonoBitmap bottomSocket = FlipVertically(d.TopSocket);
    const MonoBitmap leftKnob = Transpose(topKnob);
    const MonoBitmap leftSocket = Transpose(d.TopSocket);
    return {
        {Side::Bottom, true, d.BottomKnob, Side::Top},
        {Side::Bottom, false, bottomSocket, Side::Top},
        {Side::Top, true, topKnob, Side::Bottom},
        {Side::Top, false, d.TopSocket, Side::Bottom},
        {Side::Left, true, leftKnob, Side::Right},
        {Side::Left, false, leftSocket, Side::Right},
        {Side::Right, true, FlipHorizontally(leftKnob), Side::Left},
        {Side::Right, false, FlipHorizontally(leftSocket), Side::Left},
    };
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tavrin-edges FOLDER\n");
        return 2;
    }
    for (int level = 1; level <= 4; ++level) {
        for (const Strip& s : StripsOf(DesignForLevel(level))) {
            const int number = EdgeMaskNumber(s.Where, s.Out, level);
            if (!Write(argv[1], number, MaskFile(s.Mask)) ||
                !Write(argv[1], number + 100, ShadeFile(ShadeFor(s.Mask, s.OwnCell)))) {
                std::fprintf(stderr, "cannot write edge %d\n", number);
                return 1;
            }
        }
    }
    return 0;
}
