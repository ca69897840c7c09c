#include "TiffReader.h"

#include <cstring>

TiffReader::TiffReader(std::span<const std::uint8_t> tiff)
    : Bytes(tiff) {
    if (tiff.size() < 8) {
        return;
    }
    IsBigEndian = tiff[0] == 'M' && tiff[1] == 'M';
    IsValid = (IsBigEndian || (tiff[0] == 'I' && tiff[1] == 'I')) && Read(2, 2) == 42;
}

std::uint32_t TiffReader::Read(std::size_t offset, int width) const {
    if (!Has(offset, static_cast<std::size_t>(width))) {
        return 0;
    }
    std::uint32_t value = 0;
    for (int i = 0; i < width; ++i) {
        const int k = IsBigEndian ? i : width - 1 - i;
        value = value << 8 | Bytes[offset + static_cast<std::size_t>(k)];
    }
    return value;
}

std::size_t TiffReader::FindEntry(std::size_t directory, std::uint16_t tag) const {
    if (!IsValid || directory == 0 || !Has(directory, 2)) {
        return 0;
    }
    const std::size_t entries = Read(directory, 2);
    for (std::size_t i = 0; i < entries; ++i) {
        const std::size_t entry = directory + 2 + 12 * i;
        if (!Has(entry, 12)) {
            return 0;
        }
        if (Read(entry, 2) == tag) {
            return entry;
        }
    }
    return 0;
}

std::size_t TiffReader::NextDirectory(std::size_t directory) const {
    if (!IsValid || directory == 0 || !Has(directory, 2)) {
        return 0;
    }
    const std::size_t link = directory + 2 + 12 * std::size_t{Read(directory, 2)};
    return Has(link, 4) ? Read(link, 4) : 0;
}

std::span<const std::uint8_t> TiffOfExif(std::span<const std::uint8_t> body) {
    static constexpr char Header[] = {'E', 'x', 'i', 'f', 0, 0};
    if (body.size() < sizeof Header || std::memcmp(body.data(), Header, sizeof Header) != 0) {
        return {};
    }
    return body.subspan(sizeof Header);
}
