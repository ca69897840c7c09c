#include "package/PackageTrailer.h"
#include "support/TestSupport.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <sstream>
#include <sys/resource.h>
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
    const Bytes Song = MidiSongOf(33807);
    const Bytes Picture = PlayablePicture();

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
    ASSERT_EQ(bytes.size(), 754078u);
    EXPECT_TRUE(std::equal(Player.begin(), Player.end(), bytes.begin()));
    EXPECT_TRUE(std::equal(Song.begin(), Song.end(), bytes.begin() + 623104));
    EXPECT_TRUE(std::equal(Picture.begin(), Picture.end(), bytes.begin() + 656911));

    const auto info = InfoFields(package);
    EXPECT_EQ(info.at("file-size"), "754078");
    EXPECT_EQ(info.at("player-size"), "623104");
    EXPECT_EQ(info.at("song-offset"), "623104");
    EXPECT_EQ(info.at("song-size"), "33807");
    EXPECT_EQ(info.at("picture-offset"), "656911");
    EXPECT_EQ(info.at("picture-size"), "96883");
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

TEST_F(PackToolTest, StoresEveryTypeThePlayerCuts) {
    for (const int type : {1, 2, 3, 4}) {
        EXPECT_EQ(
            TrailerOf(MakePackage(Work, Player, Picture, {}, {"--type", std::to_string(type)}))
                .PuzzleType,
            type);
    }
}

TEST_F(PackToolTest, TellsABitmapFromItsFirstBytes) {
    const Bytes bitmap = BitmapOf(200, 150);
    const PackageTrailer t = TrailerOf(MakePackage(Work, Player, bitmap, {}));
    EXPECT_NE(t.PictureIsBitmap, 0);
    EXPECT_EQ(t.PictureSize, static_cast<std::int32_t>(bitmap.size()));
}

