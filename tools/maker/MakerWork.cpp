#include "MakerWork.h"

#include "ExifOrientation.h"
#include "PictureConversion.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QImageReader>
#include <QTransform>
#include <algorithm>
#include <span>

namespace {

// The picture turned as the camera said it is to be shown.
QImage Upright(const QImage& stored, Orientation orientation) {
    const QTransform quarter = QTransform().rotate(90);
    switch (orientation) {
    case Orientation::MirrorHorizontal:
        return stored.mirrored(true, false);
    case Orientation::Rotate180:
        return stored.mirrored(true, true);
    case Orientation::MirrorVertical:
        return stored.mirrored(false, true);
    case Orientation::Transpose:
        return stored.transformed(quarter).mirrored(true, false);
    case Orientation::Rotate90:
        return stored.transformed(quarter);
    case Orientation::Transverse:
        return stored.transformed(quarter).mirrored(false, true);
    case Orientation::Rotate270:
        return stored.transformed(QTransform().rotate(270));
    case Orientation::Upright:
        break;
    }
    return stored;
}

LoadedPhoto Refused(LoadedPhoto photo) {
    std::string problem = PictureProblem(photo.Path.toStdString(), PictureSettings{});
    if (problem.empty()) {
        problem = "the picture \"" + photo.Path.toStdString() + "\" cannot be shown here";
    }
    photo.Problem = QString::fromStdString(problem);
    photo.Preview = QImage();
    return photo;
}

} // namespace

LoadedPhoto LoadPhoto(const QString& path) {
    LoadedPhoto photo;
    photo.Path = path;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return Refused(photo);
    }
    QByteArray bytes = file.readAll();
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
