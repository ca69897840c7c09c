#include "package/PackageReader.h"

#include "package/TempFolder.h"
#include "support/TestSupport.h"

#include <cstring>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Every test extracts into a folder of its own.
class PackageReaderTest : public ::testing::Test {
protected:
    ScratchFolder Work;
    ScratchFolder Runtime;

    std::string Package(const Bytes& picture, const Bytes& song,
                        const std::vector<std::string>& extra = {}) {
        return MakePackage(Work, PayloadOf(5000, {0x7F, 'E', 'L', 'F'}), picture, song, extra);
    }

    // Overwrites one 32-bit field of the trailer of the package at `path`.
    static void PatchTrailer(const std::string& path, std::size_t offset, std::int32_t value) {
        Bytes bytes = ReadBytes(path);
        std::memcpy(bytes.data() + bytes.size() - PackageTrailer::Size + offset, &value, 4);
        WriteBytes(path, bytes);
    }

    std::string Temp(std::string_view name) const { return TempFilePath(Runtime.Path(), name); }

    static ExtractedPackage ExtractPackage(const std::string& package, const std::string& folder) {
        return WritePayloads(ReadPackageFile(package), folder);
    }

    static std::string FailureOf(const ExtractedPackage& result) {
        return result.Ok() ? "" : result.Status.Error().What;
    }
};

constexpr std::size_t PictureSizeField = 256;
constexpr std::size_t SongSizeField = 260;

} // namespace

TEST_F(PackageReaderTest, ExtractsTheLayoutOfATypicalPackageByteForByte) {
    const Bytes player = PayloadOf(623104, {0x7F, 'E', 'L', 'F'});
    const Bytes song = MidiSongOf(33807);
    const Bytes picture = PlayablePicture();
    const std::string package = MakePackage(Work, player, picture, song, {"--type", "2"});
    ASSERT_EQ(ReadBytes(package).size(), 754078u);

    const ExtractedPackage result = ExtractPackage(package, Runtime.Path());
    ASSERT_TRUE(result.Ok()) << FailureOf(result);
    EXPECT_EQ(result.PicturePath, Temp("tavrin.jpg"));
    EXPECT_EQ(result.SongPath, Temp("tavrin.mid"));
    EXPECT_EQ(ReadBytes(result.PicturePath), picture);
    EXPECT_EQ(ReadBytes(result.SongPath), song);
    EXPECT_FALSE(FileExists(Temp("tavrin.bmp")));

    const PackageTrailer& t = *result.Trailer;
    EXPECT_EQ(t.StartMessage, "");
    EXPECT_EQ(t.PuzzleType, 2);
    EXPECT_EQ(t.PictureSize, 96883);
    EXPECT_EQ(t.SongSize, 33807);
    EXPECT_EQ(t.PictureIsBitmap, 0);
    EXPECT_EQ(t.ArrangeMode, 2);
    EXPECT_EQ(t.ZoomPercent, 100);
    EXPECT_EQ(t.BoardColor, 0x00808000u);
}

TEST_F(PackageReaderTest, ABitmapPictureBecomesTavrinBmp) {
    const Bytes picture = BitmapOf(200, 150);
    const ExtractedPackage result = ExtractPackage(Package(picture, {}), Runtime.Path());
    ASSERT_TRUE(result.Ok());
    EXPECT_EQ(result.PicturePath, Temp("tavrin.bmp"));
    EXPECT_EQ(ReadBytes(result.PicturePath), picture);
    EXPECT_FALSE(FileExists(Temp("tavrin.jpg")));
}

TEST_F(PackageReaderTest, APackageWithoutASongWritesNoSongFile) {
    const ExtractedPackage result = ExtractPackage(Package(PlayablePicture(), {}), Runtime.Path());
    ASSERT_TRUE(result.Ok());
    EXPECT_EQ(result.SongPath, "");
    EXPECT_FALSE(FileExists(Temp("tavrin.mid")));
}

TEST_F(PackageReaderTest, ASecondStartOverwritesTheFilesOfTheFirst) {
    WriteBytes(Temp("tavrin.jpg"), Bytes(50000, 1));
    const Bytes picture = PlayablePicture();
    const ExtractedPackage result = ExtractPackage(Package(picture, {}), Runtime.Path());
    ASSERT_TRUE(result.Ok());
    EXPECT_EQ(ReadBytes(Temp("tavrin.jpg")), picture);
}

