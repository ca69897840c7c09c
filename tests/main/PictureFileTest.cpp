#include "picture/PictureFile.h"

#include "main/Pictures.h"
#include "picture/JpegDecoder.h"

#include <QImageWriter>
#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <jpeglib.h>
#include <optional>
#include <string>

namespace {

// The BMP Suite's folder, when the corpus folder holds it.
std::optional<std::filesystem::path> BmpSuite() {
    const std::string corpus = CorpusFolder();
    if (corpus.empty()) {
        return std::nullopt;
    }
    const auto suite = std::filesystem::path(corpus) / "bmpsuite";
    return std::filesystem::is_directory(suite) ? std::optional(suite) : std::nullopt;
}

std::string BmpSuiteMissing() {
    const std::string corpus = CorpusFolder();
    return "BMP Suite corpus not found: set TAVRIN_CORPUS_DIR (CMake option or environment "
           "variable) to the folder that holds bmpsuite/" +
           (corpus.empty() ? std::string() : "; it is now " + corpus);
}

std::vector<std::filesystem::path> CorpusFiles(const std::filesystem::path& suite,
                                               const char* folder) {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(suite / folder)) {
        files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

// The size a BMP file's own header states.
QSize HeaderSize(const Bytes& b) {
    const auto u16 = [&](int at) { return b[at] | b[at + 1] << 8; };
    const auto i32 = [&](int at) {
        return static_cast<std::int32_t>(b[at] | b[at + 1] << 8 | b[at + 2] << 16 |
                                         static_cast<std::uint32_t>(b[at + 3]) << 24);
    };
    if (u16(14) == 12) {
        return {u16(18), u16(20)};
    }
    return {i32(18), std::abs(i32(22))};
}

std::string Saved(const ScratchFolder& folder, const std::string& name, const Bytes& bytes) {
    WriteBytes(folder.File(name), bytes);
    return folder.File(name);
}

// The picture file at `path` read and decoded as the player starts a game from it.
std::optional<Bitmap> Loaded(const std::string& path) {
    const Result<Bytes> bytes = ReadPictureFile(path);
    return bytes ? DecodePictureFile(*bytes, path) : std::nullopt;
}

Bytes Truncated(Bytes bytes) {
    bytes.resize(bytes.size() * 2 / 3);
    return bytes;
}

// A JPEG in Adobe's CMYK, inks stored inverted as Adobe's programs write them.
Bytes AdobeCmykJpeg(const std::vector<std::array<std::uint8_t, 4>>& blocks) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(16 * blocks.size());
    info.image_height = 16;
    info.input_components = 4;
    info.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 100, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> row(info.image_width * 4);
    for (std::size_t b = 0; b < blocks.size(); ++b) {
        for (int x = 0; x < 16; ++x) {
            for (int c = 0; c < 4; ++c) {
                row[(b * 16 + x) * 4 + c] = static_cast<JSAMPLE>(255 - blocks[b][c]);
            }
        }
    }
    for (int y = 0; y < 16; ++y) {
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&info, &r, 1);
    }
    jpeg_finish_compress(&info);
    Bytes bytes(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return bytes;
}

void ExpectNear(Pixel actual, int red, int green, int blue) {
    EXPECT_NEAR(Red(actual), red, 6);
    EXPECT_NEAR(Green(actual), green, 6);
    EXPECT_NEAR(Blue(actual), blue, 6);
}

} // namespace

TEST(PictureFile, TheBitmapDecoderIsChosenByExtensionInAnyCase) {
    ScratchFolder folder;
    const Bytes bmp = FileOf(PatternImage(30, 20), "BMP");
    for (const char* name : {"a.BMP", "b.bmp", "c.Bmp", "d.jpg.bmp"}) {
        const auto picture = Loaded(Saved(folder, name, bmp));
        ASSERT_TRUE(picture) << name;
        EXPECT_EQ(picture->Width(), 30);
        EXPECT_EQ(picture->At(7, 3), PatternImage(30, 20).pixel(7, 3)) << name;
    }
    for (const char* name : {"e.jpg", "f.jpeg", "g.gif", "h.bmp.jpg"}) {
        EXPECT_FALSE(Loaded(Saved(folder, name, bmp))) << name;
    }
    EXPECT_FALSE(Loaded(Saved(folder, "nodot", bmp)));
}

TEST(PictureFile, JpegsOfEveryCommonKindDecode) {
    const QImage colour = PatternImage(64, 48);
    const auto baseline = DecodeJpeg(FileOf(colour, "JPG"));
    ASSERT_TRUE(baseline);
    EXPECT_EQ(baseline->Width(), 64);
    EXPECT_EQ(baseline->Height(), 48);

    QByteArray progressive;
    QBuffer buffer(&progressive);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "JPG");
    writer.setProgressiveScanWrite(true);
    ASSERT_TRUE(writer.write(colour));
    const auto decoded = DecodeJpeg(Bytes(progressive.begin(), progressive.end()));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->Height(), 48);

    QImage grey(40, 30, QImage::Format_Grayscale8);
    grey.fill(200);
    const auto greyscale = DecodeJpeg(FileOf(grey, "JPG", 100));
    ASSERT_TRUE(greyscale);
    ExpectNear(greyscale->At(10, 10), 200, 200, 200);
    EXPECT_EQ(greyscale->At(10, 10) >> 24, 0xFFu);
}

