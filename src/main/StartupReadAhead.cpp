#include "main/StartupReadAhead.h"

#include "picture/JpegDecoder.h"
#include "picture/PictureLimits.h"

#include <cstdint>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The thread runs before the application object exists, so it uses nothing of Qt: the first
// thread to make a Qt object would become Qt's main thread. The file, just written and still in
// the page cache, is decoded where it is mapped: no copy of it stays behind on the heap.
std::optional<Bitmap> DecodeJpegFileAt(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    struct stat status {};
    std::optional<Bitmap> picture;
    // Larger files are left to the window, which refuses them with its message.
    if (fstat(fd, &status) == 0 && status.st_size > 0 && status.st_size <= MaxPictureFileSize) {
        const auto size = static_cast<std::size_t>(status.st_size);
        void* mapped = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
        if (mapped != MAP_FAILED) {
            picture = DecodeJpeg({static_cast<const std::uint8_t*>(mapped), size});
            munmap(mapped, size);
        }
    }
    close(fd);
    return picture;
}

} // namespace

StartupReadAhead::StartupReadAhead(std::string executablePath)
    : Executable(std::move(executablePath)) {
    Pending = std::async(std::launch::async, [path = Executable] {
        Result result{ExtractPackage(path), {}, std::nullopt};
        const ExtractedPackage& package = result.Package;
        if (!package.PicturePath.empty() && package.Trailer->PictureIsBitmap == 0) {
            result.PicturePath = package.PicturePath;
            result.Picture = DecodeJpegFileAt(package.PicturePath);
        }
        return result;
    });
}

StartupReadAhead::~StartupReadAhead() {
    Finish();
}

void StartupReadAhead::Finish() {
    if (Pending.valid()) {
        Done = Pending.get();
    }
}

ExtractedPackage StartupReadAhead::TakePackage() {
    Finish();
    return Done ? std::move(Done->Package) : ExtractedPackage{};
}

std::optional<Bitmap> StartupReadAhead::TakePicture(const std::string& path) {
    Finish();
    if (!Done || !Done->Picture || path != Done->PicturePath) {
        return std::nullopt;
    }
    std::optional<Bitmap> picture = std::move(Done->Picture);
    Done->Picture.reset();
    return picture;
}
