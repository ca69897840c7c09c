#include "package/PackageTrailer.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <map>
#include <sstream>
#include <sys/stat.h>

namespace {

PackageTrailer TrailerOf(const std::string& package) {
    const Bytes bytes = ReadBytes(package);
    return PackageTrailer::Decode(std::span<const std::uint8_t, PackageTrailer::Size>(
        bytes.data() + bytes.size() - PackageTrailer::Size, PackageTrailer::Size));
}

class PackToolTest : public ::testing::Test {
protected:
    ScratchFolder Work;
    const Bytes Player = PayloadOf(623104, {0x7F, 'E', 'L', 'F'});
    const Bytes Song = PayloadOf(33807, MidiStart);
    const Bytes Picture = PayloadOf(104596, JpegStart);

    void SetUp() override {
        WriteBytes(Work.File("player"), Player);
        WriteBytes(Work.File("song.mid"), Song);
        WriteBytes(Work.File("picture.jpg"), Picture);
    }

    // Packs with the given extra arguments and expects a refusal with status 2.
    void ExpectRefused(const std::vector<std::string>& extra, const std::string& why) {
        std::vector<std::string> args = {"--player",  Work.File("player"),
                                         "--picture", Work.File("picture.jpg"),
                                         "-o",        Work.File("out")};
        args.insert(args.end(), extra.begin(), extra.end());
        const CommandResult result = RunPackTool(args);
        EXPECT_EQ(result.ExitCode, 2) << why;
        EXPECT_NE(result.Err.find("tavrin-pack: "), std::string::npos) << why;
        EXPECT_FALSE(FileExists(Work.File("out"))) << why;
    }
};

} // namespace

TEST_F(PackToolTest, WritesPlayerSongPictureAndTrailerInThatOrder) {
    const std::string package = MakePackage(Work, Player, Picture, Song,
                                            {"--type", "2", "--arrange", "1", "--zoom", "90",
                                             "--color", "0x00123456", "--message", "Hello"});
    const Bytes bytes = ReadBytes(package);
    ASSERT_EQ(bytes.size(), 761791u);
    EXPECT_TRUE(std::equal(Player.begin(), Player.end(), bytes.begin()));
    EXPECT_TRUE(std::equal(Song.begin(), Song.end(), bytes.begin() + 623104));
    EXPECT_TRUE(std::equal(Picture.begin(), Picture.end(), bytes.begin() + 656911));

    const auto info = InfoFields(package);
    EXPECT_EQ(info.at("file-size"), "761791");
    EXPECT_EQ(info.at("player-size"), "623104");
    EXPECT_EQ(info.at("song-offset"), "623104");
    EXPECT_EQ(info.at("song-size"), "33807");
    EXPECT_EQ(info.at("picture-offset"), "656911");
    EXPECT_EQ(info.at("picture-size"), "104596");
    EXPECT_EQ(info.at("picture-is-bitmap"), "0");
    EXPECT_EQ(info.at("puzzle-type"), "2");
    EXPECT_EQ(info.at("arrange-mode"), "1");
    EXPECT_EQ(info.at("zoom-percent"), "90");
    EXPECT_EQ(info.at("board-color"), "0x00123456");
    EXPECT_EQ(info.at("start-message"), "Hello");
}

TEST_F(PackToolTest, DefaultsMatchAPlainPackage) {
    const PackageTrailer t = TrailerOf(MakePackage(Work, Player, Picture, {}));
    EXPECT_EQ(t.PuzzleType, 1);
    EXPECT_EQ(t.ArrangeMode, 2);
    EXPECT_EQ(t.ZoomPercent, 100);
    EXPECT_EQ(t.BoardColor, 0x00808000u);
    EXPECT_EQ(t.SongSize, 0);
    EXPECT_EQ(t.StartMessage, "");
}

TEST_F(PackToolTest, StoresTheTypeByteAsGiven) {
    EXPECT_EQ(TrailerOf(MakePackage(Work, Player, Picture, {}, {"--type", "200"})).PuzzleType, -56);
    EXPECT_EQ(TrailerOf(MakePackage(Work, Player, Picture, {}, {"--type", "-128"})).PuzzleType,
              -128);
    EXPECT_EQ(TrailerOf(MakePackage(Work, Player, Picture, {}, {"--type", "0"})).PuzzleType, 0);
}

TEST_F(PackToolTest, TellsABitmapFromItsFirstBytes) {
    const PackageTrailer t = TrailerOf(MakePackage(Work, Player, PayloadOf(500, BitmapStart), {}));
    EXPECT_NE(t.PictureIsBitmap, 0);
    EXPECT_EQ(t.PictureSize, 500);
}

TEST_F(PackToolTest, StoresTheMessageAsWindows1252) {
    const PackageTrailer t =
        TrailerOf(MakePackage(Work, Player, Picture, {}, {"--message", "Frohe Grüße – €"}));
    EXPECT_EQ(t.StartMessage, "Frohe Gr\xFC\xDF"
                              "e \x96 \x80");
    const std::string longest(254, 'm');
    EXPECT_EQ(
        TrailerOf(MakePackage(Work, Player, Picture, {}, {"--message", longest})).StartMessage,
        longest);
}

