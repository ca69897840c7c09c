#include "main/StartupReadAhead.h"

#include "picture/JpegDecoder.h"

StartupReadAhead::StartupReadAhead(std::string executablePath)
    : Executable(std::move(executablePath))
    , ReadDone(Read.get_future()) {
    // The thread keeps a copy of the JPEG's bytes to decode: the package itself is handed over as
    // soon as it is read.
    Decoded = std::async(std::launch::async, [this, mayDecode = MayDecode.get_future()]() mutable {
        PackagePayloads package;
        std::vector<std::uint8_t> picture;
        try {
            package = ReadPackageFile(Executable);
            if (package.PictureRead() && !package.IsBitmap()) {
                picture = *package.Picture;
            }
        } catch (...) { // out of memory: the window shows it when it takes the package
            Read.set_exception(std::current_exception());
            return std::optional<Bitmap>();
        }
        Read.set_value(std::move(package));
        if (!mayDecode.get() || picture.empty()) {
            return std::optional<Bitmap>();
        }
        return DecodeJpeg(picture);
    });
}

StartupReadAhead::~StartupReadAhead() {
    AnswerDecode(false);
    if (Decoded.valid()) {
        Decoded.wait();
    }
}

void StartupReadAhead::AnswerDecode(bool may) {
    if (!DecodeAnswered) {
        DecodeAnswered = true;
        MayDecode.set_value(may);
    }
}

void StartupReadAhead::ToolkitStarted() {
    AnswerDecode(true);
}

PackagePayloads StartupReadAhead::TakePackage() {
    return ReadDone.valid() ? ReadDone.get() : PackagePayloads{};
}

std::optional<Bitmap> StartupReadAhead::TakePicture() {
    AnswerDecode(false); // a picture not yet allowed to be decoded is read by the window
    return Decoded.valid() ? Decoded.get() : std::nullopt;
}

std::optional<LoadedPicture>
StartupReadAhead::TakeLoadedPicture(std::vector<std::uint8_t> fileBytes) {
    std::optional<Bitmap> decoded = TakePicture();
    if (!decoded) {
        return std::nullopt;
    }
    return LoadedPicture{std::move(fileBytes), std::move(*decoded)};
}

StartedPackage StartOwnPackage(StartupReadAhead* ahead, const std::string& executablePath,
                               PlayerFolder& folder) {
    return StartPackage(ahead ? ahead->TakePackage() : ReadPackageFile(executablePath),
                        UserTempFolder(), folder);
}
