#include "package/PackageCredits.h"

#include "package/Crc32.h"
#include "package/PackageReader.h"
#include "package/PackageTrailer.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <map>
#include <sstream>

namespace {

const PackageCredits Sample = {"Mein Rätsel ☃", "Picture: Winter Village, by Ann",
                               "https://example.org/art", "Music: a carol",
                               "http://example.org/music?x=1"};

const std::vector<std::string> SampleOptions = {
    "--title",        Sample.Title,       "--picture-credit", Sample.PictureCredit,
    "--picture-link", Sample.PictureLink, "--music-credit",   Sample.MusicCredit,
    "--music-link",   Sample.MusicLink};

class PackageCreditsTest : public ::testing::Test {
protected:
    ScratchFolder Work;
    ScratchFolder Runtime;
    ScopedEnvironment Xdg{"XDG_RUNTIME_DIR", Runtime.Path().c_str()};
    const Bytes Player = PayloadOf(5000, {0x7F, 'E', 'L', 'F'});
    const Bytes Song = MidiSongOf(3000);
    const Bytes Picture = PlayablePicture();
};

} // namespace

TEST(Crc32, MatchesTheCheckValue) {
    const std::string text = "123456789";
    EXPECT_EQ(Crc32({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()}),
              0xCBF43926u);
}

TEST(PackageCreditsRules, TakePlainLinesOfAtMost120CharactersAndWebLinks) {
    EXPECT_TRUE(Sample.Check().Ok());
    PackageCredits c;
    EXPECT_TRUE(c.IsEmpty());
    c.Title = std::string(120, 'x');
    EXPECT_TRUE(c.Check().Ok());
    c.Title = std::string(121, 'x');
    EXPECT_NE(c.Check().Error().What.find("--title is 121 characters"), std::string::npos);
    std::string snowmen;
    for (int i = 0; i < 120; ++i) {
        snowmen += "☃"; // three bytes each: the limit counts characters
    }
    c.Title = snowmen;
    EXPECT_TRUE(c.Check().Ok());
    for (const std::string bad : {"two\nlines", "tab\there", "\xC3", "\xC0\xAF", "\xED\xA0\x80",
                                  "\xF4\x90\x80\x80", "bell\x7F", "c1\xC2\x85"}) {
        c.Title = bad;
        EXPECT_FALSE(c.Check().Ok()) << "title " << bad;
    }
    c.Title.clear();
    for (const std::string bad : {"javascript:alert(1)", "file:///etc/passwd", "ftp://x",
                                  "https://", "https://a b", "www.example.org", "mailto:a@b"}) {
        c.MusicLink = bad;
        EXPECT_NE(c.Check().Error().What.find("--music-link"), std::string::npos) << bad;
    }
    c.MusicLink = "HTTPS://EXAMPLE.ORG/";
    EXPECT_TRUE(c.Check().Ok());
}

