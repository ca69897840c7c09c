#include "PictureConversion.h"

#include "ExifOrientation.h"
#include "RgbImage.h"
#include "TurboJpeg.h"
#include "picture/PictureLimits.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <algorithm>
#include <cmath>
#include <span>

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Size {
    std::int64_t Width = 0;
    std::int64_t Height = 0;
    std::int64_t Pixels() const { return Width * Height; }
};

std::string SizeText(Size size) {
    return std::to_string(size.Width) + " x " + std::to_string(size.Height);
}

bool FitsBox(Size size, const PictureSettings& s) {
    return (!s.MaxWidth || size.Width <= *s.MaxWidth) &&
           (!s.MaxHeight || size.Height <= *s.MaxHeight);
}

bool NeedsScaling(Size size, const PictureSettings& s) {
    return !IsAcceptablePictureSize(size.Width, size.Height) || !FitsBox(size, s);
}

// The largest size of the same shape inside the box and the player's limits.
Size ScaledSize(Size size, const PictureSettings& s) {
    double factor = 1.0;
    const double maxWidth = std::min<double>(s.MaxWidth.value_or(MaxPictureSide), MaxPictureSide);
    const double maxHeight = std::min<double>(s.MaxHeight.value_or(MaxPictureSide), MaxPictureSide);
    factor = std::min({factor, maxWidth / size.Width, maxHeight / size.Height});
    const double pixels = factor * factor * static_cast<double>(size.Pixels());
    if (pixels > MaxPicturePixels) {
        factor *= std::sqrt(MaxPicturePixels / pixels);
    }
    return {std::max<std::int64_t>(1, static_cast<std::int64_t>(size.Width * factor)),
            std::max<std::int64_t>(1, static_cast<std::int64_t>(size.Height * factor))};
}

[[noreturn]] void RefuseTooLarge(const std::string& path, Size size) {
    throw PictureRefused{"the picture \"" + path + "\" is " + SizeText(size) +
                         " pixels; the player takes at most " + std::to_string(MaxPictureSide) +
                         " pixels a side and " + std::to_string(MaxPicturePixels / 1'000'000) +
                         " megapixels (scale it down with --max-size WxH)"};
}

// Transparent parts are shown on white.
RgbImage RgbOf(const QImage& source) {
    const QImage argb = source.convertToFormat(QImage::Format_ARGB32);
    RgbImage image(argb.width(), argb.height());
    for (int y = 0; y < argb.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x) {
            const int alpha = qAlpha(row[x]);
            const int channels[3] = {qRed(row[x]), qGreen(row[x]), qBlue(row[x])};
            std::uint8_t* out = image.At(x, y);
            for (int i = 0; i < 3; ++i) {
                out[i] = static_cast<std::uint8_t>(
                    (channels[i] * alpha + 255 * (255 - alpha) + 127) / 255);
            }
        }
    }
    return image;
}

// Reads any format Qt has a reader for, upright unless asked not to, scaled down to fit when
// needed.
RgbImage DecodeWithQt(const Bytes& file, const std::string& path, const PictureSettings& s) {
    QByteArray bytes(reinterpret_cast<const char*>(file.data()),
                     static_cast<qsizetype>(file.size()));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(!s.KeepOrientation);
    if (!reader.canRead()) {
        std::string formats;
        for (const QByteArray& format : QImageReader::supportedImageFormats()) {
            formats += (formats.empty() ? "" : ", ") + format.toStdString();
        }
        throw PictureRefused{"the picture \"" + path +
                             "\" is in no format this tool can read (it reads " + formats + ")"};
    }
    const QSize stored = reader.size();
    if (stored.isValid()) {
        const bool swap = !s.KeepOrientation &&
                          (reader.transformation() & QImageIOHandler::TransformationRotate90);
        Size upright{swap ? stored.height() : stored.width(),
                     swap ? stored.width() : stored.height()};
        if (NeedsScaling(upright, s)) {
            if (!s.MaxWidth && !IsAcceptablePictureSize(upright.Width, upright.Height)) {
                RefuseTooLarge(path, upright);
            }
            const Size target = ScaledSize(upright, s);
            reader.setScaledSize(swap ? QSize(int(target.Height), int(target.Width))
                                      : QSize(int(target.Width), int(target.Height)));
        }
    }
    QImageReader::setAllocationLimit(2048);
    const QImage image = reader.read();
    if (image.isNull()) {
        throw PictureRefused{"cannot read the picture \"" + path +
                             "\": " + reader.errorString().toStdString()};
    }
    const Size got{image.width(), image.height()};
    if (NeedsScaling(got, s)) {
        if (!s.MaxWidth && !IsAcceptablePictureSize(got.Width, got.Height)) {
            RefuseTooLarge(path, got);
        }
        const Size target = ScaledSize(got, s);
        return RgbOf(image.scaled(int(target.Width), int(target.Height), Qt::IgnoreAspectRatio,
                                  Qt::SmoothTransformation));
    }
    return RgbOf(image);
}