TEST_F(PackageReaderTest, TheExtractedFilesAreOnlyTheUsers) {
    const ExtractedPackage result =
        ExtractPackage(Package(PlayablePicture(), MidiSongOf(60)), Runtime.Path());
    for (const std::string& path : {result.PicturePath, result.SongPath}) {
        struct stat info {};
        ASSERT_EQ(stat(path.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0600u) << path;
    }
}

TEST_F(PackageReaderTest, AFileThatCannotBeOpenedIsReported) {
    for (const std::string& path : {std::string(), Work.File("missing"), Work.Path()}) {
        const ExtractedPackage result = ExtractPackage(path, Runtime.Path());
        EXPECT_EQ(FailureOf(result), "Cannot read the image. Please contact your vendor.") << path;
        EXPECT_FALSE(result.Trailer.has_value());
    }
}

TEST_F(PackageReaderTest, AFileShorterThanTheTrailerIsAFailedPictureRead) {
    WriteBytes(Work.File("short"), Bytes(283, 0));
    const ExtractedPackage result = ExtractPackage(Work.File("short"), Runtime.Path());
    EXPECT_EQ(FailureOf(result), "Cannot read the image because the exe file could be corrupted.");
    EXPECT_FALSE(FileExists(Temp("tavrin.jpg")));
}

TEST_F(PackageReaderTest, PictureSizesOutsideTheFileAreAFailedPictureRead) {
    const auto pastTheStart = static_cast<std::int32_t>(5000 + 60 + PlayablePicture().size() + 1);
    for (const std::int32_t size : {-1, INT32_MIN, pastTheStart, INT32_MAX}) {
        const std::string package = Package(PlayablePicture(), MidiSongOf(60));
        PatchTrailer(package, PictureSizeField, size);
        const ExtractedPackage result = ExtractPackage(package, Runtime.Path());
        EXPECT_EQ(FailureOf(result), PictureUnreadableText) << size;
        ASSERT_TRUE(result.Trailer.has_value());
        EXPECT_EQ(result.Trailer->PictureSize, size);
        EXPECT_FALSE(FileExists(Temp("tavrin.jpg"))) << size;
        EXPECT_FALSE(FileExists(Temp("tavrin.mid"))) << size;
    }
}

TEST_F(PackageReaderTest, SongSizesOutsideTheFileAreAFailedSongReadAfterThePicture) {
    for (const std::int32_t size : {-5, 5000 + 60 + 1, INT32_MAX}) {
        const Bytes picture = PlayablePicture();
        const std::string package = Package(picture, MidiSongOf(60));
        PatchTrailer(package, SongSizeField, size);
        const ExtractedPackage result = ExtractPackage(package, Runtime.Path());
        EXPECT_EQ(FailureOf(result),
                  "Cannot read the image because the midi file could be corrupted.")
            << size;
        EXPECT_EQ(ReadBytes(Temp("tavrin.jpg")), picture) << size;
        EXPECT_FALSE(FileExists(Temp("tavrin.mid"))) << size;
        unlink(Temp("tavrin.jpg").c_str());
    }
}

TEST_F(PackageReaderTest, ASongThatReachesIntoThePlayerIsStillReadFromTheFile) {
    // Only the trailer says where payloads lie: a larger song size takes bytes of the player.
    const std::string package = Package(PlayablePicture(), MidiSongOf(60));
    PatchTrailer(package, SongSizeField, 80);
    const ExtractedPackage result = ExtractPackage(package, Runtime.Path());
    ASSERT_TRUE(result.Ok());
    EXPECT_EQ(ReadBytes(result.SongPath).size(), 80u);
}

TEST_F(PackageReaderTest, AnUnusableTemporaryFolderIsReportedInThePlatformsWords) {
    const std::string package = Package(PlayablePicture(), {});
    const ExtractedPackage result = ExtractPackage(package, package); // a file, not a folder
    EXPECT_NE(FailureOf(result).find("Not a directory"), std::string::npos) << FailureOf(result);
}

TEST_F(PackageReaderTest, ALinkPlantedAtATemporaryNameIsNotFollowed) {
    WriteBytes(Work.File("victim"), Bytes{42});
    ASSERT_EQ(symlink(Work.File("victim").c_str(), Temp("tavrin.jpg").c_str()), 0);
    const ExtractedPackage result = ExtractPackage(Package(PlayablePicture(), {}), Runtime.Path());
    EXPECT_NE(FailureOf(result).find("Cannot create file"), std::string::npos) << FailureOf(result);
    EXPECT_EQ(ReadBytes(Work.File("victim")), Bytes{42});
}
