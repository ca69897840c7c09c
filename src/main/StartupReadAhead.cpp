#include "main/StartupReadAhead.h"

#include "picture/JpegDecoder.h"

StartupReadAhead::StartupReadAhead(std::string executablePath)
    : Executable(std::move(executablePath))
    , ReadDone(Read.get_future()) {
    // The thread reads into a copy it keeps for decoding; the one handed over is its own.
    Decoded = std::async(std::launch::async, [this, mayDecode = MayDecode.get_future()]() mutable {
        PackagePayloads package = ReadPackageFile(Executable);
        const bool decodable = package.PictureRead() && !package.IsBitmap();
        std::vector<std::uint8_t> picture =
            decodable ? package.Picture : std::vector<std::uint8_t>{};
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
