#pragma once

#include "support/TestSupport.h"

#include <QBuffer>
#include <QImage>

// A picture with detail everywhere, so that every piece differs from its neighbours.
inline QImage PatternImage(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.setPixel(x, y, qRgb((x * 3 + y) % 256, (y * 5) % 256, (x + y * 2) % 256));
        }
    }
    return image;
}

// The image as a file of the given format ("JPG" or "BMP").
inline Bytes FileOf(const QImage& image, const char* format, int quality = 95) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, quality);
    return Bytes(bytes.begin(), bytes.end());
}

inline Bytes JpegOf(int width, int height) {
    return FileOf(PatternImage(width, height), "JPG");
}
