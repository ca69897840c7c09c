#include "TurboJpeg.h"

#include <memory>
#include <turbojpeg.h>

namespace {

struct HandleCloser {
    void operator()(void* handle) const { tjDestroy(handle); }
};
using Handle = std::unique_ptr<void, HandleCloser>;

struct BufferFreer {
    void operator()(unsigned char* buffer) const { tjFree(buffer); }
};
using Buffer = std::unique_ptr<unsigned char, BufferFreer>;

// A warning leaves a complete result; only an error fails.
bool Succeeded(int status, void* handle) {
    return status == 0 || tjGetErrorCode(handle) == TJERR_WARNING;
}

int TransformOf(Orientation orientation) {
    switch (orientation) {
    case Orientation::Upright:
        break;
    case Orientation::MirrorHorizontal:
        return TJXOP_HFLIP;
    case Orientation::Rotate180:
        return TJXOP_ROT180;
    case Orientation::MirrorVertical:
        return TJXOP_VFLIP;
    case Orientation::Transpose:
        return TJXOP_TRANSPOSE;
    case Orientation::Rotate90:
        return TJXOP_ROT90;
    case Orientation::Transverse:
        return TJXOP_TRANSVERSE;
    case Orientation::Rotate270:
        return TJXOP_ROT270;
    }
    return TJXOP_NONE;
}

} // namespace

std::optional<JpegHeader> ReadJpegHeader(std::span<const std::uint8_t> file) {
    const Handle handle(tjInitDecompress());
    int width = 0;
    int height = 0;
    int subsampling = 0;
    int colorspace = 0;
    if (!handle || file.size() > std::size_t{0xFFFFFFFF} ||
        tjDecompressHeader3(handle.get(), file.data(), static_cast<unsigned long>(file.size()),
                            &width, &height, &subsampling, &colorspace) != 0 ||
        width <= 0 || height <= 0) {
        return std::nullopt;
    }
    return JpegHeader{width, height};
}

std::optional<RgbImage> DecodeJpegToRgb(std::span<const std::uint8_t> file) {
    const auto header = ReadJpegHeader(file);
    const Handle handle(tjInitDecompress());
    if (!header || !handle) {
        return std::nullopt;
    }
    RgbImage image(header->Width, header->Height);
    const int status = tjDecompress2(handle.get(), file.data(),
                                     static_cast<unsigned long>(file.size()), image.Pixels.data(),
                                     image.Width, 0, image.Height, TJPF_RGB, TJFLAG_ACCURATEDCT);
    if (!Succeeded(status, handle.get())) {
        return std::nullopt;
    }
    return image;
}

std::optional<std::vector<std::uint8_t>> EncodeJpeg(const RgbImage& image, int quality) {
    const Handle handle(tjInitCompress());
    if (!handle) {
        return std::nullopt;
    }
    unsigned char* out = nullptr;
    unsigned long size = 0;
    const int status =
        tjCompress2(handle.get(), image.Pixels.data(), image.Width, 0, image.Height, TJPF_RGB, &out,
                    &size, quality >= 100 ? TJSAMP_444 : TJSAMP_420, quality, TJFLAG_ACCURATEDCT);
    const Buffer owned(out);
    if (status != 0 || out == nullptr) {
        return std::nullopt;
    }
    return std::vector<std::uint8_t>(out, out + size);
}

std::optional<std::vector<std::uint8_t>> TurnJpegLosslessly(std::span<const std::uint8_t> file,
                                                            Orientation orientation) {
    const Handle handle(tjInitTransform());
    if (!handle || file.size() > std::size_t{0xFFFFFFFF}) {
        return std::nullopt;
    }
    tjtransform transform{};
    transform.op = TransformOf(orientation);
    transform.options = TJXOPT_PERFECT | TJXOPT_COPYNONE;
    unsigned char* out = nullptr;
    unsigned long size = 0;
    const int status =
        tjTransform(handle.get(), file.data(), static_cast<unsigned long>(file.size()), 1, &out,
                    &size, &transform, 0);
    const Buffer owned(out);
    if (!Succeeded(status, handle.get()) || out == nullptr) {
        return std::nullopt;
    }
    return std::vector<std::uint8_t>(out, out + size);
}