TEST_F(PackToolTest, TheOutputIsExecutable) {
    struct stat info {};
    ASSERT_EQ(stat(MakePackage(Work, Player, Picture, {}).c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0111, 0111u);
}

TEST_F(PackToolTest, ThePlayerBesideTheToolIsTheDefault) {
    const CommandResult result =
        RunPackTool({"--picture", Work.File("picture.jpg"), "-o", Work.File("out")});
    ASSERT_EQ(result.ExitCode, 0) << result.Err;
    const Bytes player = ReadBytes(TAVRIN_PLAYER);
    const Bytes package = ReadBytes(Work.File("out"));
    ASSERT_EQ(package.size(), player.size() + Picture.size() + PackageTrailer::Size);
    EXPECT_TRUE(std::equal(player.begin(), player.end(), package.begin()));
}

TEST_F(PackToolTest, RefusesBadArgumentsWithStatus2) {
    WriteBytes(Work.File("notes.txt"), PayloadOf(100, {'h', 'e', 'l', 'l', 'o'}));
    ExpectRefused({"--song", Work.File("missing.mid")}, "missing song");
    ExpectRefused({"--player", Work.File("missing")}, "missing player");
    ExpectRefused({"--picture", Work.File("missing.jpg")}, "missing picture");
    ExpectRefused({"--picture", Work.File("notes.txt")}, "picture neither JPEG nor BMP");
    ExpectRefused({"--song", Work.File("notes.txt")}, "song without MThd");
    ExpectRefused({"--message", std::string(255, 'm')}, "message over 254 characters");
    ExpectRefused({"--message", "snow ☃"}, "message outside Windows-1252");
    ExpectRefused({"--type", "256"}, "type above 255");
    ExpectRefused({"--type", "-129"}, "type below -128");
    ExpectRefused({"--zoom", "ninety"}, "zoom not a number");
    ExpectRefused({"--color", "0x1FFFFFFFF"}, "colour wider than 32 bits");
    ExpectRefused({"--frobnicate", "1"}, "unknown option");
    ExpectRefused({"--zoom"}, "option without value");
    const CommandResult noOutput = RunPackTool({"--picture", Work.File("picture.jpg")});
    EXPECT_EQ(noOutput.ExitCode, 2);
}

TEST_F(PackToolTest, InfoReportsADamagedPackage) {
    WriteBytes(Work.File("short"), Bytes(100, 0));
    EXPECT_EQ(RunPackTool({"--info", Work.File("short")}).ExitCode, 1);
    Bytes bytes = ReadBytes(MakePackage(Work, Player, Picture, Song));
    bytes[bytes.size() - PackageTrailer::Size + 259] = 0x7F; // a picture size past the start
    WriteBytes(Work.File("damaged"), bytes);
    const CommandResult damaged = RunPackTool({"--info", Work.File("damaged")});
    EXPECT_EQ(damaged.ExitCode, 1);
    EXPECT_NE(damaged.Err.find("damaged"), std::string::npos);
    EXPECT_EQ(RunPackTool({"--info", Work.File("missing")}).ExitCode, 2);
}

TEST_F(PackToolTest, HelpAndVersionPrintToStandardOutputAndSucceed) {
    for (const std::string option : {"--help", "-h"}) {
        const CommandResult help = RunPackTool({option});
        EXPECT_EQ(help.ExitCode, 0) << option << ": " << help.Err;
        EXPECT_EQ(help.Out.rfind("usage: tavrin-pack", 0), 0u) << help.Out;
        for (const char* documented :
             {"--keep-orientation", "--quality", "--max-size", "--lossless", "--title",
              "--picture-credit", "--picture-link", "--music-credit", "--music-link"}) {
            EXPECT_NE(help.Out.find(documented), std::string::npos) << documented;
        }
        EXPECT_EQ(help.Err, "");
    }
    const CommandResult version = RunPackTool({"--version"});
    EXPECT_EQ(version.ExitCode, 0);
    EXPECT_EQ(version.Out, "tavrin-pack (Tavrin) 5.5\n");
    // Help wins over anything else on the line, as with other tools.
    EXPECT_EQ(RunPackTool({"--picture", Work.File("picture.jpg"), "--help"}).ExitCode, 0);
    EXPECT_FALSE(FileExists(Work.File("out")));
}

TEST_F(PackToolTest, RefusesBadPictureOptionsWithStatus2) {
    ExpectRefused({"--quality", "0"}, "quality below 1");
    ExpectRefused({"--quality", "101"}, "quality above 100");
    ExpectRefused({"--max-size", "800"}, "max size without a height");
    ExpectRefused({"--max-size", "0x600"}, "max size of zero");
    ExpectRefused({"--max-size", "16385x600"}, "max size beyond the player's limit");
}
