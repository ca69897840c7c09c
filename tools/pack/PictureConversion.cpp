#include "PictureConversion.h"

#include "ExifOrientation.h"
#include "HeifFile.h"
#include "JpegMetadata.h"
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

// The refusal of the picture at `path`, as data.
PackProblem PictureProblemOf(PackFault fault, const std::string& path) {
    PackProblem problem;
    problem.Fault = fault;
    problem.Input = PackInput::Picture;
    problem.Path = path;
    return problem;
}

BadArguments TooLarge(const std::string& path, Size size) {
    PackProblem problem = PictureProblemOf(PackFault::PictureTooLarge, path);
    problem.Width = static_cast<int>(size.Width);
    problem.Height = static_cast<int>(size.Height);
    problem.Limit = MaxPictureSide;
    problem.LimitPixels = static_cast<std::int64_t>(MaxPicturePixels);
    return BadArguments{"the picture \"" + path + "\" is " + SizeText(size) +
                            " pixels; the player takes at most " + std::to_string(MaxPictureSide) +
                            " pixels a side and " + std::to_string(MaxPicturePixels / 1'000'000) +
                            " megapixels (scale it down with --max-size WxH)",
                        problem};
}

struct DecodedPicture {
    RgbImage Image;
    Size Given; // upright, before any scaling
    bool Scaled() const { return Given.Width != Image.Width || Given.Height != Image.Height; }
};

// Reads any format Qt has a reader for, upright unless asked not to, scaled down to fit when
// needed.
PictureResult<DecodedPicture> DecodeWithQt(const Bytes& file, const std::string& path,
                                           const PictureSettings& s) {
    QByteArray bytes(reinterpret_cast<const char*>(file.data()),
                     static_cast<qsizetype>(file.size()));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(!s.KeepOrientation);
    if (!reader.canRead() && IsHeifFile(file)) {
        return BadArguments{"the picture \"" + path +
                                "\" is a HEIC/HEIF photo, which this tool cannot read; convert it "
                                "to JPEG first, for example with \"heif-convert photo.heic "
                                "photo.jpg\" (package libheif-examples) or ImageMagick's \"convert "
                                "photo.heic photo.jpg\"",
                            PictureProblemOf(PackFault::PictureHeic, path)};
    }
    if (!reader.canRead()) {
        std::string formats;
        for (const QByteArray& format : QImageReader::supportedImageFormats()) {
            formats += (formats.empty() ? "" : ", ") + format.toStdString();
        }
        return BadArguments{"the picture \"" + path +
                                "\" is in no format this tool can read (it reads " + formats + ")",
                            PictureProblemOf(PackFault::PictureUnknownFormat, path)};
    }
    const QSize stored = reader.size();
    std::optional<Size> given;
    if (stored.isValid()) {
        const bool swap = !s.KeepOrientation &&
                          (reader.transformation() & QImageIOHandler::TransformationRotate90);
        const Size upright{swap ? stored.height() : stored.width(),
                           swap ? stored.width() : stored.height()};
        given = upright;
        if (NeedsScaling(upright, s)) {
            if (!s.MaxWidth && !IsAcceptablePictureSize(upright.Width, upright.Height)) {
                return TooLarge(path, upright);
            }
            const Size target = ScaledSize(upright, s);
            reader.setScaledSize(swap ? QSize(int(target.Height), int(target.Width))
                                      : QSize(int(target.Width), int(target.Height)));
        }
    }
    QImageReader::setAllocationLimit(PictureReadLimitMegabytes);
    const QImage image = reader.read();
    if (image.isNull()) {
        PackProblem problem = PictureProblemOf(PackFault::PictureDamaged, path);
        problem.Detail = reader.errorString().toStdString();
        return BadArguments{"cannot read the picture \"" + path + "\": " + problem.Detail, problem};
    }
    const Size got{image.width(), image.height()};
    if (NeedsScaling(got, s)) {
        if (!s.MaxWidth && !IsAcceptablePictureSize(got.Width, got.Height)) {
            return TooLarge(path, got);
        }
        const Size target = ScaledSize(got, s);
        return DecodedPicture{RgbOf(image.scaled(int(target.Width), int(target.Height),
                                                 Qt::IgnoreAspectRatio, Qt::SmoothTransformation)),
                              given.value_or(got)};
    }
    return DecodedPicture{RgbOf(image), given.value_or(got)};
}

PictureResult<PackedPicture> Encode(const RgbImage& image, const PictureSettings& s,
                                    std::string note) {
    const Size size{image.Width, image.Height};
    if (s.Lossless || size.Pixels() <= LargestBitmapPixels) {
        return PackedPicture{EncodeBmp24(image), true, note + ", stored as a 24-bit bitmap", {}};
    }
    auto jpeg = EncodeJpeg(image, s.Quality);
    if (!jpeg) {
        return BadArguments{"cannot encode the picture as JPEG",
                            PictureProblemOf(PackFault::PictureNotEncoded, {})};
    }
    return PackedPicture{std::move(*jpeg),
                         false,
                         note + ", stored as a JPEG of quality " + std::to_string(s.Quality),
                         {}};
}

// Says why a picture was scaled: the default screen-sized limit, or the one asked for.
std::string ScalingNote(Size from, Size to, const PictureSettings& s) {
    std::string note = "scaled from " + SizeText(from) + " to " + SizeText(to);
    if (s.MaxWidth == PictureSettings::DefaultMaxWidth &&
        s.MaxHeight == PictureSettings::DefaultMaxHeight) {
        note += " to fit a 4K screen (--max-size none keeps its size)";
    }
    return note;
}

