#include "main/StartupReadAhead.h"

#include "picture/PictureFile.h"

#include <QString>

StartupReadAhead::StartupReadAhead(std::string executablePath)
    : Executable(std::move(executablePath)) {
    Pending = std::async(std::launch::async, [path = Executable] {
        Result result{ExtractPackage(path), {}, std::nullopt};
        const ExtractedPackage& package = result.Package;
        if (!package.PicturePath.empty() && package.Trailer->PictureIsBitmap == 0) {
            result.PicturePath = package.PicturePath;
            result.Picture = LoadPictureFile(QString::fromStdString(package.PicturePath));
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
