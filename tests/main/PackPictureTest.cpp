// Pictures as people bring them: camera JPEGs with an Exif orientation and formats other than
// JPEG and BMP, packed by tavrin-pack and loaded by the player.
#include "main/CameraPictures.h"
#include "main/Main.h"
#include "main/MessageRecorder.h"
#include "main/Pictures.h"
#include "main/ShowForm.h"
#include "package/PackageTrailer.h"
#include "picture/PictureFile.h"
#include "support/TestSupport.h"

#include <QBuffer>
#include <QImageReader>
#include <QTransform>
#include <gtest/gtest.h>

namespace {

// A GIF file of `image` (at most 256 colours), written as Qt has no GIF writer: every pixel a
// 9-bit code, with a clear code often enough that the code width never grows.
Bytes GifOf(const QImage& image) {
    std::vector<QRgb> palette;
    std::vector<std::uint8_t> indices;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb rgb = image.pixel(x, y) | 0xFF000000;
            auto found = std::find(palette.begin(), palette.end(), rgb);
            if (found == palette.end()) {
                palette.push_back(rgb);
                found = palette.end() - 1;
            }
            indices.push_back(static_cast<std::uint8_t>(found - palette.begin()));
        }
    }
    EXPECT_LE(palette.size(), 256u);
    palette.resize(256);
    const auto w = static_cast<std::uint16_t>(image.width());
    const auto h = static_cast<std::uint16_t>(image.height());
    Bytes gif = {'G',
                 'I',
                 'F',
                 '8',
                 '9',
                 'a',
                 std::uint8_t(w),
                 std::uint8_t(w >> 8),
                 std::uint8_t(h),
                 std::uint8_t(h >> 8),
                 0xF7,
                 0,
                 0};
    for (const QRgb c : palette) {
        gif.insert(gif.end(),
                   {std::uint8_t(qRed(c)), std::uint8_t(qGreen(c)), std::uint8_t(qBlue(c))});
    }
    gif.insert(gif.end(), {0x2C, 0, 0, 0, 0, std::uint8_t(w), std::uint8_t(w >> 8), std::uint8_t(h),
                           std::uint8_t(h >> 8), 0, 8});
    Bytes data;
    std::uint32_t bits = 0;
    int count = 0;
    const auto Emit = [&](unsigned code) {
        bits |= code << count;
        for (count += 9; count >= 8; count -= 8, bits >>= 8) {
            data.push_back(static_cast<std::uint8_t>(bits));
        }
    };
    for (std::size_t i = 0; i < indices.size(); ++i) {
        if (i % 250 == 0) {
            Emit(256); // clear
        }
        Emit(indices[i]);
    }
    Emit(257); // end of information
    if (count > 0) {
        data.push_back(static_cast<std::uint8_t>(bits));
    }
    for (std::size_t at = 0; at < data.size(); at += 255) {
        const std::size_t n = std::min<std::size_t>(255, data.size() - at);
        gif.push_back(static_cast<std::uint8_t>(n));
        gif.insert(gif.end(), data.begin() + at, data.begin() + at + n);
    }
    gif.insert(gif.end(), {0, 0x3B});
    return gif;
}

QImage ImageOf(const Bitmap& bitmap) {
    QImage image(bitmap.Width(), bitmap.Height(), QImage::Format_RGB32);
    for (int y = 0; y < bitmap.Height(); ++y) {
        for (int x = 0; x < bitmap.Width(); ++x) {
            const Pixel p = bitmap.At(x, y);
            image.setPixel(x, y, qRgb(Red(p), Green(p), Blue(p)));
        }
    }
    return image;
}

QImage ReadWithQt(const Bytes& file, bool autoTransform) {
    QByteArray bytes(reinterpret_cast<const char*>(file.data()), qsizetype(file.size()));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(autoTransform);
    return reader.read().convertToFormat(QImage::Format_RGB32);
}

struct PackedPicture {
    CommandResult Result;
    Bytes File;
    bool IsBitmap = false;
};

class PackPictureTest : public ::testing::Test {
protected:
    ScratchFolder Work;

