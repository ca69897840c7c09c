// Building a puzzle on the game alone: the cut, the scatter, the arrangement and the failures.
#include "BoardFixture.h"
#include "game/GameTexts.h"
#include "game/PictureFit.h"

#include <algorithm>
#include <limits>

namespace {

using BoardBuildTest = BoardFixture;

std::vector<TRect> BoundsBottomUp(const Board& game, std::size_t count) {
    std::vector<TRect> bounds;
    for (const auto& piece : *game.Pieces()) {
        if (bounds.size() < count) {
            bounds.push_back(piece->Bounds);
        }
    }
    return bounds;
}

} // namespace

TEST_F(BoardBuildTest, ATwoByTwoGridNumbersItsGroupsInBuildOrderAndReportsEachPiece) {
    ASSERT_TRUE(StartGame(150, 150, 1).Ok());
    EXPECT_EQ(Game.PuzzleGrid().Cols, 2);
    EXPECT_EQ(Game.PuzzleGrid().Rows, 2);
    std::vector<int> homes;
    for (const auto& piece : *Game.Pieces()) {
        EXPECT_EQ(piece->HomeX, piece->Col * 80 - 16);
        EXPECT_EQ(piece->HomeY, piece->Row * 80 - 16);
    }
    EXPECT_EQ(GroupsBottomUp(), (std::vector<int>{4, 3, 2, 1})); // the last made lies lowest
    EXPECT_EQ(Started, std::vector<int>{4});
    EXPECT_EQ(Cut, (std::vector<int>{0, 1, 2, 3}));
    EXPECT_FALSE(Game.GameOver());
    EXPECT_EQ(Game.DrawnBoard(), Redrawn());
}

// The same seed gives the same shapes and places; these are the ones seed 12345 gives.
// Whatever the board showed before, the loading window opens over the bare board colour; a board
// that shows nothing else already is not filled again, and says so.
TEST_F(BoardBuildTest, EveryBuildStartsOnTheBareBoard) {
    const auto plain = [this] {
        Bitmap board(Game.Width(), Game.Height());
        board.Fill(PixelFromColor(Game.Settings.BoardColor));
        return board;
    };
    std::vector<bool> bareAtStart;
    Steps.Starting = [&](int) {
        bareAtStart.push_back(Game.DrawnBoard() == plain() && Game.ShowsOnlyTheBoardColour());
        return true;
    };
    EXPECT_TRUE(Game.ShowsOnlyTheBoardColour());
    ASSERT_TRUE(StartGame(300, 200).Ok()); // on new buffers
    EXPECT_FALSE(Game.ShowsOnlyTheBoardColour());
    ASSERT_TRUE(StartGame(300, 200).Ok()); // over the last game's pieces
    Game.Settings.BoardColor = 0x00102030;
    EXPECT_FALSE(Game.ShowsOnlyTheBoardColour());
    Game.ClearPieces();
    Game.RedrawBoard();
    EXPECT_TRUE(Game.ShowsOnlyTheBoardColour());
    Game.Settings.BoardColor = 0x00302010;
    ASSERT_TRUE(StartGame(300, 200).Ok()); // a bare board of another colour
    EXPECT_EQ(bareAtStart, std::vector<bool>(3, true));
}

TEST_F(BoardBuildTest, TheSeedFixesTheScatterAndTheArrangement) {
    ASSERT_TRUE(StartGame(400, 300, 1, 2).Ok());
    EXPECT_EQ(
        BoundsBottomUp(Game, 3),
        (std::vector<TRect>{{555, 142, 651, 238}, {230, 467, 326, 563}, {222, 180, 318, 276}}));
    Dice.Seed(12345);
    ASSERT_TRUE(StartGame(400, 300, 1, 1).Ok());
    EXPECT_EQ(BoundsBottomUp(Game, 3),
              (std::vector<TRect>{{10, 10, 106, 106}, {111, 10, 207, 106}, {212, 10, 308, 106}}));
    EXPECT_EQ(GroupsBottomUp(), (std::vector<int>{4,  2,  9,  8,  14, 1, 11, 15, 19, 6,
                                                  18, 12, 16, 20, 3,  7, 13, 10, 17, 5}));
}