PackedPicture Encode(const RgbImage& image, const PictureSettings& s, std::string note) {
    const Size size{image.Width, image.Height};
    if (s.Lossless || size.Pixels() <= LargestBitmapPixels) {
        return {EncodeBmp24(image), true, note + ", stored as a 24-bit bitmap"};
    }
    auto jpeg = EncodeJpeg(image, s.Quality);
    if (!jpeg) {
        throw PictureRefused{"cannot encode the picture as JPEG"};
    }
    return {std::move(*jpeg), false,
            note + ", stored as a JPEG of quality " + std::to_string(s.Quality)};
}

PackedPicture PrepareJpeg(const Bytes& file, const std::string& path, const PictureSettings& s) {
    const auto header = ReadJpegHeader(file);
    if (!header) {
        // As before these conversions: the player's own decoder has the last word.
        return {file, false, "packed as it is: its JPEG header cannot be read"};
    }
    const Orientation orientation =
        s.KeepOrientation ? Orientation::Upright : JpegOrientation(file);
    const bool swap = SwapsSides(orientation);
    const Size upright{swap ? header->Height : header->Width,
                       swap ? header->Width : header->Height};
    if (NeedsScaling(upright, s)) {
        if (!s.MaxWidth && !IsAcceptablePictureSize(upright.Width, upright.Height)) {
            RefuseTooLarge(path, upright);
        }
        const RgbImage scaled = DecodeWithQt(file, path, s);
        return Encode(scaled, s,
                      "scaled from " + SizeText(upright) + " to " +
                          SizeText({scaled.Width, scaled.Height}));
    }
    if (orientation == Orientation::Upright) {
        return {file, false, {}};
    }
    const std::string turned =
        "turned upright (Exif orientation " + std::to_string(int(orientation)) + ")";
    if (auto lossless = TurnJpegLosslessly(file, orientation)) {
        return {std::move(*lossless), false, turned + " without loss"};
    }
    const auto stored = DecodeJpegToRgb(file);
    if (!stored) {
        throw PictureRefused{"the picture \"" + path + "\" is a damaged JPEG file"};
    }
    auto jpeg = EncodeJpeg(Upright(*stored, orientation), s.Quality);
    if (!jpeg) {
        throw PictureRefused{"cannot encode the picture as JPEG"};
    }
    return {std::move(*jpeg), false,
            turned + ", re-encoded at quality " + std::to_string(s.Quality)};
}

PackedPicture PrepareBitmap(const Bytes& file, const std::string& path, const PictureSettings& s) {
    QByteArray bytes(reinterpret_cast<const char*>(file.data()),
                     static_cast<qsizetype>(file.size()));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "bmp");
    const QSize stored = reader.size();
    const Size size{stored.width(), stored.height()};
    if (!stored.isValid() || !NeedsScaling(size, s)) {
        return {file, true, {}}; // the player's own reader takes more kinds of bitmap than Qt's
    }
    if (!s.MaxWidth && !IsAcceptablePictureSize(size.Width, size.Height)) {
        RefuseTooLarge(path, size);
    }
    const RgbImage scaled = DecodeWithQt(file, path, s);
    return Encode(scaled, s,
                  "scaled from " + SizeText(size) + " to " +
                      SizeText({scaled.Width, scaled.Height}));
}

} // namespace

PackedPicture PreparePicture(const Bytes& file, const std::string& path, const PictureSettings& s) {
    if (StartsWith(file, {0xFF, 0xD8, 0xFF})) {
        return PrepareJpeg(file, path, s);
    }
    if (StartsWith(file, {'B', 'M'})) {
        return PrepareBitmap(file, path, s);
    }
    const RgbImage image = DecodeWithQt(file, path, s);
    return Encode(image, s, "converted to " + SizeText({image.Width, image.Height}));
}

bool StartsWith(const std::vector<std::uint8_t>& bytes,
                std::initializer_list<std::uint8_t> prefix) {
    return bytes.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), bytes.begin());
}
