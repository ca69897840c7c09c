// Picking up, dragging, dropping, snapping, joining and solving, on the game alone.
#include "BoardFixture.h"

namespace {

using BoardPlayTest = BoardFixture;

// The board without the held group, every member's shadow, then every member.
Bitmap BoardWithHeldGroupOnTop(const Board& game, Bitmap withoutGroup) {
    for (const TPuzzle* held : game.HeldPieces()) {
        held->DrawShadow(withoutGroup);
    }
    for (const TPuzzle* held : game.HeldPieces()) {
        held->Draw(withoutGroup, *game.Picture());
    }
    return withoutGroup;
}

} // namespace

TEST_F(BoardPlayTest, PressAndMoveShowTheWorkedRectangles) {
    ASSERT_TRUE(StartGame(300, 200, 2, 1).Ok()); // pieces of 80
    TPuzzle& piece = **Game.Pieces()->rbegin();
    piece.Bounds = {200, 150, 280, 230};
    Game.RedrawBoard();
    ASSERT_TRUE(piece.Contains(230, 180));

    EXPECT_EQ(Game.PickUp(230, 180).ShowNow, (TRect{200, 150, 282, 232}));
    EXPECT_EQ(Game.HeldPiece(), &piece);
    const BoardUpdate moved = Game.Move(235, 177);
    EXPECT_EQ(piece.Bounds, (TRect{205, 147, 285, 227}));
    EXPECT_EQ(moved.ShowNow, (TRect{148, 95, 148 + 169, 95 + 167}));
    EXPECT_TRUE(moved.FromDragBuffer);
    EXPECT_FALSE(moved.ShowAll);

    const BoardUpdate dropped = DropAt(240, 170);
    EXPECT_EQ(dropped.ShowNow, (TRect{153, 88, 153 + 169, 88 + 171}));
    EXPECT_EQ(piece.Bounds, (TRect{205, 147, 285, 227})); // the release point moves nothing
    EXPECT_FALSE(dropped.FromDragBuffer);
    EXPECT_FALSE(Game.IsHolding());
}

TEST_F(BoardPlayTest, PickingUpRaisesTheGroupInReverseOrder) {
    ASSERT_TRUE(StartGame(400, 300, 1, 1).Ok());
    TPuzzle& a = PieceAtGrid(0, 0);
    TPuzzle& b = PieceAtGrid(1, 0);
    TPuzzle& c = PieceAtGrid(2, 0);
    b.GroupId = c.GroupId = a.GroupId;
    std::vector<const TPuzzle*> before;
    for (const auto& p : *Game.Pieces()) {
        if (p->GroupId == a.GroupId) {
            before.push_back(p.get());
        }
    }
    const auto [x, y] = GripOf(b);
    Game.PickUp(x, y);
    EXPECT_EQ(Game.HeldPieces().Count(), 3u);
    auto top = Game.Pieces()->rbegin();
    for (const TPuzzle* member : before) {
        EXPECT_EQ(top->get(), member); // the lowest before is now the topmost
        ++top;
    }
    EXPECT_EQ(*Game.HeldPieces().begin(), before.back());
    DropAt(x, y);
    EXPECT_TRUE(Game.HeldPieces().IsEmpty());
    EXPECT_EQ(Game.HeldPiece(), nullptr);
}

TEST_F(BoardPlayTest, PressesOffThePiecesOrWhileHoldingAndMovesWithoutAGroupChangeNothing) {
    ASSERT_TRUE(StartGame(400, 300, 1, 1).Ok());
    const std::vector<int> order = GroupsBottomUp();
    const Bitmap board = Game.DrawnBoard();
    EXPECT_TRUE(Game.PickUp(ClientWidth - 5, ClientHeight - 5).ShowNow.IsEmpty()); // background
    EXPECT_TRUE(Game.Move(300, 300).ShowNow.IsEmpty());
    EXPECT_TRUE(Game.Drop(300, 300).ShowNow.IsEmpty());
    EXPECT_FALSE(Game.Settle().Joined);
    EXPECT_FALSE(Game.IsHolding());
    EXPECT_EQ(GroupsBottomUp(), order);
    EXPECT_EQ(Game.DrawnBoard(), board);

    const auto [x, y] = GripOf(PieceAtGrid(1, 1));
    Game.PickUp(x, y);
    const std::vector<int> lifted = GroupsBottomUp();
    const Bitmap liftedBoard = Game.DrawnBoard();
    const auto [otherX, otherY] = GripOf(PieceAtGrid(0, 0));
    EXPECT_TRUE(Game.PickUp(otherX, otherY).ShowNow.IsEmpty());
    EXPECT_EQ(Game.HeldPiece(), &PieceAtGrid(1, 1));
    EXPECT_EQ(GroupsBottomUp(), lifted);
    EXPECT_EQ(Game.DrawnBoard(), liftedBoard);
}