TEST_F(BoardBuildTest, ScatterDrawsXThenYForEveryLonePiece) {
    ASSERT_TRUE(StartGame(400, 300).Ok());
    const int s = Game.Settings.Shape.PieceSize;
    auto first = Game.Pieces()->begin();
    (*first)->GroupId = (*std::next(first))->GroupId; // two joined pieces stay where they are
    const TRect joined = (*first)->Bounds;

    struct Case {
        int BoardWidth;
        int BoardHeight;
    };
    for (const Case c : {Case{700, 500}, Case{s + 10, 500}, Case{50, 60}}) {
        Game.RecreateBuffers(c.BoardWidth - 1, c.BoardHeight);
        Dice.Seed(77);
        Random expected(77);
        const int rangeX = c.BoardWidth - s - 10;
        const int rangeY = c.BoardHeight - s - 10;
        Game.ScatterPieces();
        for (const auto& piece : *Game.Pieces()) {
            if (piece->GroupId == (*first)->GroupId) {
                continue;
            }
            const int x = rangeX == 0 ? 0 : expected.Next() % rangeX;
            const int y = rangeY == 0 ? 0 : expected.Next() % rangeY;
            EXPECT_EQ(piece->Bounds, (TRect{x, y, x + s, y + s})) << c.BoardWidth;
        }
        EXPECT_EQ((*first)->Bounds, joined);
        EXPECT_EQ(Game.DrawnBoard(), Redrawn());
    }
}

TEST_F(BoardBuildTest, ArrangeShufflesThenLaysRowsAndLayers) {
    ASSERT_TRUE(StartGame(500, 400).Ok());
    const int s = Game.Settings.Shape.PieceSize; // 96
    struct Case {
        int Width;
        int Height;
        std::vector<std::pair<int, int>> Places;
    };
    const Case cases[] = {
        // Two places a row (the third would leave less than a piece free), two rows a layer,
        // and each layer 10 pixels further right and down.
        {340,
         250,
         {{10, 10},
          {111, 10},
          {10, 111},
          {111, 111},
          {20, 20},
          {121, 20},
          {20, 121},
          {121, 121},
          {30, 30},
          {131, 30},
          {30, 131},
          {131, 131},
          {40, 40},
          {141, 40},
          {40, 141},
          {141, 141}}},
        // The second place leaves exactly a piece free and the second row ends exactly at the
        // bottom; shifted 10 pixels, a layer holds one piece.
        {303,
         207,
         {{10, 10}, {111, 10}, {10, 111}, {111, 111}, {20, 20}, {30, 30}, {40, 40}, {50, 50}}},
    };
    for (const Case& c : cases) {
        Game.RecreateBuffers(c.Width - 1, c.Height);
        std::vector<int> order = GroupsBottomUp();
        Dice.Seed(2024);
        Random expected(2024);
        for (int pass = 0; pass < 10; ++pass) {
            // The walk has stepped past an element when it moves it, so moving the last one
            // ends the pass.
            for (std::size_t i = 0; i < order.size();) {
                if (expected.Next() % 2 == 0 && i + 1 < order.size()) {
                    const int moved = order[i];
                    order.erase(order.begin() + static_cast<std::ptrdiff_t>(i));
                    order.push_back(moved);
                } else {
                    ++i;
                }
            }
        }
        Game.ArrangePieces();
        EXPECT_EQ(GroupsBottomUp(), order) << c.Width;

        ASSERT_GT(Game.Pieces()->Count(), c.Places.size());
        std::size_t i = 0;
        for (const auto& piece : *Game.Pieces()) {
            if (i < c.Places.size()) {
                const auto [x, y] = c.Places[i++];
                EXPECT_EQ(piece->Bounds, (TRect{x, y, x + s, y + s})) << c.Width << " " << i;
            }
        }
    }
}

TEST_F(BoardBuildTest, APictureTooSmallForTwoByTwoIsRefusedBeforeAnythingIsCut) {
    const Outcome refused = StartGame(81, 500, 2);
    ASSERT_FALSE(refused.Ok());
    EXPECT_EQ(refused.Error(), TooSmallToCut);
    EXPECT_TRUE(Started.empty());
    EXPECT_EQ(Game.Picture(), nullptr);
    EXPECT_EQ(Game.Pieces(), nullptr);
    EXPECT_TRUE(Game.GameOver());

    EXPECT_TRUE(StartGame(82, 82, 2).Ok()); // a success has nothing to tell
    EXPECT_EQ(Game.Pieces()->Count(), 4u);
    EXPECT_FALSE(Game.GameOver());
}

TEST_F(BoardBuildTest, ALevelWithoutEdgeStripsFailsAndLeavesAnEmptyBoard) {
    const Outcome result = StartGame(300, 200, 12);
    ASSERT_FALSE(result.Ok());
    EXPECT_EQ(result.Error(), (Message{"Cannot create puzzle.", MessageIcon::Stop}));
    EXPECT_EQ(Started.size(), 1u);
    EXPECT_EQ(Game.Picture(), nullptr);
    EXPECT_EQ(Game.Pieces(), nullptr);
    EXPECT_TRUE(Game.GameOver());
    Bitmap empty(Game.Width(), Game.Height());
    empty.Fill(PixelFromColor(Game.Settings.BoardColor));
    EXPECT_EQ(Game.DrawnBoard(), empty);
}

