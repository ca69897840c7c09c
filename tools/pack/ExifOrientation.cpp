#include "ExifOrientation.h"

#include "TiffReader.h"

namespace {

constexpr std::uint16_t OrientationTag = 0x0112;
constexpr std::uint16_t ShortType = 3;

// The offset of the orientation's value in a TIFF structure, or 0 when it has none of one count.
std::size_t OrientationValueAt(const TiffReader& r) {
    const std::size_t entry = r.FindEntry(r.FirstDirectory(), OrientationTag);
    if (entry == 0 || r.Read(entry + 2, 2) != ShortType || r.Read(entry + 4, 4) < 1) {
        return 0;
    }
    return entry + 8;
}

std::uint32_t ExifBlockOrientation(std::span<const std::uint8_t> body) {
    const TiffReader r(TiffOfExif(body));
    const std::size_t value = r.Valid() ? OrientationValueAt(r) : 0;
    return value != 0 ? r.Read(value, 2) : 0;
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

bool SetExifUpright(std::span<std::uint8_t> body) {
    const auto tiff = TiffOfExif(body);
    const TiffReader r(tiff);
    const std::size_t value = r.Valid() ? OrientationValueAt(r) : 0;
    if (value == 0) {
        return false;
    }
    const std::size_t at = static_cast<std::size_t>(tiff.data() - body.data()) + value;
    body[at] = r.BigEndian() ? 0 : 1;
    body[at + 1] = r.BigEndian() ? 1 : 0;
    return true;
}