// The board buffer never holds the held group, so a drop only has to draw the group over it;
// what the window shows is that board with the group and its shadow on top.
TEST_F(BoardPlayTest, WhileAGroupIsHeldTheBoardBufferIsTheBoardWithoutIt) {
    ASSERT_TRUE(StartGame(500, 400, 2, 1).Ok());
    TPuzzle& a = PieceAtGrid(1, 1);
    PieceAtGrid(2, 1).GroupId = a.GroupId;
    Game.RedrawBoard();
    Window = Game.DrawnBoard();
    const auto [x, y] = GripOf(a);
    Show(Game.PickUp(x, y));
    ASSERT_EQ(Game.HeldPieces().Count(), 2u);
    for (const auto& [dx, dy] : std::vector<std::pair<int, int>>{{0, 0}, {7, -3}, {150, 90}}) {
        Show(Game.Move(x + dx, y + dy));
        ASSERT_EQ(Game.DrawnBoard(), Redrawn(false)) << dx;
        EXPECT_EQ(Window, BoardWithHeldGroupOnTop(Game, Redrawn(false))) << dx;
    }
    Game.RedrawBoard();
    EXPECT_EQ(Game.DrawnBoard(), Redrawn(false));

    // New buffers end the drag: the group is drawn where it lies.
    Game.RecreateBuffers(ClientWidth, ClientHeight);
    EXPECT_FALSE(Game.IsHolding());
    EXPECT_EQ(Game.DrawnBoard(), Redrawn());
}

TEST_F(BoardPlayTest, AfterAnySequenceOfDragsTheBoardEqualsAFullRedraw) {
    ASSERT_TRUE(StartGame(500, 400, 2, 1).Ok());
    const int pitch = Game.Settings.Shape.Pitch();
    Random random(99);
    int joins = 0;
    for (int drag = 0; drag < 80; ++drag) {
        BoardUpdate dropped;
        if (drag % 2 == 0) { // next to a right-hand neighbour, within the tolerance or just not
            const Grid& grid = Game.PuzzleGrid();
            const int col = random.Next() % (grid.Cols - 1);
            const int row = random.Next() % grid.Rows;
            const TPuzzle& left = PieceAtGrid(col, row);
            const TPuzzle& right = PieceAtGrid(col + 1, row);
            const int off = random.Next() % 13 - 6;
            if (left.GroupId == right.GroupId || !VisiblePoint(right)) {
                continue;
            }
            dropped = DragTo(right, left.Bounds.Left + pitch + off, left.Bounds.Top - off / 2);
        } else {
            const int x = 1 + random.Next() % (ClientWidth - 4);
            const int y = 1 + random.Next() % (ClientHeight - 4);
            if (Game.PickUp(x, y).ShowNow.IsEmpty()) {
                continue;
            }
            for (int move = 0; move < 3; ++move) {
                Game.Move(x + random.Next() % 201 - 100, y + random.Next() % 201 - 100);
            }
            dropped = DropAt(x, y);
        }
        joins += dropped.Joined;
        EXPECT_EQ(dropped.ShowAll, dropped.Joined);
        ASSERT_EQ(Game.DrawnBoard(), Redrawn()) << "drag " << drag;
        ASSERT_EQ(Window, Game.DrawnBoard()) << "drag " << drag;
    }
    EXPECT_GE(joins, 5);
}