TEST_F(BoardBuildTest, ABuildStoppedAsItStartsLeavesNoPuzzleAndNoMessage) {
    Steps.Starting = [](int) { return false; };
    const Outcome result = StartGame(300, 200, 1);
    ASSERT_FALSE(result.Ok());
    EXPECT_FALSE(result.Error());
    EXPECT_TRUE(Cut.empty());
    EXPECT_EQ(Game.Pieces(), nullptr);
    EXPECT_TRUE(Game.GameOver());
    Game.ScatterPieces(); // without a puzzle there is nothing to lay out
    Game.ArrangePieces();
    EXPECT_EQ(Game.Pieces(), nullptr);
}

TEST_F(BoardBuildTest, APictureIsFittedOnceAndTheCutBakesItsBevelIntoIt) {
    EXPECT_FALSE(SetPicture(PatternPicture(300, 200)));
    EXPECT_EQ(*Game.Picture(), PatternPicture(300, 200)); // one to one where it fits

    Game.RecreateBuffers(790, 560);
    EXPECT_TRUE(SetPicture(PatternPicture(800, 600))); // zoomed out
    EXPECT_EQ(Game.Settings.ZoomPercent, 90);
    ASSERT_EQ(Game.Picture()->Width(), 720);
    const Bitmap fitted = *Game.Picture();
    const Bitmap original = PatternPicture(800, 600);
    for (const auto& [x, y] : std::vector<std::pair<int, int>>{{0, 0}, {719, 539}, {100, 77}}) {
        EXPECT_EQ(fitted.At(x, y), original.At(x * 800 / 720, y * 600 / 540));
    }
    ASSERT_TRUE(Game.Build(Steps).Ok());
    EXPECT_NE(*Game.Picture(), fitted); // the cut baked its bevel into the working picture

    EXPECT_FALSE(SetPicture(PatternPicture(800, 600))); // the zoom stays lowered
}

TEST(PictureFit, ThePackagesZoomIsKeptWhileThePictureIsSmallerThanTheBoard) {
    const PictureFit small = FitToBoard(800, 600, 791, 560, 20);
    EXPECT_FALSE(small.ZoomedOut);
    EXPECT_EQ(small.ZoomPercent, 20);
    EXPECT_EQ(small.Width, 160);
    const PictureFit fits = FitToBoard(800, 600, 801, 601, 100);
    EXPECT_EQ(fits.ZoomPercent, 100);
    EXPECT_EQ(fits.Width, 800);
    EXPECT_FALSE(fits.ZoomedOut);
    // As wide as the board is too wide; a zoom that makes it fit is kept.
    EXPECT_TRUE(FitToBoard(800, 100, 800, 601, 100).ZoomedOut);
    EXPECT_EQ(FitToBoard(800, 100, 800, 601, 95).ZoomPercent, 95);
}

TEST(PictureFit, ATooLargePictureStepsDownByTenPercentToTwentyAtTheLeast) {
    EXPECT_EQ(FitToBoard(100, 560, 791, 560, 100).ZoomPercent, 90);
    // 1000 pixels wide: the first step of 100, 90 ... 20 at which it is narrower than the board.
    for (int board = 150; board <= 1010; board += 10) {
        const int first = std::clamp((board - 1) / 100 * 10, 20, 100);
        EXPECT_EQ(FitToBoard(1000, 100, board, 700, 110).ZoomPercent, first) << board;
    }
    const PictureFit huge = FitToBoard(6000, 100, 791, 560, 100);
    EXPECT_TRUE(huge.ZoomedOut);
    EXPECT_EQ(huge.ZoomPercent, 20);
    EXPECT_EQ(huge.Width, 1200); // used at 20 although it does not fit
}

// 800 x 600 pixels: the width passes 2^31 - 1 above a zoom of 268435455, the height above
// 357913941, and both pass 2^32 above 536870911.
TEST(PictureFit, EveryZoomGivesASizeWithoutOverflow) {
    constexpr int Max = std::numeric_limits<int>::max();
    constexpr int Min = std::numeric_limits<int>::min();
    for (const int zoom : {Min, -1, 0, 1}) {
        const PictureFit fit = FitToBoard(800, 600, 791, 560, zoom);
        EXPECT_FALSE(fit.ZoomedOut) << zoom;
        EXPECT_LE(fit.Width, 8) << zoom;
        EXPECT_GE(fit.Width, 0) << zoom;
    }
    for (const int zoom :
         {268435455, 268435456, 357913941, 357913942, 500000000, 536870912, Max - 1, Max}) {
        const PictureFit fit = FitToBoard(800, 600, 791, 560, zoom);
        EXPECT_TRUE(fit.ZoomedOut) << zoom;
        EXPECT_EQ(fit.ZoomPercent, 90) << zoom;
        EXPECT_EQ(fit.Width, 720) << zoom;
        EXPECT_EQ(fit.Height, 540) << zoom;
    }
}
