#include "RgbImage.h"

#include <cstring>

namespace {

struct Point {
    int X;
    int Y;
};

// Where upright pixel (x, y) lies in the stored picture of `width` x `height`.
Point StoredPoint(Orientation orientation, int x, int y, int width, int height) {
    switch (orientation) {
    case Orientation::Upright:
        break;
    case Orientation::MirrorHorizontal:
        return {width - 1 - x, y};
    case Orientation::Rotate180:
        return {width - 1 - x, height - 1 - y};
    case Orientation::MirrorVertical:
        return {x, height - 1 - y};
    case Orientation::Transpose:
        return {y, x};
    case Orientation::Rotate90:
        return {y, height - 1 - x};
    case Orientation::Transverse:
        return {width - 1 - y, height - 1 - x};
    case Orientation::Rotate270:
        return {width - 1 - y, x};
    }
    return {x, y};
}

void PutLittleEndian(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value,
                     int width) {
    for (int i = 0; i < width; ++i) {
        out[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

} // namespace

RgbImage::RgbImage(int width, int height)
    : Width(width)
    , Height(height)
    , Pixels(std::size_t(width) * height * 3) {}

RgbImage Upright(const RgbImage& stored, Orientation orientation) {
    const bool swap = SwapsSides(orientation);
    RgbImage upright(swap ? stored.Height : stored.Width, swap ? stored.Width : stored.Height);
    for (int y = 0; y < upright.Height; ++y) {
        for (int x = 0; x < upright.Width; ++x) {
            const Point from = StoredPoint(orientation, x, y, stored.Width, stored.Height);
            std::memcpy(upright.At(x, y), stored.At(from.X, from.Y), 3);
        }
    }
    return upright;
}

std::vector<std::uint8_t> EncodeBmp24(const RgbImage& image) {
    constexpr std::size_t HeaderSize = 14 + 40;
    const std::size_t rowSize = (std::size_t(image.Width) * 3 + 3) & ~std::size_t{3};
    const std::size_t pixelBytes = rowSize * image.Height;
    std::vector<std::uint8_t> file(HeaderSize + pixelBytes, 0);
    file[0] = 'B';
    file[1] = 'M';
    PutLittleEndian(file, 2, static_cast<std::uint32_t>(file.size()), 4);
    PutLittleEndian(file, 10, HeaderSize, 4);
    PutLittleEndian(file, 14, 40, 4);
    PutLittleEndian(file, 18, static_cast<std::uint32_t>(image.Width), 4);
    PutLittleEndian(file, 22, static_cast<std::uint32_t>(image.Height), 4);
    PutLittleEndian(file, 26, 1, 2);  // planes
    PutLittleEndian(file, 28, 24, 2); // bits per pixel
    PutLittleEndian(file, 34, static_cast<std::uint32_t>(pixelBytes), 4);
    PutLittleEndian(file, 38, 2835, 4); // 72 dots per inch
    PutLittleEndian(file, 42, 2835, 4);
    for (int y = 0; y < image.Height; ++y) {
        std::uint8_t* row = file.data() + HeaderSize + rowSize * (image.Height - 1 - y);
        for (int x = 0; x < image.Width; ++x) {
            const std::uint8_t* rgb = image.At(x, y);
            row[3 * x] = rgb[2];
            row[3 * x + 1] = rgb[1];
            row[3 * x + 2] = rgb[0];
        }
    }
    return file;
}
