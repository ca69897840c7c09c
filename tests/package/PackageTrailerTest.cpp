#include "package/PackageTrailer.h"

#include "package/Windows1252.h"

#include <gtest/gtest.h>

namespace {

using TrailerBytes = std::array<std::uint8_t, PackageTrailer::Size>;

PackageTrailer Decoded(const TrailerBytes& bytes) {
    return PackageTrailer::Decode(std::span<const std::uint8_t, PackageTrailer::Size>(bytes));
}

} // namespace

TEST(PackageTrailer, FieldsSitAtTheirOffsetsLittleEndian) {
    PackageTrailer t;
    t.StartMessage = "Hi";
    t.PuzzleType = 2;
    t.PictureSize = 104596;
    t.SongSize = 33807;
    t.PictureIsBitmap = 0;
    t.ArrangeMode = 2;
    t.ZoomPercent = 100;
    t.BoardColor = 0x00808000;
    const TrailerBytes bytes = t.Encode();
    EXPECT_EQ(bytes[0], 'H');
    EXPECT_EQ(bytes[2], 0);
    EXPECT_EQ(bytes[255], 2);
    EXPECT_EQ(bytes[256], 0x94);
    EXPECT_EQ(bytes[257], 0x98);
    EXPECT_EQ(bytes[258], 0x01);
    EXPECT_EQ(bytes[260], 0x0F);
    EXPECT_EQ(bytes[261], 0x84);
    EXPECT_EQ(bytes[272], 100);
    EXPECT_EQ(bytes[280], 0x00);
    EXPECT_EQ(bytes[281], 0x80);
    EXPECT_EQ(bytes[282], 0x80);
    EXPECT_EQ(bytes[283], 0x00);
    EXPECT_EQ(Decoded(bytes), t);
}

TEST(PackageTrailer, PuzzleTypeIsASignedByte) {
    TrailerBytes bytes{};
    bytes[255] = 200;
    EXPECT_EQ(Decoded(bytes).PuzzleType, -56);
}

TEST(PackageTrailer, NegativeSizesDecodeAsNegative) {
    TrailerBytes bytes{};
    bytes[256] = bytes[257] = bytes[258] = bytes[259] = 0xFF;
    EXPECT_EQ(Decoded(bytes).PictureSize, -1);
}

TEST(PackageTrailer, MessageEndsAtItsZeroAndBytesAfterItAreIgnored) {
    TrailerBytes bytes{};
    const std::string leftovers = "Merry\0leftover junk";
    std::copy(leftovers.begin(), leftovers.end(), bytes.begin());
    bytes[5] = 0;
    EXPECT_EQ(Decoded(bytes).StartMessage, "Merry");
}

TEST(PackageTrailer, MessageWithoutATerminatingZeroIsCutAt254) {
    TrailerBytes bytes{};
    std::fill(bytes.begin(), bytes.begin() + 255, 'x');
    EXPECT_EQ(Decoded(bytes).StartMessage, std::string(254, 'x'));
}

TEST(Windows1252, DecodesLatinAndTheHighControlBlock) {
    EXPECT_EQ(Windows1252ToUtf8("Gr\xFC\xDF"
                                "e \x80 \x93x\x94"),
              "Grüße € “x”");
    EXPECT_EQ(Windows1252ToUtf8("\x81"), "\xEF\xBF\xBD");
}

TEST(Windows1252, EncodesWhatItCanStoreAndRefusesTheRest) {
    EXPECT_EQ(Utf8ToWindows1252("Frohe Weihnachten – 5 €"),
              std::optional<std::string>("Frohe Weihnachten \x96 5 \x80"));
    EXPECT_EQ(Utf8ToWindows1252("snow ☃"), std::nullopt);
    EXPECT_EQ(Utf8ToWindows1252("\xC3"), std::nullopt);
    const std::string all = "ÀÿŒœŠšŸŽž‘’‚“”„†‡•…‰‹›™";
    EXPECT_EQ(Windows1252ToUtf8(*Utf8ToWindows1252(all)), all);
}
