// A game's whole life without a window: picture files on a pretend disk, the messages a window
// would show, and what each failure leaves behind.
#include "game/GameLife.h"

#include "core/PieceFixtures.h"

#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <tuple>

namespace {

// A picture "file" here is its width and height in four bytes; it decodes to a pattern picture.
std::vector<std::uint8_t> PictureFileOf(int width, int height) {
    return {static_cast<std::uint8_t>(width >> 8), static_cast<std::uint8_t>(width),
            static_cast<std::uint8_t>(height >> 8), static_cast<std::uint8_t>(height)};
}

// The screen a game starts on: it records what it is told and can act in the pass of events.
struct RecordingScreen : StartScreen {
    std::vector<Message> Told;
    int Boards = 0;
    bool WindowOpen = true;
    std::function<void()> DuringEvents = [] {};

    bool TakePendingEvents() override {
        DuringEvents();
        return WindowOpen;
    }
    void Tell(const Message& message) override { Told.push_back(message); }
    void ShowBoard() override { ++Boards; }
    bool OpenLoading(int) override { return true; }
    void Cutting(int) override {}
    void Ready() override {}
};

class GameLifeTest : public ::testing::Test {
protected:
    Random Dice{12345};
    Board Game{Dice};
    std::map<std::string, std::vector<std::uint8_t>> Disk;
    RecordingScreen Screen;
    std::vector<Message>& Told = Screen.Told;
    int& EmptyBoards = Screen.Boards;
    GameLife Life{Game,
                  {[this](const std::string& path) {
                       const auto file = Disk.find(path);
                       return file == Disk.end() ? Result<std::vector<std::uint8_t>>(Failure{path})
                                                 : file->second;
                   },
                   [](std::span<const std::uint8_t> bytes, const std::string&,
                      const LeastSize& least) -> std::optional<DecodedPicture> {
                       if (bytes.size() != 4) {
                           return std::nullopt;
                       }
                       const PictureSize full{bytes[0] << 8 | bytes[1], bytes[2] << 8 | bytes[3]};
                       return DecodedPicture{Decoded(full, least ? least(full) : full), full};
                   }}};

    // Like libjpeg's scaled decoding: as small as asked, never larger than the full size, and
    // pixels that differ from a whole picture stretched.
    static Bitmap Decoded(PictureSize full, PictureSize wanted) {
        if (wanted.Width >= full.Width || wanted.Height >= full.Height) {
            return PatternPicture(full.Width, full.Height);
        }
        return PatternPicture(wanted.Width, wanted.Height);
    }

    void SetUp() override {
        Game.Settings.Shape = PuzzleShape::ForType(2);
        Game.Settings.ZoomPercent = 100;
        Game.RecreateBuffers(1024, 700);
    }
};

} // namespace

// The thumbnail shows this puzzle's picture from the bytes read at its load, whatever happens to
// the file since; a new game reads the file again, and a file gone is told and forgotten.
TEST_F(GameLifeTest, ThePictureOutlivesItsFileUntilANewGameNeedsIt) {
    Disk["a.jpg"] = PictureFileOf(400, 300);
    ASSERT_TRUE(Life.Start("a.jpg", Screen));
    EXPECT_TRUE(Told.empty());
    EXPECT_EQ(Life.PicturePath(), "a.jpg");

    Disk["a.jpg"] = PictureFileOf(200, 100); // overwritten, then removed
    Disk.erase("a.jpg");
    const auto thumbnail = Life.ThumbnailPicture();
    ASSERT_NE(thumbnail, nullptr);
    EXPECT_EQ(*thumbnail, PatternPicture(400, 300));

    EmptyBoards = 0;
    EXPECT_FALSE(Life.Start(Life.PicturePath(), Screen));
    ASSERT_EQ(Told.size(), 1u);
    EXPECT_EQ(Told[0], (Message{"Unable to open a.jpg.", MessageIcon::Stop}));
    EXPECT_EQ(EmptyBoards, 1);
    EXPECT_EQ(Life.PicturePath(), "");
    EXPECT_EQ(Life.ThumbnailPicture(), nullptr);
    EXPECT_EQ(Game.Pieces(), nullptr);
    EXPECT_TRUE(Game.GameOver());

    EXPECT_FALSE(Life.Start(Life.PicturePath(), Screen)); // nothing to start from: nothing said
    EXPECT_EQ(Told.size(), 1u);
    EXPECT_EQ(Game.Pieces(), nullptr);
}