// Older players read the trailer's Windows-1252 alone; the credits carry what it cannot hold.
TEST_F(PackToolTest, AMessageInAnyLanguageTravelsAsWrittenAndOlderPlayersShowItsRendering) {
    const std::string western = MakePackage(Work, Player, Picture, {}, {"--message", "Grüße – €"});
    EXPECT_EQ(TrailerOf(western).StartMessage, "Gr\xFC\xDF"
                                               "e \x96 \x80");
    const std::string russian = "С Рождеством, Őrs! 🎄";
    const std::string package = MakePackage(Work, Player, Picture, {}, {"--message", russian});
    EXPECT_EQ(TrailerOf(package).StartMessage, "? ??????????, Ors! ?");
    const auto info = InfoFields(package);
    EXPECT_EQ(info.at("start-message"), russian);
    EXPECT_EQ(info.at("start-message-in-older-players"), "? ??????????, Ors! ?");
    EXPECT_EQ(info.at("player-size"), std::to_string(Player.size()));
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

// By default the puzzle starts with the portable image (the launcher and the bundle of all the
// player loads), and --info says so; --lean copies the lean image (the launcher and the player).
TEST_F(PackToolTest, ThePortableImageBesideTheToolIsTheDefaultAndLeanCopiesThePlayer) {
    const CommandResult portable =
        RunPackTool({"--picture", Work.File("picture.jpg"), "-o", Work.File("portable")});
    ASSERT_EQ(portable.ExitCode, 0) << portable.Err;
    const Bytes image = ReadBytes(TAVRIN_PORTABLE_IMAGE);
    const Bytes packed = ReadBytes(Work.File("portable"));
    ASSERT_EQ(packed.size(), image.size() + Picture.size() + PackageTrailer::Size);
    EXPECT_TRUE(std::equal(image.begin(), image.end(), packed.begin()));
    EXPECT_EQ(InfoFields(Work.File("portable"))["player-kind"], "portable");

    const CommandResult lean =
        RunPackTool({"--lean", "--picture", Work.File("picture.jpg"), "-o", Work.File("lean")});
    ASSERT_EQ(lean.ExitCode, 0) << lean.Err;
    const Bytes player = ReadBytes(TAVRIN_LEAN_IMAGE);
    const Bytes package = ReadBytes(Work.File("lean"));
    ASSERT_EQ(package.size(), player.size() + Picture.size() + PackageTrailer::Size);
    EXPECT_TRUE(std::equal(player.begin(), player.end(), package.begin()));
    EXPECT_EQ(InfoFields(Work.File("lean"))["player-kind"], "lean");
}

// The demo goes by mail either way: portable within the 18 MB that a 25 MB mail limit holds
// once encoded, lean (the launcher, which names missing libraries in a window, and the player
// without the bundle) within 2 MB.
TEST_F(PackToolTest, TheDemoFitsAMailPortableOrLean) {
    for (const auto& [kind, limit] :
         {std::pair<std::string, std::size_t>{"lean", 2'000'000}, {"portable", 18'000'000}}) {
        std::vector<std::string> arguments = {
            "--picture", TAVRIN_SOURCE_DIR "/resources/demo/winter-village.jpg",
            "--song",    TAVRIN_SOURCE_DIR "/resources/demo/silent-night.mid",
            "-o",        Work.File("demo")};
        if (kind == "lean") {
            arguments.push_back("--lean");
        }
        const CommandResult result = RunPackTool(arguments);
        ASSERT_EQ(result.ExitCode, 0) << result.Err;
#ifndef TAVRIN_SANITIZED // an instrumented player is several times larger than the shipped one
        EXPECT_LE(ReadBytes(Work.File("demo")).size(), limit) << kind;
#endif
    }
}

TEST_F(PackToolTest, RefusesBadArgumentsWithStatus2) {
    WriteBytes(Work.File("notes.txt"), PayloadOf(100, {'h', 'e', 'l', 'l', 'o'}));
    ExpectRefused({"--song", Work.File("missing.mid")}, "missing song");
    ExpectRefused({"--player", Work.File("missing")}, "missing player");
    ExpectRefused({"--picture", Work.File("missing.jpg")}, "missing picture");
    ExpectRefused({"--picture", Work.File("notes.txt")}, "picture neither JPEG nor BMP");
    ExpectRefused({"--song", Work.File("notes.txt")}, "song without MThd");
    // A folder is no file: the read fails with a message, not an exception out of the tool.
    ExpectRefused({"--song", Work.Path()}, "song that is a folder");
    ExpectRefused({"--picture", Work.Path()}, "picture that is a folder");
    ExpectRefused({"--player", Work.Path()}, "player that is a folder");
    ExpectRefused({"--message", std::string(255, 'm')}, "message over 254 characters");
    ExpectRefused({"--message", "bell \x07"}, "message with a control character");
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
    // A photo is no puzzle: one line says so, with nothing of its bytes.
    const CommandResult photo = RunPackTool({"--info", Work.File("picture.jpg")});
    EXPECT_EQ(photo.ExitCode, 1);
    EXPECT_EQ(photo.Out, "");
    EXPECT_EQ(photo.Err, "tavrin-pack: \"" + Work.File("picture.jpg") +
                             "\" is not a Tavrin puzzle, or it is damaged\n");
    Bytes bytes = ReadBytes(MakePackage(Work, Player, Picture, Song));
    bytes[bytes.size() - PackageTrailer::Size + 259] = 0x7F; // a picture size past the start
    WriteBytes(Work.File("damaged"), bytes);
    const CommandResult damaged = RunPackTool({"--info", Work.File("damaged")});
    EXPECT_EQ(damaged.ExitCode, 1);
    EXPECT_NE(damaged.Err.find("damaged"), std::string::npos);
    EXPECT_EQ(RunPackTool({"--info", Work.File("missing")}).ExitCode, 2);
    EXPECT_EQ(RunPackTool({"--info", Work.Path()}).ExitCode, 2);
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

namespace {

// Section names of an ELF64 little-endian file; empty when it is not one.
std::vector<std::string> ElfSectionNames(const Bytes& elf) {
    const auto read = [&](std::size_t at, int width) {
        std::uint64_t value = 0;
        for (int i = width - 1; i >= 0; --i) {
            value = value << 8 | (at + i < elf.size() ? elf[at + i] : 0);
        }
        return static_cast<std::size_t>(value);
    };
    if (elf.size() < 64 || elf[0] != 0x7F || elf[1] != 'E' || elf[4] != 2 || elf[5] != 1) {
        return {};
    }
    const std::size_t headers = read(0x28, 8);
    const std::size_t entrySize = read(0x3A, 2);
    const std::size_t count = read(0x3C, 2);
    const std::size_t namesAt = read(headers + entrySize * read(0x3E, 2) + 0x18, 8);
    std::vector<std::string> names;
    for (std::size_t i = 0; i < count; ++i) {
        std::size_t at = namesAt + read(headers + entrySize * i, 4);
        std::string name;
        while (at < elf.size() && elf[at] != 0) {
            name += static_cast<char>(elf[at++]);
        }
        names.push_back(name);
    }
    return names;
}

// A file-size limit for this process and the tools it starts, lifted again at the end.
class ScopedFileSizeLimit {
public:
    explicit ScopedFileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &Old);
        rlimit limit = Old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~ScopedFileSizeLimit() { setrlimit(RLIMIT_FSIZE, &Old); }
    ScopedFileSizeLimit(const ScopedFileSizeLimit&) = delete;
    ScopedFileSizeLimit& operator=(const ScopedFileSizeLimit&) = delete;

private:
    rlimit Old{};
};

std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

TEST_F(PackToolTest, ThePackedPlayerCarriesNoDebugInformationOrBuildPath) {
    const CommandResult result = RunPackTool(
        {"--player", TAVRIN_PLAYER, "--picture", Work.File("picture.jpg"), "-o", Work.File("out")});
    ASSERT_EQ(result.ExitCode, 0) << result.Err;
    const Bytes package = ReadBytes(Work.File("out"));
    const Bytes player(package.begin(), package.end() - static_cast<std::ptrdiff_t>(
                                                            Picture.size() + PackageTrailer::Size));
    const std::vector<std::string> sections = ElfSectionNames(player);
    ASSERT_NE(std::find(sections.begin(), sections.end(), ".text"), sections.end());
    for (const std::string& name : sections) {
        EXPECT_NE(name.rfind(".debug", 0), 0u) << name;
        EXPECT_NE(name, ".symtab");
    }
#ifndef TAVRIN_SANITIZED // the sanitizer names every instrumented source file, for its reports
    const std::string source = TAVRIN_SOURCE_DIR;
    EXPECT_EQ(std::search(player.begin(), player.end(), source.begin(), source.end()), player.end())
        << "the player holds " << source;
#endif
}

TEST_F(PackToolTest, NeverWritesOverAnInputAndAFailedWriteKeepsTheOldPuzzle) {
    std::filesystem::create_symlink(Work.File("song.mid"), Work.File("song-link"));
    std::filesystem::create_hard_link(Work.File("player"), Work.File("player-link"));
    for (const auto& [output, input] : std::vector<std::pair<std::string, std::string>>{
             {"picture.jpg", "picture"}, {"./song-link", "song"}, {"player-link", "player"}}) {
        const CommandResult result =
            RunPackTool({"--player", Work.File("player"), "--picture", Work.File("picture.jpg"),
                         "--song", Work.File("song.mid"), "-o", Work.Path() + "/" + output});
        EXPECT_EQ(result.ExitCode, 2) << output;
        EXPECT_NE(result.Err.find("is the " + input), std::string::npos) << result.Err;
    }
    EXPECT_EQ(ReadBytes(Work.File("picture.jpg")), Picture);
    EXPECT_EQ(ReadBytes(Work.File("song.mid")), Song);
    EXPECT_EQ(ReadBytes(Work.File("player")), Player);

    const std::string old = MakePackage(Work, Player, Picture, Song);
    const Bytes oldBytes = ReadBytes(old);
    const std::vector<std::string> before = FolderEntries(Work.Path());
    CommandResult failed{};
    {
        const ScopedFileSizeLimit limit(100000); // the disk fills in the middle of the player
        failed = RunPackTool({"--player", Work.File("player"), "--picture",
                              Work.File("picture.jpg"), "--message", "new", "-o", old});
    }
    EXPECT_EQ(failed.ExitCode, 1);
    EXPECT_NE(failed.Err.find("cannot write"), std::string::npos) << failed.Err;
    EXPECT_EQ(ReadBytes(old), oldBytes);
    EXPECT_EQ(FolderEntries(Work.Path()), before); // no half puzzle beside it
}

TEST_F(PackToolTest, RefusesWhatFailsForEveryRecipientWithTheReasonAloneAndWarnsOfSomeScreens) {
    WriteBytes(Work.File("short.mid"), {'M', 'T', 'h', 'd', 0, 0, 6});
    WriteBytes(Work.File("cut.jpg"),
               Bytes(Picture.begin(), Picture.begin() + Picture.size() * 6 / 10));
    Bytes noise = PayloadOf(50000, {});
    std::copy(Picture.begin(), Picture.begin() + 600, noise.begin()); // a header, then no picture
    WriteBytes(Work.File("noise.jpg"), noise);
    WriteBytes(Work.File("tiny.bmp"), BitmapOf(50, 50));
    WriteBytes(Work.File("strip.bmp"), BitmapOf(20000, 100));
    const std::string undecodable = "the player cannot decode the picture";
    const std::string tooSmall = "\" makes no puzzle on any screen: even on a 7680 x 4320 screen";
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--picture", Work.File("cut.jpg")}, undecodable},
        {{"--picture", Work.File("noise.jpg")}, undecodable},
        {{"--zoom", "5"}, tooSmall + " the player shows the 800 x 600 picture at 40 x 30 pixels"},
        {{"--zoom", "5"}, "try a larger --zoom, a smaller --type or a larger picture"},
        {{"--picture", Work.File("tiny.bmp"), "--type", "1"}, tooSmall},
        {{"--picture", Work.File("strip.bmp")}, tooSmall + " the player shows the 3840 x 19"},
        {{"--zoom", "0"}, "--zoom is a percentage above 0"},
        {{"--zoom", "-50"}, "--zoom is a percentage above 0"},
        {{"--song", Work.File("short.mid")}, "\" cannot be played"},
        {{"--type", "7"}, "1 (96 pixels), 2 (80 pixels), 3 (64 pixels), 4 (48 pixels); not \"7\""},
        {{"--type", "12"}, "4 (48 pixels); not \"12\""},
        {{"--message", std::string(255, 'm')}, "--message is 255 characters long; at most 254 fit"},
        {{"--color", "#12345"}, "--color takes #RRGGBB"},
    };
    for (const auto& [extra, reason] : cases) {
        std::vector<std::string> args = {"--player",  Work.File("player"),
                                         "--picture", Work.File("picture.jpg"),
                                         "-o",        Work.File("out")};
        args.insert(args.end(), extra.begin(), extra.end());
        const CommandResult result = RunPackTool(args);
        EXPECT_EQ(result.ExitCode, 2) << reason;
        EXPECT_NE(result.Err.find("tavrin-pack: "), std::string::npos) << result.Err;
        EXPECT_NE(result.Err.find(reason), std::string::npos) << result.Err;
        EXPECT_NE(result.Err.find("See \"tavrin-pack --help\""), std::string::npos) << result.Err;
        EXPECT_EQ(result.Err.find("usage:"), std::string::npos) << result.Err;
        EXPECT_EQ(std::count(result.Err.begin(), result.Err.end(), '\n'), 2) << result.Err;
        EXPECT_FALSE(FileExists(Work.File("out"))) << reason;
    }
    // A panorama plays on large screens only: packed, with the small screens named.
    WriteBytes(Work.File("panorama.bmp"), BitmapOf(3800, 150));
    const CommandResult panorama = RunPackTool({"--player", Work.File("player"), "--picture",
                                                Work.File("panorama.bmp"), "-o", Work.File("out")});
    EXPECT_EQ(panorama.ExitCode, 0) << panorama.Err;
    EXPECT_NE(panorama.Err.find("tavrin-pack: warning: the picture \"" + Work.File("panorama.bmp") +
                                "\" makes no puzzle on screens of 1024 x 600, 1280 x 720, "
                                "1280 x 800, 1366 x 768"),
              std::string::npos)
        << panorama.Err;
    // Colours as people write them: red 0x12, green 0x34, blue 0x56, stored as 0x00BBGGRR.
    EXPECT_EQ(TrailerOf(MakePackage(Work, Player, Picture, {}, {"--color", "#123456"})).BoardColor,
              0x00563412u);
    EXPECT_EQ(TrailerOf(MakePackage(Work, Player, Picture, {}, {"--color", "#aBcDeF"})).BoardColor,
              0x00EFCDABu);
}

TEST_F(PackToolTest, WarnsWithTheVisiblePartOfACreditTheLoadingWindowCuts) {
    const std::string fits = "Photo: Ann";
    const std::string cut = "Music: " + std::string(100, 'w');
    const CommandResult result =
        RunPackTool({"--player", Work.File("player"), "--picture", Work.File("picture.jpg"),
                     "--picture-credit", fits, "--music-credit", cut, "-o", Work.File("out")});
    ASSERT_EQ(result.ExitCode, 0) << result.Err;
    EXPECT_EQ(result.Err.find("--picture-credit"), std::string::npos) << result.Err;
    const std::string warning = "warning: --music-credit is too long for the loading window, "
                                "which shows only \"Music: www";
    ASSERT_NE(result.Err.find(warning), std::string::npos) << result.Err;
    EXPECT_NE(result.Err.find("w\xE2\x80\xA6\"\n"), std::string::npos) << result.Err; // ellipsis
    EXPECT_EQ(std::count(result.Err.begin(), result.Err.end(), '\n'), 1) << result.Err;
}
