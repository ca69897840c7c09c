#include "MakerWork.h"

#include "ExifOrientation.h"
#include "PictureConversion.h"
#include "base/WholeFile.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <algorithm>
#include <span>

namespace {

// The picture turned as the camera said it is to be shown, by the tool's own turning, with its
// transparent parts on white as the tool packs them.
QImage Upright(const QImage& stored, Orientation orientation) {
    if (orientation == Orientation::Upright && !stored.hasAlphaChannel()) {
        return stored;
    }
    RgbImage upright = Upright(RgbOf(stored), orientation);
    return QImage(upright.Pixels.data(), upright.Width, upright.Height, upright.Width * 3,
                  QImage::Format_RGB888)
        .copy();
}

LoadedPhoto Refused(LoadedPhoto photo) {
    const std::string path = photo.Path.toStdString();
    const PackProblem damaged{PackFault::PictureDamaged, PackInput::Picture, path};
    const ArgumentsCheck checked = CheckPictureFile(path, PictureSettings{});
    photo.Refused = checked ? damaged : checked.Error().Problem.value_or(damaged);
    photo.Preview = QImage();
    return photo;
}

} // namespace

LoadedPhoto LoadPhoto(const QString& path) {
    LoadedPhoto photo;
    photo.Path = path;
    const Result<std::vector<std::uint8_t>> read = ReadWholeFile(path.toStdString());
    if (!read) {
        return Refused(photo);
    }
    QByteArray bytes(reinterpret_cast<const char*>(read->data()), qsizetype(read->size()));
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.constData());
    const std::span<const std::uint8_t> span(data, static_cast<std::size_t>(bytes.size()));
    const bool jpeg = bytes.startsWith("\xFF\xD8");
    const Orientation orientation = jpeg ? JpegOrientation(span) : Orientation::Upright;

    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(false);
    const QSize stored = reader.size();
    if (!stored.isValid() || stored.isEmpty()) {
        return Refused(photo);
    }
    const bool swap = SwapsSides(orientation);
    const int uprightWidth = swap ? stored.height() : stored.width();
    const int uprightHeight = swap ? stored.width() : stored.height();
    const PictureSize packed = PackedPictureSize(uprightWidth, uprightHeight, PictureSettings{});
    photo.PackedWidth = packed.Width;
    photo.PackedHeight = packed.Height;

    const int longest = std::max(stored.width(), stored.height());
    if (longest > LoadedPhoto::PreviewSide) {
        reader.setScaledSize(
            stored.scaled(LoadedPhoto::PreviewSide, LoadedPhoto::PreviewSide, Qt::KeepAspectRatio));
    }
    // Only a JPEG is scaled while it decodes; the others are decoded whole first.
    QImageReader::setAllocationLimit(PictureReadLimitMegabytes);
    const QImage decoded = reader.read();
    if (decoded.isNull()) {
        return Refused(photo);
    }
    photo.Preview = Upright(decoded, orientation).convertToFormat(QImage::Format_RGB32);
    return photo;
}
