#include "HeifFile.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace {

constexpr std::array<std::string_view, 10> HeifBrands = {"heic", "heix", "heim", "heis", "hevc",
                                                         "hevx", "hevm", "hevs", "mif1", "msf1"};

std::string_view FourCharactersAt(std::span<const std::uint8_t> file, std::size_t at) {
    return {reinterpret_cast<const char*>(file.data() + at), 4};
}

bool IsHeifBrand(std::string_view brand) {
    return std::find(HeifBrands.begin(), HeifBrands.end(), brand) != HeifBrands.end();
}

} // namespace

bool IsHeifFile(std::span<const std::uint8_t> file) {
    // The box: its size, "ftyp", the major brand, a version, then compatible brands.
    if (file.size() < 12 || FourCharactersAt(file, 4) != "ftyp") {
        return false;
    }
    const std::size_t boxSize =
        std::size_t{file[0]} << 24 | std::size_t{file[1]} << 16 | file[2] << 8 | file[3];
    const std::size_t end = std::min(boxSize, file.size());
    bool heif = IsHeifBrand(FourCharactersAt(file, 8));
    for (std::size_t at = 16; !heif && at + 4 <= end; at += 4) {
        heif = IsHeifBrand(FourCharactersAt(file, at));
    }
    return heif;
}
