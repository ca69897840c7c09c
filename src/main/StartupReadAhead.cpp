#include "main/StartupReadAhead.h"

#include "picture/JpegDecoder.h"

namespace {

std::optional<Bitmap> DecodeJpegPayload(const PackagePayloads& package) {
    if (!package.PictureRead() || package.IsBitmap() || package.Picture.empty()) {
        return std::nullopt;
    }
    return DecodeJpeg(package.Picture);
}

} // namespace

StartupReadAhead::StartupReadAhead(std::string executablePath)
    : Executable(std::move(executablePath)) {
    Pending = std::async(std::launch::async,
                         [path = Executable, mayDecode = MayDecode.get_future()]() mutable {
                             Result result{ReadPackageFile(path), std::nullopt};
                             if (mayDecode.get()) {
                                 result.Picture = DecodeJpegPayload(result.Package);
                             }
                             return result;
                         });
}

StartupReadAhead::~StartupReadAhead() {
    Finish();
}

void StartupReadAhead::ToolkitStarted() {
    if (!DecodeAnswered) {
        DecodeAnswered = true;
        MayDecode.set_value(true);
    }
}

void StartupReadAhead::Finish() {
    if (!DecodeAnswered) {
        DecodeAnswered = true;
        MayDecode.set_value(false);
    }
    if (Pending.valid()) {
        Done = Pending.get();
    }
}

PackagePayloads StartupReadAhead::TakePackage() {
    Finish();
    return Done ? std::move(Done->Package) : PackagePayloads{};
}

std::optional<Bitmap> StartupReadAhead::TakePicture() {
    Finish();
    if (!Done) {
        return std::nullopt;
    }
    std::optional<Bitmap> picture = std::move(Done->Picture);
    Done->Picture.reset();
    return picture;
}
