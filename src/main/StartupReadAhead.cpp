#include "main/StartupReadAhead.h"

#include "picture/JpegDecoder.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>

namespace {

// Larger files are left to the window, which refuses them with its message.
constexpr std::uintmax_t MaxFileSize = 1024ULL * 1024 * 1024;

// The thread runs before the application object exists, so it uses nothing of Qt: the first
// thread to make a Qt object would become Qt's main thread.
std::optional<Bitmap> DecodeJpegFileAt(const std::string& path) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error || size > MaxFileSize) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    std::ifstream in(path, std::ios::binary);
    if (!in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size))) {
        return std::nullopt;
    }
    return DecodeJpeg(bytes);
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
