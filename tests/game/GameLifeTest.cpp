// A game's whole life without a window: picture files on a pretend disk, the messages a window
// would show, and what each failure leaves behind.
#include "game/GameLife.h"

#include "core/PieceFixtures.h"

#include <gtest/gtest.h>
#include <map>

namespace {

// A picture "file" here is its width and height in four bytes; it decodes to a pattern picture.
std::vector<std::uint8_t> PictureFileOf(int width, int height) {
    return {static_cast<std::uint8_t>(width >> 8), static_cast<std::uint8_t>(width),
            static_cast<std::uint8_t>(height >> 8), static_cast<std::uint8_t>(height)};
}

class GameLifeTest : public ::testing::Test {
protected:
    Random Dice{12345};
    Board Game{Dice};
    std::map<std::string, std::vector<std::uint8_t>> Disk;
    std::vector<Message> Told;
    int EmptyBoards = 0;
    bool WindowOpen = true;
    GameLife Life{Game,
                  {[this](const std::string& path) {
                       const auto file = Disk.find(path);
                       return file == Disk.end() ? Result<std::vector<std::uint8_t>>(Failure{path})
                                                 : file->second;
                   },
                   [](std::span<const std::uint8_t> bytes, const std::string&) {
                       return bytes.size() == 4
                                  ? std::optional(PatternPicture(bytes[0] << 8 | bytes[1],
                                                                 bytes[2] << 8 | bytes[3]))
                                  : std::nullopt;
                   }}};
    StartHooks Hooks{[this] { return WindowOpen; },
                     [this](const Message& message) { Told.push_back(message); },
                     [this] { ++EmptyBoards; },
                     {[](int) { return true; }, [](int) {}, {}}};

    void SetUp() override {
        Game.Settings.Shape = PuzzleShape::ForType(2);
        Game.Settings.ZoomPercent = 100;
        Game.RecreateBuffers(1024, 700);
    }
};

const Message TooSmall{"Cannot create puzzle because the image is too small.", MessageIcon::Stop};

} // namespace

// The thumbnail shows this puzzle's picture from the bytes read at its load, whatever happens to
// the file since; a new game reads the file again, and a file gone is told and forgotten.
TEST_F(GameLifeTest, ThePictureOutlivesItsFileUntilANewGameNeedsIt) {
    Disk["a.jpg"] = PictureFileOf(400, 300);
    ASSERT_TRUE(Life.Start("a.jpg", Hooks));
    EXPECT_TRUE(Told.empty());
    EXPECT_EQ(Life.PicturePath(), "a.jpg");
    EXPECT_EQ(Game.ThumbnailPicture(), nullptr); // no copy until a thumbnail asks for one

    Disk["a.jpg"] = PictureFileOf(200, 100); // overwritten, then removed
    Disk.erase("a.jpg");
    const auto thumbnail = Life.ThumbnailPicture();
    ASSERT_NE(thumbnail, nullptr);
    EXPECT_EQ(*thumbnail, PatternPicture(400, 300));

    EXPECT_FALSE(Life.Start(Life.PicturePath(), Hooks));
    ASSERT_EQ(Told.size(), 1u);
    EXPECT_EQ(Told[0], (Message{"Unable to open a.jpg.", MessageIcon::Stop}));
    EXPECT_EQ(EmptyBoards, 1);
    EXPECT_EQ(Life.PicturePath(), "");
    EXPECT_EQ(Life.ThumbnailPicture(), nullptr);
    EXPECT_EQ(Game.Pieces(), nullptr);
    EXPECT_TRUE(Game.GameOver());

    EXPECT_FALSE(Life.Start(Life.PicturePath(), Hooks)); // nothing to start from: nothing said
    EXPECT_EQ(Told.size(), 1u);
    EXPECT_EQ(Game.Pieces(), nullptr);
}

// A picture too small to cut has no puzzle, but the thumbnail shows it all the same.
TEST_F(GameLifeTest, APictureTooSmallToCutStillShowsInTheThumbnail) {
    Disk["small.bmp"] = PictureFileOf(81, 500);
    EXPECT_FALSE(Life.Start("small.bmp", Hooks));
    EXPECT_EQ(Told, std::vector<Message>{TooSmall});
    EXPECT_EQ(EmptyBoards, 1);
    EXPECT_EQ(Game.Picture(), nullptr);
    EXPECT_EQ(Life.PicturePath(), "small.bmp");
    const auto thumbnail = Life.ThumbnailPicture();
    ASSERT_NE(thumbnail, nullptr);
    EXPECT_EQ(*thumbnail, PatternPicture(81, 500));
}

// A large picture is zoomed out with one notice; the zoom found is kept for the next game.
TEST_F(GameLifeTest, AZoomedOutPictureIsToldOnceAndItsThumbnailIsFitted) {
    Disk["big.jpg"] = PictureFileOf(2000, 1000);
    ASSERT_TRUE(Life.Start("big.jpg", Hooks));
    ASSERT_TRUE(Life.Start("big.jpg", Hooks));
    EXPECT_EQ(Told, std::vector<Message>{ZoomedOutNotice});
    EXPECT_EQ(Game.Settings.ZoomPercent, 50);
    EXPECT_EQ(Life.ThumbnailPicture()->Width(), 1000);
    EXPECT_EQ(Life.ThumbnailPicture()->Height(), 500);
}

// The window went away while the picture loaded: the game stops without a word.
TEST_F(GameLifeTest, AGameWhoseWindowWentAwayStopsQuietly) {
    Disk["a.jpg"] = PictureFileOf(400, 300);
    WindowOpen = false;
    EXPECT_FALSE(Life.Start("a.jpg", Hooks));
    EXPECT_TRUE(Told.empty());
    EXPECT_EQ(Game.Pieces(), nullptr);
}
