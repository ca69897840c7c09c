#include "picture/PictureFile.h"

#include "picture/JpegDecoder.h"
#include "picture/PictureLimits.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>
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

std::uint32_t LittleEndian32(const QByteArray& b, qsizetype at) {
    std::uint32_t v = 0;
    std::memcpy(&v, b.constData() + at, 4);
    return v;
}

// Qt's reader pads a file whose pixel rows end early; such a file is damaged here.
bool UncompressedRowsAreComplete(const QByteArray& b) {
    if (b.size() < 54) {
        return false;
    }
    const std::uint32_t infoSize = LittleEndian32(b, 14);
    if (infoSize < 40) {
        return true; // an old OS/2 header: Qt checks it alone
    }
    const std::uint32_t compression = LittleEndian32(b, 30);
    if (compression != 0 && compression != 3) {
        return true; // run-length data has no fixed size
    }
    const auto width = static_cast<std::int32_t>(LittleEndian32(b, 18));
    const auto height = static_cast<std::int32_t>(LittleEndian32(b, 22));
    const int bits = static_cast<unsigned char>(b[28]) | static_cast<unsigned char>(b[29]) << 8;
    const std::int64_t rowBytes =
        (std::int64_t{width < 0 ? -std::int64_t{width} : width} * bits + 31) / 32 * 4;
    const std::int64_t rows = height < 0 ? -std::int64_t{height} : height;
    return std::int64_t{LittleEndian32(b, 10)} + rowBytes * rows <= b.size();
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

std::optional<Bitmap> LoadPictureFile(const QString& path) {
    const std::string file = path.toStdString();
    const std::optional<std::vector<std::uint8_t>> bytes = ReadPictureFile(file);
    return bytes ? DecodePictureFile(*bytes, file) : std::nullopt;
}

std::optional<std::vector<std::uint8_t>> ReadPictureFile(const std::string& path) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly) || file.size() > MaxPictureFileSize) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(file.size()));
    const qint64 read = file.read(reinterpret_cast<char*>(bytes.data()), file.size());
    if (read < 0 || file.error() != QFile::NoError) {
        return std::nullopt;
    }
    bytes.resize(static_cast<std::size_t>(read));
    return bytes;
}

std::optional<Bitmap> DecodePictureFile(std::span<const std::uint8_t> bytes,
                                        const std::string& path) {
    const QString name = QString::fromStdString(path);
    if (!name.contains(QLatin1Char('.'))) {
        return std::nullopt;
    }
    if (IsBitmapPath(name)) {
        return DecodeBitmapFile(QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                           static_cast<qsizetype>(bytes.size())));
    }
    return DecodeJpeg(bytes);
}

std::optional<Bitmap> DecodeBitmapFile(QByteArray bytes) {
    QImageReader::setAllocationLimit(512);
    return DecodeBmp(bytes);
}

std::optional<Bitmap> DecodeJpegFile(const QByteArray& bytes) {
    return DecodeJpeg(std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                static_cast<std::size_t>(bytes.size())));
}