// The window copies only the rectangles an update names, and everything after a join. Following
// just those copies, it shows the board with the held group, shadows under all members, while
// dragging, and the board alone after the drop, whichever way the group moves.
TEST_F(BoardPlayTest, TheRectanglesAnUpdateNamesKeepTheWindowEqualToTheBoard) {
    ASSERT_TRUE(StartGame(400, 300, 1, 1).Ok()); // pieces of 96, tabs of 16
    TPuzzle& left = PieceAtGrid(0, 0);
    TPuzzle& right = PieceAtGrid(1, 0);
    for (const auto& [piece, x] :
         std::vector<std::pair<TPuzzle*, int>>{{&left, 300}, {&right, 380}}) {
        const auto [gripX, gripY] = GripOf(*piece);
        Show(Game.PickUp(gripX, gripY));
        const int toX = gripX + x - piece->Bounds.Left;
        const int toY = gripY + 300 - piece->Bounds.Top;
        Show(Game.Move(toX, toY));
        DropAt(toX, toY);
    }
    ASSERT_EQ(left.GroupId, right.GroupId); // overlapping members: one's shadow falls on the other
    ASSERT_EQ(Window, Game.DrawnBoard());

    auto [x, y] = GripOf(right);
    Show(Game.PickUp(x, y));
    ASSERT_EQ(Game.HeldPieces().Count(), 2u);
    EXPECT_EQ(Window, BoardWithHeldGroupOnTop(Game, Redrawn(false)));
    // Small steps, and jumps of more than a piece as a fast pointer makes.
    const std::vector<std::pair<int, int>> moves = {
        {0, 0}, {9, 4}, {-13, 6}, {7, -11}, {-5, -8}, {25, 110}, {-120, -100}, {130, -5}, {0, 35}};
    for (const auto& [dx, dy] : moves) {
        x += dx;
        y += dy;
        Show(Game.Move(x, y));
        ASSERT_EQ(Window, BoardWithHeldGroupOnTop(Game, Redrawn(false))) << dx << "," << dy;
    }
    DropAt(x + 3, y + 2);
    EXPECT_EQ(Window, Game.DrawnBoard());
    EXPECT_EQ(Window, Redrawn());
}

TEST_F(BoardPlayTest, AJoinMovesTheGroupExactlyAndRaisesTheAbsorbedPieces) {
    ASSERT_TRUE(StartGame(400, 300, 1, 1).Ok()); // pieces of 96, tabs of 16
    TPuzzle& left = PieceAtGrid(0, 0);
    TPuzzle& right = PieceAtGrid(1, 0);
    EXPECT_FALSE(DragTo(left, 300, 400).Joined);
    const BoardUpdate joined = DragTo(right, 300 + 80 + 3, 400 - 4); // within the tolerance
    EXPECT_TRUE(joined.Joined);
    EXPECT_TRUE(joined.ShowAll);
    EXPECT_EQ(right.Bounds, (TRect{380, 400, 476, 496}));
    EXPECT_EQ(left.GroupId, right.GroupId);
    EXPECT_EQ(Game.Pieces()->rbegin()->get(), &left); // absorbed, on top
    EXPECT_EQ(Game.DrawnBoard(), Redrawn());

    TPuzzle& below = PieceAtGrid(0, 1);
    EXPECT_FALSE(DragTo(below, 300 + 6, 400 + 80).Joined); // six pixels off: no join
    EXPECT_NE(below.GroupId, left.GroupId);
    EXPECT_EQ(below.Bounds.Left, 306);
}

// A piece let go exactly at its home position joins every group it fits in one drop; let go
// anywhere else it joins the first only.
TEST_F(BoardPlayTest, ADropExactlyAtHomeJoinsEveryGroupItFits) {
    for (const auto& [offX, offY] : std::vector<std::pair<int, int>>{{0, 0}, {1, 0}, {0, -1}}) {
        const bool atHome = offX == 0 && offY == 0;
        ASSERT_TRUE(StartGame(250, 250, 1, 1).Ok()); // 3 x 3 pieces of 96
        TPuzzle& held = PieceAtGrid(2, 2);
        TPuzzle& left = PieceAtGrid(1, 2);
        TPuzzle& above = PieceAtGrid(2, 1);
        int parked = 0;
        for (const auto& p : *Game.Pieces()) {
            const TPuzzle* piece = p.get();
            const TPuzzle* home = piece == &left || piece == &above ? piece : nullptr;
            const int x = home ? home->HomeX : piece == &held ? 400 : 500 + 100 * (parked % 4);
            const int y = home ? home->HomeY : piece == &held ? 300 : 400 + 100 * (parked++ / 4);
            p->Bounds = {x, y, x + 96, y + 96};
        }
        Game.RedrawBoard();
        const BoardUpdate dropped = DragTo(held, held.HomeX + offX, held.HomeY + offY);
        EXPECT_TRUE(dropped.Joined);
        const bool both = left.GroupId == held.GroupId && above.GroupId == held.GroupId;
        EXPECT_EQ(both, atHome) << offX << "," << offY;
        EXPECT_TRUE(left.GroupId == held.GroupId || above.GroupId == held.GroupId);
        EXPECT_EQ(Game.DrawnBoard(), Redrawn()) << offX << "," << offY;
    }
}