TEST(PackageCreditsBlock, RoundTripsAndIgnoresEveryDamage) {
    const Bytes block = Sample.EncodeBlock();
    Bytes before = PayloadOf(300, {'E', 'L', 'F'});
    before.insert(before.end(), block.begin(), block.end());
    ASSERT_EQ(PackageCredits::DecodeBlock(before), Sample);
    EXPECT_EQ(PackageCredits::DecodeBlock(block), Sample); // the block alone suffices

    EXPECT_FALSE(PackageCredits::DecodeBlock(PayloadOf(300, {'E', 'L', 'F'})));
    EXPECT_FALSE(PackageCredits::DecodeBlock(Bytes(block.end() - 19, block.end())));
    for (std::size_t i = 300; i < before.size(); ++i) {
        Bytes damaged = before;
        damaged[i] ^= 0x20;
        EXPECT_FALSE(PackageCredits::DecodeBlock(damaged)) << "byte " << i - 300 << " flipped";
    }
    // A length past the start of the bytes or over the limit, with a matching CRC, is refused.
    for (const std::uint32_t length :
         {std::uint32_t(block.size()), std::uint32_t(5000), std::uint32_t(0xFFFFFFFF)}) {
        Bytes damaged = before;
        for (int k = 0; k < 4; ++k) {
            damaged[damaged.size() - 20 + k] = static_cast<std::uint8_t>(length >> (8 * k));
        }
        EXPECT_FALSE(PackageCredits::DecodeBlock(Bytes(damaged.begin() + 290, damaged.end())));
    }
    // An intact block of another version, or one whose lines break the rules, is ignored too.
    const auto Reframed = [](const std::string& payload, std::uint16_t version) {
        Bytes out(payload.begin(), payload.end());
        const auto crc = Crc32(out);
        for (const std::uint32_t v : {std::uint32_t(payload.size()), crc}) {
            for (int k = 0; k < 4; ++k) {
                out.push_back(static_cast<std::uint8_t>(v >> (8 * k)));
            }
        }
        out.insert(out.end(), {static_cast<std::uint8_t>(version), 0, 0, 0});
        out.insert(out.end(), {'T', 'a', 'v', 'r', 'C', 'r', 'e', 'd'});
        return out;
    };
    EXPECT_EQ(PackageCredits::DecodeBlock(Reframed("t\np\nhttp://a\nm\n\n", 1)),
              (PackageCredits{"t", "p", "http://a", "m", ""}));
    EXPECT_FALSE(PackageCredits::DecodeBlock(Reframed("t\np\nhttp://a\nm\n\n", 2)));
    EXPECT_FALSE(PackageCredits::DecodeBlock(Reframed("t\np\njavascript:x\nm\n\n", 1)));
    EXPECT_FALSE(PackageCredits::DecodeBlock(Reframed("t\np\n\nm\n", 1)));
    EXPECT_FALSE(PackageCredits::DecodeBlock(Reframed("t\np\n\nm\n\nextra\n", 1)));
    EXPECT_FALSE(PackageCredits::DecodeBlock(Reframed(std::string(130, 'x') + "\n\n\n\n\n", 1)));
}

// Readers of the credits alone look only at the end, which is the block they know; damage to the
// message block before it costs the message only.
TEST(PackageCreditsBlock, AMessageGoesBeforeTheCreditsAndLeavesThemAsTheyWere) {
    PackageCredits withMessage = Sample;
    withMessage.StartMessage = "С Рождеством!\n🎄";
    const Bytes block = withMessage.EncodeBlock();
    const Bytes credits = Sample.EncodeBlock();
    EXPECT_TRUE(std::equal(credits.rbegin(), credits.rend(), block.rbegin()));
    EXPECT_EQ(PackageCredits::DecodeBlock(block), withMessage);
    for (std::size_t i = 0; i < block.size() - credits.size(); ++i) {
        Bytes damaged = block;
        damaged[i] ^= 0x20;
        EXPECT_EQ(PackageCredits::DecodeBlock(damaged), Sample) << "byte " << i << " flipped";
    }
}

TEST_F(PackageCreditsTest, APackageWithoutCreditsIsExactlyPlayerSongPictureTrailer) {
    const Bytes bytes = ReadBytes(MakePackage(Work, Player, Picture, Song, {"--type", "2"}));
    PackageTrailer t;
    t.PuzzleType = 2;
    t.PictureSize = static_cast<std::int32_t>(Picture.size());
    t.SongSize = static_cast<std::int32_t>(Song.size());
    Bytes expected = Player;
    expected.insert(expected.end(), Song.begin(), Song.end());
    expected.insert(expected.end(), Picture.begin(), Picture.end());
    const auto trailer = t.Encode();
    expected.insert(expected.end(), trailer.begin(), trailer.end());
    EXPECT_EQ(bytes, expected);
    EXPECT_FALSE(WritePayloads(ReadPackageFile(Work.File("package")), Runtime.Path()).Credits);
    EXPECT_EQ(InfoFields(Work.File("package")).at("credits"), "none");
}