    // Packs `file` as the picture and returns what the package holds.
    PackedPicture Pack(const Bytes& file, const std::string& name,
                       const std::vector<std::string>& extra = {}) {
        WriteBytes(Work.File("player"), PayloadOf(3000, {0x7F, 'E', 'L', 'F'}));
        WriteBytes(Work.File(name), file);
        std::vector<std::string> args = {"--player",  Work.File("player"),
                                         "--picture", Work.File(name),
                                         "-o",        Work.File("package")};
        args.insert(args.end(), extra.begin(), extra.end());
        PackedPicture packed{RunPackTool(args), {}, false};
        if (packed.Result.ExitCode != 0) {
            return packed;
        }
        const Bytes package = ReadBytes(Work.File("package"));
        const auto t = PackageTrailer::Decode(std::span<const std::uint8_t, PackageTrailer::Size>(
            package.data() + package.size() - PackageTrailer::Size, PackageTrailer::Size));
        const auto end = package.end() - PackageTrailer::Size;
        packed.File.assign(end - t.PictureSize, end);
        packed.IsBitmap = t.PictureIsBitmap != 0;
        return packed;
    }

    // The packed picture as the player decodes it.
    static QImage Decoded(const PackedPicture& packed) {
        const auto bitmap =
            DecodePictureFile(packed.File, packed.IsBitmap ? "tavrin.bmp" : "tavrin.jpg");
        return bitmap ? ImageOf(*bitmap) : QImage();
    }
};

constexpr int JpegTolerance = 12;
// A block turned a quarter runs the decoder's two passes in the other order.
constexpr int LosslessTolerance = 4;

} // namespace

TEST_F(PackPictureTest, EveryExifOrientationPacksUpright) {
    // 208 x 160 is whole coding blocks, turned without loss; 205 x 155 is not, and is re-encoded
    // except for the transposition, which keeps the top-left corner and so every block.
    for (const QSize size : {QSize(208, 160), QSize(205, 155)}) {
        const QImage upright = CoordinatePicture(size.width(), size.height());
        for (int orientation = 1; orientation <= 8; ++orientation) {
            SCOPED_TRACE(testing::Message()
                         << size.width() << "x" << size.height() << " orientation " << orientation);
            const Bytes camera = CameraJpeg(StoredFor(upright, orientation), orientation);
            // The fixture is what an independent reader takes for this orientation.
            ASSERT_LE(MaxDifference(ReadWithQt(camera, true), upright), JpegTolerance);

            const PackedPicture packed = Pack(camera, "camera.jpg");
            ASSERT_EQ(packed.Result.ExitCode, 0) << packed.Result.Err;
            EXPECT_FALSE(packed.IsBitmap);
            const QImage shown = Decoded(packed);
            EXPECT_LE(MaxDifference(shown, upright), JpegTolerance);
            // Nothing left in the file asks a reader to turn it again.
            EXPECT_LE(MaxDifference(ReadWithQt(packed.File, true), shown), 2);
            if (orientation == 1) {
                // Byte for byte, without the Exif block.
                EXPECT_EQ(packed.File, FileOf(StoredFor(upright, 1), "JPG", 95));
                continue;
            }
            if (orientation == 5 || (size.width() % 16 == 0 && size.height() % 16 == 0)) {
                EXPECT_NE(packed.Result.Out.find("without loss"), std::string::npos);
                // The same coded blocks, rearranged: only the decoder's rounding differs.
                EXPECT_LE(MaxDifference(ReadWithQt(packed.File, false), ReadWithQt(camera, true)),
                          LosslessTolerance);
            } else {
                EXPECT_NE(packed.Result.Out.find("re-encoded at quality 95"), std::string::npos)
                    << packed.Result.Out;
            }
        }
    }
}

TEST_F(PackPictureTest, BigEndianExifAndTheKeepAndQualityOptions) {
    const QImage upright = CoordinatePicture(205, 155);
    const Bytes motorola = CameraJpeg(StoredFor(upright, 6), 6, true);
    EXPECT_LE(MaxDifference(Decoded(Pack(motorola, "m.jpg")), upright), JpegTolerance);

    const PackedPicture kept = Pack(motorola, "m.jpg", {"--keep-orientation", "--keep-metadata"});
    ASSERT_EQ(kept.Result.ExitCode, 0) << kept.Result.Err;
    EXPECT_EQ(kept.File, motorola);

    const Bytes camera = CameraJpeg(StoredFor(upright, 3), 3);
    const std::size_t fine = Pack(camera, "c.jpg", {"--quality", "100"}).File.size();
    const PackedPicture coarse = Pack(camera, "c.jpg", {"--quality", "20"});
    EXPECT_LT(coarse.File.size(), fine);
    EXPECT_NE(coarse.Result.Out.find("quality 20"), std::string::npos);
}

