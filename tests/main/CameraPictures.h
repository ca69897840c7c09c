#pragma once

// Photos as cameras store them: a picture that shows where each pixel belongs, turned as a
// camera turned it, with an Exif orientation block saying how to show it upright.
#include "main/Pictures.h"

#include <QTransform>
#include <algorithm>
#include <cstdlib>

// Every pixel tells where it is: red grows to the right, green downwards.
inline QImage CoordinatePicture(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.setPixel(x, y, qRgb(x * 255 / (width - 1), y * 255 / (height - 1), 96));
        }
    }
    return image;
}

// The picture a camera stores so that a viewer honouring `orientation` shows `upright`.
inline QImage StoredFor(const QImage& upright, int orientation) {
    const QImage clockwise = upright.transformed(QTransform().rotate(90));
    switch (orientation) {
    case 2:
        return upright.mirrored(true, false);
    case 3:
        return upright.mirrored(true, true);
    case 4:
        return upright.mirrored(false, true);
    case 5:
        return clockwise.mirrored(true, false);
    case 6:
        return upright.transformed(QTransform().rotate(-90));
    case 7:
        return clockwise.mirrored(false, true);
    case 8:
        return clockwise;
    }
    return upright;
}

// An APP1 Exif segment whose first directory holds only the orientation tag.
inline Bytes ExifSegment(int orientation, bool bigEndian) {
    const auto Put16 = [&](Bytes& out, unsigned v) {
        bigEndian ? out.insert(out.end(), {std::uint8_t(v >> 8), std::uint8_t(v)})
                  : out.insert(out.end(), {std::uint8_t(v), std::uint8_t(v >> 8)});
    };
    const auto Put32 = [&](Bytes& out, unsigned v) {
        bigEndian ? (Put16(out, v >> 16), Put16(out, v & 0xFFFF))
                  : (Put16(out, v & 0xFFFF), Put16(out, v >> 16));
    };
    Bytes body = {'E', 'x', 'i', 'f', 0, 0};
    const std::uint8_t order = bigEndian ? 'M' : 'I';
    body.insert(body.end(), {order, order});
    Put16(body, 42);
    Put32(body, 8);      // the first directory follows the header
    Put16(body, 1);      // one entry
    Put16(body, 0x0112); // orientation
    Put16(body, 3);      // SHORT
    Put32(body, 1);
    Put16(body, static_cast<unsigned>(orientation));
    Put16(body, 0);
    Put32(body, 0); // no next directory
    // Filled in place: GCC 12 takes an insert after a short list for a write out of bounds.
    Bytes segment(body.size() + 4);
    segment[0] = 0xFF;
    segment[1] = 0xE1;
    segment[2] = std::uint8_t((body.size() + 2) >> 8);
    segment[3] = std::uint8_t(body.size() + 2);
    std::copy(body.begin(), body.end(), segment.begin() + 4);
    return segment;
}

// A camera's JPEG: `stored` with an Exif block after the JFIF header.
inline Bytes CameraJpeg(const QImage& stored, int orientation, bool bigEndian = false) {
    Bytes jpeg = FileOf(stored, "JPG", 95);
    const std::size_t afterApp0 = 4 + (std::size_t{jpeg[4]} << 8 | jpeg[5]);
    const Bytes exif = ExifSegment(orientation, bigEndian);
    jpeg.insert(jpeg.begin() + static_cast<std::ptrdiff_t>(afterApp0), exif.begin(), exif.end());
    return jpeg;
}

// The largest difference of one colour channel between two pictures of one size, or 256 when
// the sizes differ.
inline int MaxDifference(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) {
        return 256;
    }
    int most = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            most = std::max({most, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                             std::abs(qBlue(p) - qBlue(q))});
        }
    }
    return most;
}