// A JPEG is decoded at the smallest eighth of its size that is at least what is asked for, its
// full size told all the same; asked for its full size or more it is decoded whole, pixel for
// pixel. A Windows bitmap is always decoded whole.
TEST(PictureFile, AJpegIsDecodedNoLargerThanAskedFor) {
    const Bytes jpeg = JpegOf(1600, 1200);
    const auto asking = [](PictureSize wanted) { return [wanted](PictureSize) { return wanted; }; };
    const auto reduced = DecodePictureFile(jpeg, "a.jpg", asking({480, 360}));
    ASSERT_TRUE(reduced);
    EXPECT_EQ(reduced->Full, (PictureSize{1600, 1200}));
    EXPECT_EQ(reduced->Pixels.Width(), 600); // 3/8; 2/8 would be 400 x 300
    EXPECT_EQ(reduced->Pixels.Height(), 450);
    EXPECT_EQ(DecodePictureFile(jpeg, "a.jpg", asking({1400, 1050}))->Pixels.Width(), 1400);
    const auto whole = DecodePictureFile(jpeg, "a.jpg");
    for (const PictureSize wanted : {PictureSize{1400, 1051}, PictureSize{1600, 1200}}) {
        EXPECT_EQ(DecodePictureFile(jpeg, "a.jpg", asking(wanted))->Pixels, whole);
    }
    const Bytes bmp = FileOf(PatternImage(30, 20), "BMP");
    EXPECT_EQ(DecodePictureFile(bmp, "a.bmp", asking({10, 10}))->Pixels.Width(), 30);
}

TEST(PictureFile, AdobeCmykJpegsGetTheirColoursRight) {
    // C, M, Y, K ink amounts: red, green, blue, black and a grey made with black ink.
    const auto picture = DecodeJpeg(AdobeCmykJpeg(
        {{0, 255, 255, 0}, {255, 0, 255, 0}, {255, 255, 0, 0}, {0, 0, 0, 255}, {0, 0, 0, 128}}));
    ASSERT_TRUE(picture);
    ExpectNear(picture->At(8, 8), 255, 0, 0);
    ExpectNear(picture->At(24, 8), 0, 255, 0);
    ExpectNear(picture->At(40, 8), 0, 0, 255);
    ExpectNear(picture->At(56, 8), 0, 0, 0);
    ExpectNear(picture->At(72, 8), 127, 127, 127);
}

TEST(PictureFile, DamagedFilesAreRefused) {
    ScratchFolder folder;
    const Bytes jpeg = JpegOf(120, 90);
    const Bytes bmp = FileOf(PatternImage(120, 90), "BMP");
    EXPECT_FALSE(Loaded(Saved(folder, "cut.jpg", Truncated(jpeg))));
    EXPECT_FALSE(Loaded(Saved(folder, "cut.bmp", Truncated(bmp))));
    EXPECT_FALSE(Loaded(Saved(folder, "empty.jpg", {})));
    EXPECT_FALSE(Loaded(Saved(folder, "text.jpg", PayloadOf(5000, JpegStart))));
    EXPECT_FALSE(Loaded(folder.File("missing.jpg")));
}

TEST(PictureFile, PicturesBeyondTheSizeLimitsAreRefused) {
    ScratchFolder folder;
    // A header that claims 20000 x 20000 pixels.
    Bytes bmp = FileOf(PatternImage(8, 8), "BMP");
    bmp[18] = 0x20, bmp[19] = 0x4E, bmp[22] = 0x20, bmp[23] = 0x4E;
    EXPECT_FALSE(Loaded(Saved(folder, "huge.bmp", bmp)));
    QImage wide(16400, 8, QImage::Format_RGB32);
    wide.fill(Qt::white);
    EXPECT_FALSE(DecodeJpeg(FileOf(wide, "JPG")));
}

TEST(BmpCorpus, EveryGoodFileLoadsAtItsStatedSize) {
    const auto suite = BmpSuite();
    if (!suite) {
        GTEST_SKIP() << BmpSuiteMissing();
    }
    for (const auto& path : CorpusFiles(*suite, "g")) {
        const auto picture = Loaded(path.string());
        ASSERT_TRUE(picture) << path;
        const QSize stated = HeaderSize(ReadBytes(path.string()));
        EXPECT_EQ(picture->Width(), stated.width()) << path;
        EXPECT_EQ(picture->Height(), stated.height()) << path;
    }
}

TEST(BmpCorpus, BadAndQuestionableFilesNeverCrash) {
    const auto suite = BmpSuite();
    if (!suite) {
        GTEST_SKIP() << BmpSuiteMissing();
    }
    int refused = 0;
    for (const char* folder : {"b", "q"}) {
        for (const auto& path : CorpusFiles(*suite, folder)) {
            const auto picture = Loaded(path.string());
            refused += !picture;
            if (picture) {
                EXPECT_GT(picture->Width(), 0) << path;
            }
        }
    }
    EXPECT_GT(refused, 10);
}