TEST_F(PackPictureTest, OtherFormatsBecomeBitmapsThePlayerShowsPixelForPixel) {
    // Few colours (192), so that GIF keeps them all; large enough for a puzzle of type 4.
    QImage source(400, 300, QImage::Format_RGB32);
    for (int y = 0; y < source.height(); ++y) {
        for (int x = 0; x < source.width(); ++x) {
            source.setPixel(x, y, qRgb(x / 25 * 16, y / 25 * 20, (x / 25 + y / 25) % 2 * 200));
        }
    }
    for (const char* format : {"PNG", "GIF", "WEBP", "TIFF"}) {
        SCOPED_TRACE(format);
        const Bytes file =
            std::string(format) == "GIF" ? GifOf(source) : FileOf(source, format, 100);
        ASSERT_GT(file.size(), 0u) << "Qt cannot write " << format;
        ASSERT_EQ(MaxDifference(ReadWithQt(file, false), source), 0) << "a lossy fixture";
        const std::string name = std::string("picture.") + format;
        const PackedPicture packed = Pack(file, name, {"--type", "4"});
        ASSERT_EQ(packed.Result.ExitCode, 0) << packed.Result.Err;
        EXPECT_TRUE(packed.IsBitmap);
        EXPECT_EQ(packed.File[28], 24); // bits per pixel

        // And it plays: the thumbnail is the source, pixel for pixel.
        ScratchFolder runtime;
        ScopedEnvironment xdg("XDG_RUNTIME_DIR", runtime.Path().c_str());
        MessageRecorder messages;
        TFormMain form(Work.File("package"));
        ShowForm(form);
        for (const auto& call : messages.Calls) {
            ADD_FAILURE() << "message: " << call.Text.toStdString();
        }
        form.ShowThumbnailMenuClick(); // the picture file is read again for it
        ASSERT_TRUE(form.ThumbnailPicture());
        EXPECT_EQ(MaxDifference(ImageOf(*form.ThumbnailPicture()), source), 0);
        EXPECT_GT(form.Game().Pieces()->Count(), 0u);
        form.close();
    }
}

