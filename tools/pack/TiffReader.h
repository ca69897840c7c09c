#pragma once

#include <cstdint>
#include <span>

// Bounds-checked reads from a TIFF structure (the body of an Exif block after "Exif\0\0") in the
// byte order its header names.
class TiffReader {
public:
    // Invalid when the header is neither "II" nor "MM" followed by 42.
    explicit TiffReader(std::span<const std::uint8_t> tiff);

    bool Valid() const { return IsValid; }
    bool BigEndian() const { return IsBigEndian; }

    bool Has(std::size_t offset, std::size_t width) const {
        return offset <= Bytes.size() && width <= Bytes.size() - offset;
    }

    // Zero when the range is outside the bytes; callers check with Has() first.
    std::uint32_t Read(std::size_t offset, int width) const;

    // The offset of the first image directory (0 when it cannot be read).
    std::size_t FirstDirectory() const { return Read(4, 4); }

    // The offset of the 12-byte entry for `tag` in the directory at `directory`; 0 when absent.
    std::size_t FindEntry(std::size_t directory, std::uint16_t tag) const;

    // The offset of the directory after the one at `directory`; 0 when there is none.
    std::size_t NextDirectory(std::size_t directory) const;

private:
    std::span<const std::uint8_t> Bytes;
    bool IsBigEndian = false;
    bool IsValid = false;
};

// The TIFF structure inside an APP1 Exif body; empty when the body is not Exif.
std::span<const std::uint8_t> TiffOfExif(std::span<const std::uint8_t> body);
