// The maker's preview counts the pieces with the player's own rules: for every piece size, a
// picture larger than the board (zoomed out) and one smaller, LayOutPuzzle gives the grid and
// the zoom the board itself arrives at when it builds the puzzle.
#include "game/ScreenLayout.h"

#include "BoardFixture.h"

#include <cmath>

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
            ASSERT_TRUE(StartGame(width, height, type).Ok());
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
    const BoardSize screen = BoardOnScreen({1920, 1080});
    EXPECT_EQ(screen.Width, 1921);
    EXPECT_EQ(screen.Height,
              1080 - TypicalPanelHeight - TypicalTitleBarHeight - TypicalMenuBarHeight);
}

// At every scale the count is the board's: the player's window takes the work area less its
// frame, whole in device pixels, and its board is the client area below the menu bar, in device
// pixels (a 2560 x 1600 screen at scale 2 with an unscaled 22-pixel title bar gave 192 pieces
// in the maker and 266 in the puzzle when the frame was guessed instead).
TEST_F(ScreenLayoutTest, CountOnAScreenIsTheBoardsAtEveryScale) {
    for (const double scale : {1.0, 1.5, 2.0}) {
        ScreenView view{2560, 1600, scale};
        view.WorkWidth = static_cast<int>(2560 / scale);
        view.WorkHeight = static_cast<int>(1600 / scale);
        view.FrameHeight = static_cast<int>(22 / scale);
        view.MenuBarHeight = 21;
        // The player's way: its window aligned down to whole device pixels, its menu bar up.
        const int window = AlignDownToWholeDevicePixels(view.WorkHeight - view.FrameHeight, scale);
        const int client = window - AlignUpToWholeDevicePixels(view.MenuBarHeight, scale);
        const int width = AlignDownToWholeDevicePixels(view.WorkWidth, scale);
        Game.RecreateBuffers(static_cast<int>(std::lround(width * scale)),
                             static_cast<int>(std::lround(client * scale)));
        const PuzzleLayout layout = LayOutOnScreen(1620, 2160, view, PuzzleShape::ForType(3), 100);
        Game.Settings.ZoomPercent = 100;
        ASSERT_TRUE(StartGame(1620, 2160, 3).Ok()) << scale;
        EXPECT_EQ(static_cast<std::size_t>(layout.PieceCount()), Game.Pieces()->Count()) << scale;
        EXPECT_EQ(layout.Cells.Cols, Game.PuzzleGrid().Cols) << scale;
    }
}
