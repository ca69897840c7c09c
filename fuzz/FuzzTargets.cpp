#include "FuzzTargets.h"

#include "ExifOrientation.h"
#include "package/PackageReader.h"
#include "picture/PictureFile.h"
#include "puzzle/BmpDecoder.h"
#include "puzzle/EdgeBitmaps.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace {

// A private folder for the package reader's temporary files, made once per process.
const std::string& Workspace() {
    static const std::string folder = [] {
        char pattern[] = "/tmp/tavrin-fuzz-XXXXXX";
        const char* made = mkdtemp(pattern);
        return std::string(made != nullptr ? made : "/tmp");
    }();
    return folder;
}

} // namespace

void FuzzPackage(const std::uint8_t* data, std::size_t size) {
    const std::string package = Workspace() + "/package";
    const int fd = open(package.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd < 0) {
        return;
    }
    const bool written = write(fd, data, size) == static_cast<ssize_t>(size);
    close(fd);
    if (written) {
        static_cast<void>(WritePayloads(ReadPackageFile(package), Workspace()));
    }
}

void FuzzJpeg(const std::uint8_t* data, std::size_t size) {
    static_cast<void>(DecodePictureFile({data, size}, "fuzz.jpg"));
}

void FuzzBmp(const std::uint8_t* data, std::size_t size) {
    static_cast<void>(DecodePictureFile({data, size}, "fuzz.bmp"));
}

void FuzzEdgeStrip(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    DecodeMonoBmp(bytes);
    DecodeIndexBmp(bytes);
    const EdgeBitmaps edges([&](int number) {
        return number == 152 || number == 252 ? bytes : std::span<const std::uint8_t>();
    });
    edges.MaskStrip(152);
}

void FuzzExif(const std::uint8_t* data, std::size_t size) {
    const Orientation orientation = JpegOrientation({data, size});
    if (orientation < Orientation::Upright || orientation > Orientation::Rotate270) {
        std::abort();
    }
}
