#include "ExifOrientation.h"

#include <cstring>

namespace {

constexpr std::uint16_t OrientationTag = 0x0112;
constexpr std::uint16_t ShortType = 3;

// Bounds-checked reads from one byte range in a given byte order.
class Reader {
public:
    Reader(std::span<const std::uint8_t> bytes, bool bigEndian)
        : Bytes(bytes)
        , BigEndian(bigEndian) {}

    bool Has(std::size_t offset, std::size_t width) const {
        return offset <= Bytes.size() && width <= Bytes.size() - offset;
    }

    // Zero when the range is outside the bytes; callers check with Has() first.
    std::uint32_t Read(std::size_t offset, int width) const {
        if (!Has(offset, static_cast<std::size_t>(width))) {
            return 0;
        }
        std::uint32_t value = 0;
        for (int i = 0; i < width; ++i) {
            const int k = BigEndian ? i : width - 1 - i;
            value = value << 8 | Bytes[offset + static_cast<std::size_t>(k)];
        }
        return value;
    }

private:
    std::span<const std::uint8_t> Bytes;
    bool BigEndian;
};

// The orientation in a TIFF structure (the body of an Exif block), or 0.
std::uint32_t TiffOrientation(std::span<const std::uint8_t> tiff) {
    if (tiff.size() < 8) {
        return 0;
    }
    const bool bigEndian = tiff[0] == 'M' && tiff[1] == 'M';
    if (!bigEndian && !(tiff[0] == 'I' && tiff[1] == 'I')) {
        return 0;
    }
    const Reader r(tiff, bigEndian);
    if (r.Read(2, 2) != 42) {
        return 0;
    }
    const std::size_t directory = r.Read(4, 4);
    if (!r.Has(directory, 2)) {
        return 0;
    }
    const std::size_t entries = r.Read(directory, 2);
    for (std::size_t i = 0; i < entries; ++i) {
        const std::size_t entry = directory + 2 + 12 * i;
        if (!r.Has(entry, 12)) {
            return 0;
        }
        if (r.Read(entry, 2) == OrientationTag) {
            return r.Read(entry + 2, 2) == ShortType && r.Read(entry + 4, 4) >= 1
                       ? r.Read(entry + 8, 2)
                       : 0;
        }
    }
    return 0;
}

std::uint32_t ExifBlockOrientation(std::span<const std::uint8_t> body) {
    static constexpr char Header[] = {'E', 'x', 'i', 'f', 0, 0};
    if (body.size() < sizeof Header || std::memcmp(body.data(), Header, sizeof Header) != 0) {
        return 0;
    }
    return TiffOrientation(body.subspan(sizeof Header));
}

bool IsStandaloneMarker(std::uint8_t marker) {
    return marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7);
}

} // namespace

bool SwapsSides(Orientation orientation) {
    return orientation >= Orientation::Transpose;
}

Orientation JpegOrientation(std::span<const std::uint8_t> file) {
    if (file.size() < 4 || file[0] != 0xFF || file[1] != 0xD8) {
        return Orientation::Upright;
    }
    std::size_t at = 2;
    while (at + 1 < file.size()) {
        if (file[at] != 0xFF) {
            return Orientation::Upright;
        }
        const std::uint8_t marker = file[at + 1];
        if (marker == 0xFF) { // fill byte
            ++at;
            continue;
        }
        at += 2;
        if (IsStandaloneMarker(marker)) {
            continue;
        }
        if (marker == 0xDA || marker == 0xD9 || at + 2 > file.size()) {
            return Orientation::Upright; // image data or the end: no Exif before it
        }
        const std::size_t length = std::size_t{file[at]} << 8 | file[at + 1];
        if (length < 2 || length > file.size() - at) {
            return Orientation::Upright;
        }
        if (marker == 0xE1) {
            const std::uint32_t value = ExifBlockOrientation(file.subspan(at + 2, length - 2));
            if (value >= 1 && value <= 8) {
                return static_cast<Orientation>(value);
            }
        }
        at += length;
    }
    return Orientation::Upright;
}