TEST_F(PackPictureTest, TransparencyIsShownOnWhite) {
    QImage source(200, 150, QImage::Format_ARGB32);
    source.fill(qRgba(0, 0, 255, 0));
    source.setPixel(5, 5, qRgba(0, 0, 255, 255));
    const PackedPicture packed = Pack(FileOf(source, "PNG"), "clear.png");
    ASSERT_EQ(packed.Result.ExitCode, 0) << packed.Result.Err;
    const QImage shown = Decoded(packed);
    EXPECT_EQ(shown.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(shown.pixel(5, 5), qRgb(0, 0, 255));
}

TEST_F(PackPictureTest, LargeConversionsBecomeJpegsUnlessLosslessIsAsked) {
    const QImage big = CoordinatePicture(2000, 1001); // just over 2 megapixels
    const Bytes png = FileOf(big, "PNG");
    const PackedPicture jpeg = Pack(png, "big.png");
    ASSERT_EQ(jpeg.Result.ExitCode, 0) << jpeg.Result.Err;
    EXPECT_FALSE(jpeg.IsBitmap);
    EXPECT_LE(MaxDifference(Decoded(jpeg), big), JpegTolerance);
    const PackedPicture bitmap = Pack(png, "big.png", {"--lossless"});
    EXPECT_TRUE(bitmap.IsBitmap);
    EXPECT_EQ(MaxDifference(Decoded(bitmap), big), 0);
    const PackedPicture small = Pack(FileOf(CoordinatePicture(2000, 1000), "PNG"), "two.png");
    EXPECT_TRUE(small.IsBitmap);
}

TEST_F(PackPictureTest, PicturesBeyondThePlayersLimitsAreRefusedOrScaledDown) {
    for (const auto& [bytes, name] :
         {std::pair{FileOf(CoordinatePicture(16385, 480), "PNG"), "wide.png"},
          std::pair{FileOf(CoordinatePicture(16400, 480), "JPG"), "wide.jpg"},
          std::pair{FileOf(CoordinatePicture(16385, 480), "BMP"), "wide.bmp"}}) {
        SCOPED_TRACE(name);
        const PackedPicture refused = Pack(bytes, name, {"--max-size", "none"});
        EXPECT_EQ(refused.Result.ExitCode, 2);
        EXPECT_NE(refused.Result.Err.find("at most 16384 pixels a side"), std::string::npos)
            << refused.Result.Err;
        EXPECT_NE(refused.Result.Err.find("--max-size"), std::string::npos);

        const PackedPicture scaled = Pack(bytes, name, {"--max-size", "4096x4096"});
        ASSERT_EQ(scaled.Result.ExitCode, 0) << scaled.Result.Err;
        EXPECT_EQ(Decoded(scaled).width(), 4096);
    }
    // --max-size also shrinks pictures the player would take; smaller ones stay as they are.
    const Bytes photo = FileOf(CoordinatePicture(640, 480), "JPG");
    const PackedPicture shrunk = Pack(photo, "photo.jpg", {"--max-size", "320x320"});
    EXPECT_EQ(Decoded(shrunk).size(), QSize(320, 240));
    EXPECT_EQ(Pack(photo, "photo.jpg", {"--max-size", "640x480"}).File, photo);
}

TEST_F(PackPictureTest, AnUnreadablePictureIsRefusedWithTheFormatsThatWork) {
    const PackedPicture refused = Pack(PayloadOf(500, {'f', 't', 'y', 'p'}), "photo.heic");
    EXPECT_EQ(refused.Result.ExitCode, 2);
    EXPECT_NE(refused.Result.Err.find("in no format this tool can read"), std::string::npos)
        << refused.Result.Err;
    EXPECT_NE(refused.Result.Err.find("png"), std::string::npos);
}

namespace {

Bytes Segment(std::uint8_t marker, const std::string& body) {
    Bytes segment = {0xFF, marker, std::uint8_t((body.size() + 2) >> 8),
                     std::uint8_t(body.size() + 2)};
    segment.insert(segment.end(), body.begin(), body.end());
    return segment;
}

// Exif (little-endian) naming the phone, the orientation and where it was: a GPS directory.
Bytes PrivateExif(int orientation) {
    std::string tiff = std::string("II*\0", 4) + std::string("\x08\0\0\0", 4);
    const auto Put16 = [&](unsigned v) { tiff += {char(v & 0xFF), char(v >> 8)}; };
    const auto Put32 = [&](unsigned v) { Put16(v & 0xFFFF), Put16(v >> 16); };
    const auto Entry = [&](unsigned tag, unsigned type, unsigned count, unsigned value) {
        Put16(tag), Put16(type), Put32(count), Put32(value);
    };
    Put16(3);                         // the first directory, at 8, ends at 50
    Entry(0x010F, 2, 6, 50);          // make: "Phone" at 50
    Entry(0x0112, 3, 1, orientation); // orientation
    Entry(0x8825, 4, 1, 56);          // the GPS directory, at 56
    Put32(0);
    tiff += std::string("Phone\0", 6);
    Put16(1);
    Entry(0x0001, 2, 2, 'N'); // latitude north
    Put32(0);
    return Segment(0xE1, std::string("Exif\0\0", 6) + tiff);
}

struct PrivatePhoto {
    Bytes File;    // as the phone wrote it
    Bytes Private; // what may not travel unasked
    Bytes Needed;  // what the picture needs: the phone's file without its metadata
};

// A phone's photo: Exif with GPS, XMP, a colour profile, a comment and data past its end.
PrivatePhoto PhonePhoto(const QImage& stored, int orientation) {
    const Bytes plain = FileOf(stored, "JPG", 95);
    const auto afterApp0 = static_cast<std::ptrdiff_t>(4 + (std::size_t{plain[4]} << 8 | plain[5]));
    const Bytes exif = PrivateExif(orientation);
    const Bytes xmp = Segment(0xE1, std::string("http://ns.adobe.com/xap/1.0/\0<x:xmpmeta/>", 42));
    const Bytes icc = Segment(0xE2, std::string("ICC_PROFILE\0\x01\x01", 14) + "colours");
    const Bytes comment = Segment(0xFE, "taken at home");
    const std::string after = "a second picture";
    PrivatePhoto photo;
    photo.File.assign(plain.begin(), plain.begin() + afterApp0);
    for (const Bytes* segment : {&exif, &xmp, &icc, &comment}) {
        photo.File.insert(photo.File.end(), segment->begin(), segment->end());
    }
    photo.File.insert(photo.File.end(), plain.begin() + afterApp0, plain.end());
    photo.File.insert(photo.File.end(), after.begin(), after.end());
    photo.Needed.assign(plain.begin(), plain.begin() + afterApp0);
    photo.Needed.insert(photo.Needed.end(), icc.begin(), icc.end());
    photo.Needed.insert(photo.Needed.end(), plain.begin() + afterApp0, plain.end());
    return photo;
}

bool Holds(const Bytes& bytes, const std::string& text) {
    return std::search(bytes.begin(), bytes.end(), text.begin(), text.end()) != bytes.end();
}

} // namespace

TEST_F(PackPictureTest, APhotosMetadataIsRemovedWithoutReencodingUnlessKept) {
    const QImage upright = CoordinatePicture(208, 160);
    const PrivatePhoto photo = PhonePhoto(upright, 1);
    ASSERT_TRUE(Holds(photo.File, "Phone") && Holds(photo.File, "a second picture"));

    const PackedPicture packed = Pack(photo.File, "phone.jpg");
    ASSERT_EQ(packed.Result.ExitCode, 0) << packed.Result.Err;
    EXPECT_EQ(packed.File, photo.Needed); // the coded picture and its colour profile, untouched
    EXPECT_EQ(MaxDifference(Decoded(packed), ReadWithQt(photo.File, true)), 0);
    EXPECT_NE(packed.Result.Out.find("removed from the picture: Exif (GPS position and camera), "
                                     "XMP, a comment and 16 bytes after the picture"),
              std::string::npos)
        << packed.Result.Out;
    EXPECT_EQ(InfoFields(Work.File("package")).at("picture-metadata"), "none");

    const PackedPicture kept = Pack(photo.File, "phone.jpg", {"--keep-metadata"});
    ASSERT_EQ(kept.Result.ExitCode, 0) << kept.Result.Err;
    EXPECT_EQ(kept.File, photo.File);
    EXPECT_EQ(InfoFields(Work.File("package")).at("picture-metadata"),
              "Exif (GPS position and camera), XMP, a comment and 16 bytes after the picture");

    // A turned photo is turned first; only its colour profile goes along, or everything, marked
    // upright, when kept.
    const PrivatePhoto turned = PhonePhoto(StoredFor(upright, 6), 6);
    const PackedPicture bare = Pack(turned.File, "turned.jpg");
    ASSERT_EQ(bare.Result.ExitCode, 0) << bare.Result.Err;
    EXPECT_FALSE(Holds(bare.File, "Phone") || Holds(bare.File, "Exif") || Holds(bare.File, "xap") ||
                 Holds(bare.File, "at home") || Holds(bare.File, "a second picture"));
    EXPECT_TRUE(Holds(bare.File, "ICC_PROFILE"));
    EXPECT_LE(MaxDifference(Decoded(bare), upright), JpegTolerance);
    const PackedPicture whole = Pack(turned.File, "turned.jpg", {"--keep-metadata"});
    EXPECT_TRUE(Holds(whole.File, "Phone") && Holds(whole.File, "xap"));
    EXPECT_LE(MaxDifference(ReadWithQt(whole.File, true), upright), JpegTolerance);
}

TEST_F(PackPictureTest, LargePhotosAreScaledToFitA4KScreenUnlessAskedNotTo) {
    const QImage big = CoordinatePicture(4000, 3000);
    const Bytes photo = FileOf(big, "JPG", 90);
    const PackedPicture packed = Pack(photo, "big.jpg");
    ASSERT_EQ(packed.Result.ExitCode, 0) << packed.Result.Err;
    EXPECT_EQ(packed.Result.Out, "tavrin-pack: picture scaled from 4000 x 3000 to 2880 x 2160 to "
                                 "fit a 4K screen (--max-size none keeps its size), stored as a "
                                 "JPEG of quality 95\n");
    const QImage shown = Decoded(packed);
    ASSERT_EQ(shown.size(), QSize(2880, 2160));
    const QImage smooth =
        ReadWithQt(photo, true).scaled(2880, 2160, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    EXPECT_LE(MaxDifference(shown, smooth), JpegTolerance);

    const PackedPicture original = Pack(photo, "big.jpg", {"--max-size", "none"});
    ASSERT_EQ(original.Result.ExitCode, 0) << original.Result.Err;
    EXPECT_EQ(original.File, photo);
    EXPECT_EQ(original.Result.Out, "");
}

TEST_F(PackPictureTest, AHeicPhotoIsRefusedWithHowToConvertIt) {
    Bytes heic = {0, 0, 0, 24, 'f', 't', 'y', 'p', 'h', 'e', 'i', 'c',
                  0, 0, 0, 0,  'm', 'i', 'f', '1', 'h', 'e', 'i', 'c'};
    heic.resize(600, 0x5A);
    const PackedPicture refused = Pack(heic, "IMG_0001.HEIC");
    EXPECT_EQ(refused.Result.ExitCode, 2);
    EXPECT_NE(refused.Result.Err.find("is a HEIC/HEIF photo"), std::string::npos)
        << refused.Result.Err;
    EXPECT_NE(refused.Result.Err.find("heif-convert photo.heic photo.jpg"), std::string::npos);
}
