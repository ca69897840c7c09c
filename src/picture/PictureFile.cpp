#include "picture/PictureFile.h"

#include "base/LittleEndian.h"
#include "base/WholeFile.h"
#include "picture/JpegDecoder.h"
#include "picture/PictureLimits.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <cstdlib>
#include <cstring>
#include <span>

namespace {

bool IsBitmapPath(const QString& path) {
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    return path.mid(dot).compare(QLatin1String(".BMP"), Qt::CaseInsensitive) == 0;
}

// Qt's reader pads a file whose pixel rows end early; such a file is damaged here.
bool UncompressedRowsAreComplete(const QByteArray& file) {
    const std::span b(reinterpret_cast<const std::uint8_t*>(file.constData()),
                      static_cast<std::size_t>(file.size()));
    if (b.size() < 54) {
        return false;
    }
    const std::uint32_t infoSize = LittleEndian32At(b, 14);
    if (infoSize < 40) {
        return true; // an old OS/2 header: Qt checks it alone
    }
    const std::uint32_t compression = LittleEndian32At(b, 30);
    if (compression != 0 && compression != 3) {
        return true; // run-length data has no fixed size
    }
    const auto width = static_cast<std::int32_t>(LittleEndian32At(b, 18));
    const auto height = static_cast<std::int32_t>(LittleEndian32At(b, 22));
    const int bits = LittleEndian16At(b, 28);
    const std::int64_t rowBytes =
        (std::int64_t{width < 0 ? -std::int64_t{width} : width} * bits + 31) / 32 * 4;
    const std::int64_t rows = height < 0 ? -std::int64_t{height} : height;
    return std::int64_t{LittleEndian32At(b, 10)} + rowBytes * rows <= file.size();
}

std::optional<Bitmap> BitmapOf(const QImage& image) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    if (rgb.isNull()) {
        return std::nullopt;
    }
    Bitmap picture(rgb.width(), rgb.height());
    for (int y = 0; y < rgb.height(); ++y) {
        std::memcpy(picture.Scanline(y), rgb.constScanLine(y),
                    static_cast<std::size_t>(rgb.width()) * sizeof(Pixel));
    }
    return picture;
}

std::optional<Bitmap> DecodeBmp(QByteArray& bytes) {
    if (!UncompressedRowsAreComplete(bytes)) {
        return std::nullopt;
    }
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "bmp");
    // Qt states a top-down file's height as negative.
    const QSize size = reader.size();
    if (!IsAcceptablePictureSize(std::abs(size.width()), std::abs(size.height()))) {
        return std::nullopt;
    }
    QImage image;
    if (!reader.read(&image) || image.isNull() ||
        !IsAcceptablePictureSize(image.width(), image.height())) {
        return std::nullopt;
    }
    return BitmapOf(image);
}

} // namespace

Result<std::vector<std::uint8_t>> ReadPictureFile(const std::string& path) {
    return ReadWholeFile(path, MaxPictureFileSize);
}

std::optional<DecodedPicture> DecodePictureFile(std::span<const std::uint8_t> bytes,
                                                const std::string& path, const LeastSize& least) {
    const QString name = QString::fromStdString(path);
    if (!name.contains(QLatin1Char('.'))) {
        return std::nullopt;
    }
    if (!IsBitmapPath(name)) {
        return DecodeJpeg(bytes, least);
    }
    QImageReader::setAllocationLimit(512);
    QByteArray copy(reinterpret_cast<const char*>(bytes.data()),
                    static_cast<qsizetype>(bytes.size()));
    std::optional<Bitmap> picture = DecodeBmp(copy);
    if (!picture) {
        return std::nullopt;
    }
    const PictureSize full{picture->Width(), picture->Height()};
    return DecodedPicture{std::move(*picture), full};
}

std::optional<Bitmap> DecodePictureFile(std::span<const std::uint8_t> bytes,
                                        const std::string& path) {
    std::optional<DecodedPicture> decoded = DecodePictureFile(bytes, path, LeastSize());
    if (!decoded) {
        return std::nullopt;
    }
    return std::move(decoded->Pixels);
}
