#include "main/StartupReadAhead.h"

#include "game/PictureFit.h"
#include "picture/JpegDecoder.h"

namespace {

// The size the picture is shown at on `board` at `zoomPercent`; the full size without a board.
LeastSize FitOn(std::optional<BoardSize> board, int zoomPercent) {
    if (!board) {
        return {};
    }
    return [board = *board, zoomPercent](PictureSize full) {
        const PictureFit fit =
            FitToBoard(full.Width, full.Height, board.Width, board.Height, zoomPercent);
        return PictureSize{fit.Width, fit.Height};
    };
}

} // namespace

StartupReadAhead::StartupReadAhead(std::string executablePath)
    : Executable(std::move(executablePath))
    , ReadDone(Read.get_future()) {
    // The thread keeps a copy of the JPEG's bytes to decode: the package itself is handed over as
    // soon as it is read.
    Decoded = std::async(std::launch::async, [this, mayDecode = MayDecode.get_future()]() mutable {
        PackagePayloads package;
        std::vector<std::uint8_t> picture;
        int zoomPercent = 0;
        try {
            package = ReadPackageFile(Executable);
            if (package.PictureRead() && !package.IsBitmap()) {
                picture = *package.Picture;
                zoomPercent = package.Trailer ? package.Trailer->ZoomPercent : 0;
            }
        } catch (...) { // out of memory: the window shows it when it takes the package
            Read.set_exception(std::current_exception());
            return std::optional<DecodedPicture>();
        }
        Read.set_value(std::move(package));
        const DecodeAnswer answer = mayDecode.get();
        if (!answer.May || picture.empty()) {
            return std::optional<DecodedPicture>();
        }
        return DecodeJpeg(picture, FitOn(answer.LargestBoard, zoomPercent));
    });
}

StartupReadAhead::~StartupReadAhead() {
    AnswerDecode({});
    if (Decoded.valid()) {
        Decoded.wait();
    }
}

void StartupReadAhead::AnswerDecode(DecodeAnswer answer) {
    if (!DecodeAnswered) {
        DecodeAnswered = true;
        MayDecode.set_value(answer);
    }
}

void StartupReadAhead::ToolkitStarted(std::optional<BoardSize> largestBoard) {
    AnswerDecode({true, largestBoard});
}

PackagePayloads StartupReadAhead::TakePackage() {
    return ReadDone.valid() ? ReadDone.get() : PackagePayloads{};
}

std::optional<DecodedPicture> StartupReadAhead::TakePicture() {
    AnswerDecode({}); // a picture not yet allowed to be decoded is read by the window
    return Decoded.valid() ? Decoded.get() : std::nullopt;
}

std::optional<LoadedPicture>
StartupReadAhead::TakeLoadedPicture(std::vector<std::uint8_t> fileBytes) {
    std::optional<DecodedPicture> decoded = TakePicture();
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