// A JPEG made from `source` keeps its colour profile, and its metadata when asked; what it
// does not keep is reported.
PictureResult<PackedPicture> CarryMarkers(PictureResult<PackedPicture> result, const Bytes& source,
                                          const PictureSettings& s) {
    if (!result) {
        return result;
    }
    PackedPicture& made = *result;
    const auto names = JpegMetadataNames(source);
    if (!made.IsBitmap) {
        made.File = WithMarkersOf(std::move(made.File), source, s.KeepMetadata);
    }
    if (!s.KeepMetadata || made.IsBitmap) {
        made.RemovedMetadata = names;
    }
    return result;
}

// An upright JPEG within the limits: as it is, or with its metadata cut out.
PackedPicture UprightJpeg(const Bytes& file, const PictureSettings& s) {
    if (s.KeepMetadata) {
        return {file, false, {}, {}};
    }
    const auto names = JpegMetadataNames(file);
    if (names.empty()) {
        return {file, false, {}, {}};
    }
    auto stripped = JpegWithoutMetadata(file);
    if (!stripped) {
        return {file, false, "packed with its metadata: its markers cannot be read", {}};
    }
    return {std::move(*stripped), false, {}, names};
}

PictureResult<PackedPicture> TurnedJpeg(const Bytes& file, const std::string& path,
                                        Orientation orientation, const PictureSettings& s) {
    const std::string turned =
        "turned upright (Exif orientation " + std::to_string(int(orientation)) + ")";
    if (auto lossless = TurnJpegLosslessly(file, orientation)) {
        return PackedPicture{std::move(*lossless), false, turned + " without loss", {}};
    }
    const auto stored = DecodeJpegToRgb(file);
    if (!stored) {
        return BadArguments{"the picture \"" + path + "\" is a damaged JPEG file",
                            PictureProblemOf(PackFault::PictureDamaged, path)};
    }
    auto jpeg = EncodeJpeg(Upright(*stored, orientation), s.Quality);
    if (!jpeg) {
        return BadArguments{"cannot encode the picture as JPEG",
                            PictureProblemOf(PackFault::PictureNotEncoded, {})};
    }
    return PackedPicture{std::move(*jpeg),
                         false,
                         turned + ", re-encoded at quality " + std::to_string(s.Quality),
                         {}};
}

PictureResult<PackedPicture> PrepareJpeg(const Bytes& file, const std::string& path,
                                         const PictureSettings& s) {
    const auto header = ReadJpegHeader(file);
    if (!header) {
        // As before these conversions: the player's own decoder has the last word.
        return PackedPicture{file, false, "packed as it is: its JPEG header cannot be read", {}};
    }
    const Orientation orientation =
        s.KeepOrientation ? Orientation::Upright : JpegOrientation(file);
    const bool swap = SwapsSides(orientation);
    const Size upright{swap ? header->Height : header->Width,
                       swap ? header->Width : header->Height};
    if (NeedsScaling(upright, s)) {
        if (!s.MaxWidth && !IsAcceptablePictureSize(upright.Width, upright.Height)) {
            return TooLarge(path, upright);
        }
        const PictureResult<DecodedPicture> decoded = DecodeWithQt(file, path, s);
        if (!decoded) {
            return decoded.Error();
        }
        const RgbImage& scaled = decoded->Image;
        return CarryMarkers(
            Encode(scaled, s, ScalingNote(upright, {scaled.Width, scaled.Height}, s)), file, s);
    }
    if (orientation == Orientation::Upright) {
        return UprightJpeg(file, s);
    }
    return CarryMarkers(TurnedJpeg(file, path, orientation, s), file, s);
}

PictureResult<PackedPicture> PrepareBitmap(const Bytes& file, const std::string& path,
                                           const PictureSettings& s) {
    QByteArray bytes(reinterpret_cast<const char*>(file.data()),
                     static_cast<qsizetype>(file.size()));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "bmp");
    const QSize stored = reader.size();
    const Size size{stored.width(), stored.height()};
    if (!stored.isValid() || !NeedsScaling(size, s)) {
        return PackedPicture{file, true, {}, {}}; // the player's reader takes more kinds than Qt's
    }
    if (!s.MaxWidth && !IsAcceptablePictureSize(size.Width, size.Height)) {
        return TooLarge(path, size);
    }
    const PictureResult<DecodedPicture> decoded = DecodeWithQt(file, path, s);
    if (!decoded) {
        return decoded.Error();
    }
    const RgbImage& scaled = decoded->Image;
    return Encode(scaled, s, ScalingNote(size, {scaled.Width, scaled.Height}, s));
}

} // namespace

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

PictureResult<PackedPicture> PreparePicture(const Bytes& file, const std::string& path,
                                            const PictureSettings& s) {
    if (StartsWith(file, {0xFF, 0xD8, 0xFF})) {
        return PrepareJpeg(file, path, s);
    }
    if (StartsWith(file, {'B', 'M'})) {
        return PrepareBitmap(file, path, s);
    }
    const PictureResult<DecodedPicture> decoded = DecodeWithQt(file, path, s);
    if (!decoded) {
        return decoded.Error();
    }
    const Size size{decoded->Image.Width, decoded->Image.Height};
    return Encode(decoded->Image, s,
                  decoded->Scaled() ? "converted and " + ScalingNote(decoded->Given, size, s)
                                    : "converted to " + SizeText(size));
}

bool StartsWith(const std::vector<std::uint8_t>& bytes,
                std::initializer_list<std::uint8_t> prefix) {
    return bytes.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), bytes.begin());
}

PictureSize PackedPictureSize(int width, int height, const PictureSettings& settings) {
    const Size size{width, height};
    if (width <= 0 || height <= 0 || !NeedsScaling(size, settings)) {
        return {width, height};
    }
    const Size scaled = ScaledSize(size, settings);
    return {static_cast<int>(scaled.Width), static_cast<int>(scaled.Height)};
}