TEST_F(BoardPlayTest, SolvingIsReportedOnceAndTheSolvedPictureStillMoves) {
    ASSERT_TRUE(StartGame(340, 250, 1, 1).Ok()); // 4 x 3 pieces of 96
    ASSERT_EQ(Game.PuzzleGrid().Cols, 4);
    ASSERT_EQ(Game.PuzzleGrid().Rows, 3);
    int solved = 0;
    DragTo(PieceAtGrid(0, 0), 320, 420);
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 4; ++col) {
            if (row > 0 || col > 0) {
                EXPECT_FALSE(Game.GameOver());
                solved +=
                    DragTo(PieceAtGrid(col, row), 320 + col * 80 + 2, 420 + row * 80 - 2).Solved;
            }
        }
    }
    EXPECT_EQ(solved, 1);
    EXPECT_TRUE(IsSolved(*Game.Pieces()));
    EXPECT_TRUE(Game.GameOver());

    EXPECT_FALSE(DragTo(PieceAtGrid(2, 1), 200, 300).Solved); // the whole picture moves
    EXPECT_EQ(PieceAtGrid(0, 0).Bounds.Left, 200 - 2 * 80);
    EXPECT_EQ(Game.DrawnBoard(), Redrawn());
}

// With every piece in the held group the board is bare while it is held, and no longer once the
// group is put down: the window paints a bare board in its colour alone.
TEST_F(BoardPlayTest, ABoardIsBareOnlyWhileNoPieceLiesOnIt) {
    ASSERT_TRUE(StartGame(200, 200, 1).Ok());
    for (const auto& piece : *Game.Pieces()) {
        piece->GroupId = 1;
    }
    Game.RedrawBoard();
    EXPECT_FALSE(Game.ShowsOnlyTheBoardColour());
    const auto [x, y] = GripOf(PieceAtGrid(0, 0));
    Show(Game.PickUp(x, y));
    Game.RedrawBoard();
    EXPECT_TRUE(Game.ShowsOnlyTheBoardColour());
    EXPECT_EQ(Game.DrawnBoard(), Redrawn(false));
    DropAt(x + 40, y + 30);
    EXPECT_FALSE(Game.ShowsOnlyTheBoardColour());
    EXPECT_EQ(Game.DrawnBoard(), Redrawn());
}

TEST_F(BoardPlayTest, ANewPictureOrClearingThePiecesEndsADrag) {
    ASSERT_TRUE(StartGame(400, 300, 1, 1).Ok());
    const auto [x, y] = GripOf(PieceAtGrid(1, 0));
    Game.PickUp(x, y);
    ASSERT_TRUE(Game.IsHolding());
    SetPicture(PatternPicture(400, 300));
    EXPECT_FALSE(Game.IsHolding());
    EXPECT_TRUE(Game.HeldPieces().IsEmpty());
    EXPECT_EQ(Game.Pieces(), nullptr);
    EXPECT_TRUE(Game.Drop(x, y).ShowNow.IsEmpty());
    EXPECT_TRUE(Game.Settle().ShowNow.IsEmpty());
}

TEST_F(BoardPlayTest, ThePointerIsKeptOnePixelInsideTheClientArea) {
    EXPECT_EQ(Game.ConfinementRect(), (TRect{1, 1, ClientWidth - 2, ClientHeight - 2}));
}