TEST_F(PackageCreditsTest, CreditsGoBeforeTheSongAndLeaveEveryOffsetFromTheEndAsItWas) {
    const Bytes plain = ReadBytes(MakePackage(Work, Player, Picture, Song));
    std::vector<std::string> options = SampleOptions;
    const Bytes credited = ReadBytes(MakePackage(Work, Player, Picture, Song, options));
    const Bytes block = Sample.EncodeBlock();
    ASSERT_EQ(credited.size(), plain.size() + block.size());
    // Everything from the song to the end, trailer included, is the same bytes.
    EXPECT_TRUE(std::equal(plain.begin() + Player.size(), plain.end(),
                           credited.begin() + Player.size() + block.size()));
    EXPECT_TRUE(std::equal(block.begin(), block.end(), credited.begin() + Player.size()));

    const ExtractedPackage result =
        WritePayloads(ReadPackageFile(Work.File("package")), Runtime.Path());
    ASSERT_TRUE(result.Ok());
    EXPECT_EQ(ReadBytes(result.PicturePath), Picture);
    EXPECT_EQ(ReadBytes(result.SongPath), Song);
    EXPECT_EQ(result.Credits, Sample);

    const auto info = InfoFields(Work.File("package"));
    EXPECT_EQ(info.at("credits"), "yes");
    EXPECT_EQ(info.at("title"), Sample.Title);
    EXPECT_EQ(info.at("picture-credit"), Sample.PictureCredit);
    EXPECT_EQ(info.at("picture-link"), Sample.PictureLink);
    EXPECT_EQ(info.at("music-credit"), Sample.MusicCredit);
    EXPECT_EQ(info.at("music-link"), Sample.MusicLink);
    EXPECT_EQ(info.at("player-size"), std::to_string(Player.size()));
    EXPECT_EQ(info.at("song-offset"), std::to_string(Player.size() + block.size()));
}

TEST_F(PackageCreditsTest, ASilentPackageKeepsItsCreditsBeforeThePicture) {
    MakePackage(Work, Player, Picture, {}, {"--title", "Quiet"});
    const ExtractedPackage result =
        WritePayloads(ReadPackageFile(Work.File("package")), Runtime.Path());
    ASSERT_TRUE(result.Ok());
    EXPECT_EQ(ReadBytes(result.PicturePath), Picture);
    ASSERT_TRUE(result.Credits);
    EXPECT_EQ(result.Credits->Title, "Quiet");
}

TEST_F(PackageCreditsTest, ADamagedBlockIsIgnoredAndThePuzzleStillLoads) {
    MakePackage(Work, Player, Picture, Song, SampleOptions);
    Bytes bytes = ReadBytes(Work.File("package"));
    bytes[Player.size() + 3] ^= 0x01;
    WriteBytes(Work.File("package"), bytes);
    const ExtractedPackage result =
        WritePayloads(ReadPackageFile(Work.File("package")), Runtime.Path());
    ASSERT_TRUE(result.Ok());
    EXPECT_FALSE(result.Credits);
    EXPECT_EQ(ReadBytes(result.PicturePath), Picture);
    EXPECT_EQ(ReadBytes(result.SongPath), Song);
    EXPECT_EQ(InfoFields(Work.File("package")).at("credits"), "none");
}

TEST_F(PackageCreditsTest, RefusesCreditsItCannotStore) {
    WriteBytes(Work.File("player"), Player);
    WriteBytes(Work.File("picture.jpg"), Picture);
    for (const std::vector<std::string>& bad :
         std::vector<std::vector<std::string>>{{"--title", std::string(121, 't')},
                                               {"--picture-credit", "line\nbreak"},
                                               {"--picture-link", "javascript:alert(1)"},
                                               {"--music-link", "tavrin.example.org"},
                                               {"--music-credit", "\xFF\xFE"}}) {
        std::vector<std::string> args = {"--player",  Work.File("player"),
                                         "--picture", Work.File("picture.jpg"),
                                         "-o",        Work.File("out")};
        args.insert(args.end(), bad.begin(), bad.end());
        const CommandResult result = RunPackTool(args);
        EXPECT_EQ(result.ExitCode, 2) << bad[0];
        EXPECT_NE(result.Err.find("tavrin-pack: " + bad[0]), std::string::npos) << result.Err;
        EXPECT_FALSE(FileExists(Work.File("out")));
    }
}