// A picture too small to cut has no puzzle, but the thumbnail shows it all the same.
TEST_F(GameLifeTest, APictureTooSmallToCutStillShowsInTheThumbnail) {
    Disk["small.bmp"] = PictureFileOf(81, 500);
    EXPECT_FALSE(Life.Start("small.bmp", Screen));
    EXPECT_EQ(Told, std::vector<Message>{TooSmallToCut});
    EXPECT_EQ(EmptyBoards, 1);
    EXPECT_EQ(Game.Picture(), nullptr);
    EXPECT_EQ(Life.PicturePath(), "small.bmp");
    const auto thumbnail = Life.ThumbnailPicture();
    ASSERT_NE(thumbnail, nullptr);
    EXPECT_EQ(*thumbnail, PatternPicture(81, 500));
}

// A large picture is zoomed out with one notice; the zoom found is kept for the next game. It is
// decoded at the size it is shown, and the thumbnail shows it so, unshaded, kept from before the
// cut or decoded again when asked. Decoded for a smaller board (as the start-up thread may guess)
// it is decoded again: its size told by its file, not by its pixels, gives the same puzzle.
TEST_F(GameLifeTest, AZoomedOutPictureIsToldOnceAndItsThumbnailIsFitted) {
    Disk["big.jpg"] = PictureFileOf(2000, 1000);
    const Bitmap fitted = PatternPicture(1000, 500);
    const auto geometry = [this] {
        std::vector<std::tuple<int, int, TRect, MonoBitmap>> pieces;
        for (const auto& p : *Game.Pieces()) {
            pieces.emplace_back(p->HomeX, p->HomeY, p->Bounds, *p->Mask);
        }
        return pieces;
    };
    Dice.Seed(7);
    ASSERT_TRUE(
        Life.Start("big.jpg", Screen,
                   LoadedPicture{Disk["big.jpg"], {PatternPicture(500, 250), {2000, 1000}}}));
    EXPECT_EQ(*Life.ThumbnailPicture(), fitted);
    const auto fromSmaller = geometry();
    Dice.Seed(7);
    ASSERT_TRUE(Life.Start("big.jpg", Screen));
    EXPECT_EQ(geometry(), fromSmaller);
    Life.KeepThumbnailPicture(true);
    ASSERT_TRUE(Life.Start("big.jpg", Screen));
    EXPECT_EQ(Told, std::vector<Message>{ZoomedOutNotice});
    EXPECT_EQ(Game.Settings.ZoomPercent, 50);
    EXPECT_EQ(*Life.ThumbnailPicture(), fitted);
    EXPECT_NE(*Game.Picture(), fitted); // the cut shaded the board's picture
    Life.KeepThumbnailPicture(false);
    EXPECT_EQ(*Life.ThumbnailPicture(), fitted);
}

// The thumbnail shows no other game's picture: none while a start loads its picture, none after
// the load failed, and none after the cut failed.
TEST_F(GameLifeTest, TheThumbnailShowsNoPictureAfterAFailedStartNorThePreviousOneDuringIt) {
    Disk["a.jpg"] = PictureFileOf(400, 300);
    ASSERT_TRUE(Life.Start("a.jpg", Screen));
    std::vector<std::shared_ptr<const Bitmap>> shown;
    Screen.DuringEvents = [&] {
        Life.KeepThumbnailPicture(true);
        shown.push_back(Life.ThumbnailPicture());
    };
    EXPECT_FALSE(Life.Start("gone.jpg", Screen));
    EXPECT_EQ(Life.ThumbnailPicture(), nullptr);

    Screen.DuringEvents = [] {};
    Game.Settings.Shape = PuzzleShape::ForType(12); // no edge strips: the cut fails
    EXPECT_FALSE(Life.Start("a.jpg", Screen));
    EXPECT_EQ(Told.back(), CannotCreatePuzzle);
    EXPECT_EQ(Life.ThumbnailPicture(), nullptr);
    EXPECT_EQ(Life.PicturePath(), "a.jpg"); // a new game tries it again
    EXPECT_EQ(shown, std::vector<std::shared_ptr<const Bitmap>>{nullptr});
}

// The window went away while the picture loaded: the game stops without a word.
TEST_F(GameLifeTest, AGameWhoseWindowWentAwayStopsQuietly) {
    Disk["a.jpg"] = PictureFileOf(400, 300);
    Screen.WindowOpen = false;
    EXPECT_FALSE(Life.Start("a.jpg", Screen));
    EXPECT_TRUE(Told.empty());
    EXPECT_EQ(Game.Pieces(), nullptr);
}
