// The maker's preview counts the pieces with the player's own rules: for every piece size, a
// picture larger than the board (zoomed out) and one smaller, LayOutPuzzle gives the grid and
// the zoom the board itself arrives at when it builds the puzzle.
#include "BoardFixture.h"
#include "game/ScreenLayout.h"

namespace {

using ScreenLayoutTest = BoardFixture;

} // namespace

TEST_F(ScreenLayoutTest, MakerPreviewCountsThePiecesTheBoardCuts) {
    for (const int type : {1, 2, 3, 4}) {
        for (const auto& [width, height] : {std::pair{1600, 1200}, std::pair{700, 450}}) {
            const PuzzleLayout layout =
                LayOutPuzzle(width, height, BoardOfClientArea(ClientWidth, ClientHeight),
                             PuzzleShape::ForType(type), 100);
            Game.Settings.ZoomPercent = 100;
            ASSERT_TRUE(StartGame(width, height, type).Done);
            EXPECT_EQ(layout.Cells.Cols, Game.PuzzleGrid().Cols) << type << " " << width;
            EXPECT_EQ(layout.Cells.Rows, Game.PuzzleGrid().Rows) << type << " " << width;
            EXPECT_EQ(static_cast<std::size_t>(layout.PieceCount()), Game.Pieces()->Count());
            EXPECT_EQ(layout.Fit.ZoomPercent, Game.Settings.ZoomPercent);
        }
    }
}

TEST_F(ScreenLayoutTest, MakerBoardsLeaveTheDesktopsBarsOut) {
    EXPECT_EQ(BoardOfClientArea(1024, 700).Width, Game.Width());
    EXPECT_EQ(BoardOfClientArea(1024, 700).Height, Game.Height());
    const BoardSize screen = BoardOfScreen(1920, 1080);
    EXPECT_EQ(screen.Width, 1921);
    EXPECT_EQ(screen.Height,
              1080 - TypicalPanelHeight - TypicalTitleBarHeight - TypicalMenuBarHeight);
    EXPECT_EQ(BoardOfWorkArea(3840, 2100, 2.0).Height,
              2100 - 2 * (TypicalTitleBarHeight + TypicalMenuBarHeight));
}
