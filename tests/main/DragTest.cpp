// The window's side of a drag: it forwards the pointer, keeps it on the board, repaints what the
// game composed and shows its messages. The rules themselves are tested on the game alone.
#include "game/PiecesOnTheBoard.h"
#include "main/BoardWidget.h"
#include "main/FormFixture.h"

#include <QPaintEvent>
#include <QTest>

namespace {

// Records the rectangles the board is repainted in.
class PaintRecorder : public QObject {
public:
    std::vector<QRect> Rects;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            Rects.push_back(static_cast<QPaintEvent*>(event)->rect());
        }
        return false;
    }
};

class DragTest : public ShownFormTest {
protected:
    // A puzzle of the picture, laid out in rows so that no two pieces overlap.
    void StartArranged(int width, int height, int type = 1) {
        Form.Game().Settings.Shape = PuzzleShape::ForType(type);
        Form.Game().Settings.ArrangeMode = 1;
        ASSERT_TRUE(Form.StartGame(Jpeg(width, height)));
        Messages.Calls.clear();
    }

    TPuzzle& PieceAtGrid(int col, int row) {
        return ::PieceAtGrid(*Form.Game().Pieces(), col, row);
    }

    QPoint GripOf(const TPuzzle& piece) {
        const auto [x, y] = ::GripOf(*Form.Game().Pieces(), piece);
        return {x, y};
    }

    // Drags `piece` by the real window's mouse events so that its top-left lands on `target`.
    void DragTo(TPuzzle& piece, QPoint target, int steps = 4) {
        const QPoint grip = GripOf(piece);
        const QPoint end = grip + target - QPoint(piece.Bounds.Left, piece.Bounds.Top);
        QTest::mousePress(Form.BoardView(), Qt::LeftButton, {}, grip);
        for (int i = 1; i <= steps; ++i) {
            QTest::mouseMove(Form.BoardView(), grip + (end - grip) * i / steps);
        }
        QTest::mouseRelease(Form.BoardView(), Qt::LeftButton, {}, end);
    }

    // A plain repaint shows the board drawn anew, pixel for pixel.
    bool WindowShowsTheDrawnBoard() {
        const QImage shown =
            Form.BoardView()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const Bitmap board = Form.Game().DrawnBoard();
        for (int y = 0; y < shown.height(); ++y) {
            for (int x = 0; x < shown.width(); ++x) {
                if (shown.pixel(x, y) != board.At(x, y)) {
                    return false;
                }
            }
        }
        return true;
    }
};

const QString Solved = QStringLiteral("Congratulations. You've solved the puzzle.");

} // namespace

TEST_F(DragTest, PressAndMoveRepaintTheRectanglesTheGameComposed) {
    StartArranged(300, 200, 2); // pieces of 80
    TPuzzle& piece = **Form.Game().Pieces()->rbegin();
    piece.Bounds = {200, 150, 280, 230};
    Form.Game().RedrawBoard();
    QCoreApplication::processEvents(); // paint what the build left waiting
    PaintRecorder paints;
    Form.BoardView()->installEventFilter(&paints);
    Form.FormMouseDown(Qt::LeftButton, 230, 180);
    ASSERT_EQ(Form.Game().HeldPiece(), &piece);
    ASSERT_EQ(paints.Rects.size(), 1u);
    EXPECT_EQ(paints.Rects[0], QRect(200, 150, 82, 82));

    paints.Rects.clear();
    Form.FormMouseMove(235, 177);
    ASSERT_EQ(paints.Rects.size(), 1u);
    EXPECT_EQ(paints.Rects[0], QRect(148, 95, 169, 167));
    paints.Rects.clear();
    Form.FormMouseUp(Qt::LeftButton, 240, 170);
    Form.BoardView()->removeEventFilter(&paints);
    ASSERT_EQ(paints.Rects.size(), 1u);
    EXPECT_EQ(paints.Rects[0], QRect(153, 88, 169, 171));
    EXPECT_TRUE(WindowShowsTheDrawnBoard());
}

TEST_F(DragTest, OnlyTheLeftButtonPicksUpAndAnyReleaseDrops) {
    StartArranged(400, 300);
    TPuzzle& piece = PieceAtGrid(1, 1);
    const QPoint grip = GripOf(piece);
    const Bitmap board = Form.Game().DrawnBoard();
    QTest::mousePress(Form.BoardView(), Qt::RightButton, {}, grip);
    QTest::mouseRelease(Form.BoardView(), Qt::RightButton, {}, grip);
    QTest::mousePress(Form.BoardView(), Qt::MiddleButton, {}, grip);
    QTest::mouseRelease(Form.BoardView(), Qt::MiddleButton, {}, grip);
    EXPECT_FALSE(Form.Game().IsHolding());
    EXPECT_EQ(Form.Game().DrawnBoard(), board);

    // A right-button release drops the group like a left one.
    const int left = piece.Bounds.Left;
    Form.FormMouseDown(Qt::LeftButton, grip.x(), grip.y());
    Form.FormMouseMove(grip.x() + 40, grip.y() + 25);
    Form.FormMouseUp(Qt::RightButton, grip.x() + 40, grip.y() + 25);
    EXPECT_FALSE(Form.Game().IsHolding());
    EXPECT_EQ(piece.Bounds.Left, left + 40);
}

TEST_F(DragTest, ThePointerIsKeptInsideTheBoardWhileAGroupIsHeld) {
    StartArranged(400, 300);
    TPuzzle& piece = PieceAtGrid(0, 0);
    const TRect start = piece.Bounds;
    const QPoint grip = GripOf(piece);
    Form.FormMouseDown(Qt::LeftButton, grip.x(), grip.y());
    Form.FormMouseMove(-500, 99999);
    EXPECT_EQ(piece.Bounds, start.Offset(1 - grip.x(), Form.ClientHeight() - 3 - grip.y()));
    Form.FormMouseUp(Qt::LeftButton, 5000, 5000);
    EXPECT_FALSE(Form.Game().IsHolding());
    EXPECT_EQ(piece.Bounds, start.Offset(1 - grip.x(), Form.ClientHeight() - 3 - grip.y()));
}

TEST_F(DragTest, AfterDragsAndJoinsTheWindowShowsTheBoard) {
    StartArranged(400, 300, 1); // pieces of 96, tabs of 16
    TPuzzle& left = PieceAtGrid(0, 0);
    TPuzzle& right = PieceAtGrid(1, 0);
    DragTo(left, {300, 400});
    DragTo(right, {300 + 80 + 3, 400 - 4}); // joins
    ASSERT_EQ(left.GroupId, right.GroupId);
    QCoreApplication::processEvents(); // the join repaints the whole board
    EXPECT_TRUE(WindowShowsTheDrawnBoard());
    const QPoint grip = GripOf(PieceAtGrid(2, 1));
    QTest::mousePress(Form.BoardView(), Qt::LeftButton, {}, grip);
    QTest::mouseMove(Form.BoardView(), grip + QPoint(33, -21));
    // A plain repaint while a group is held shows the board without it.
    EXPECT_TRUE(WindowShowsTheDrawnBoard());
    QTest::mouseRelease(Form.BoardView(), Qt::LeftButton, {}, grip + QPoint(33, -21));
    EXPECT_TRUE(WindowShowsTheDrawnBoard());
}

TEST_F(DragTest, SolvingThePuzzleThroughTheWindowIsCongratulatedOnce) {
    StartArranged(340, 250, 1); // 4 x 3 pieces of 96
    const QPoint origin(320, 420);
    DragTo(PieceAtGrid(0, 0), origin);
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 4; ++col) {
            if (row > 0 || col > 0) {
                DragTo(PieceAtGrid(col, row), origin + QPoint(col * 80 + 2, row * 80 - 2));
            }
        }
    }
    ASSERT_EQ(Messages.Calls.size(), 1u);
    EXPECT_EQ(Messages.Calls[0].Text, Solved);
    EXPECT_EQ(Messages.Calls[0].Caption, "Tavrin");
    EXPECT_EQ(Messages.Calls[0].Icon, MessageIcon::Information);
    DragTo(PieceAtGrid(2, 1), {200, 300}); // the whole picture moves, without a word
    EXPECT_EQ(Messages.Calls.size(), 1u);
}

TEST_F(DragTest, ANewGameOrACloseWhileHoldingEndsTheDrag) {
    StartArranged(400, 300);
    const QPoint grip = GripOf(PieceAtGrid(1, 0));
    Form.FormMouseDown(Qt::LeftButton, grip.x(), grip.y());
    ASSERT_TRUE(Form.Game().IsHolding());
    Form.NewGameMenuClick();
    EXPECT_FALSE(Form.Game().IsHolding());
    Form.FormMouseMove(grip.x() + 10, grip.y());
    Form.FormMouseUp(Qt::LeftButton, grip.x() + 10, grip.y());
    const Bitmap board = Form.Game().DrawnBoard();
    Form.Game().RedrawBoard();
    EXPECT_EQ(Form.Game().DrawnBoard(), board); // nothing of the old drag is left

    const QPoint again = GripOf(**Form.Game().Pieces()->rbegin());
    Form.FormMouseDown(Qt::LeftButton, again.x(), again.y());
    ASSERT_TRUE(Form.Game().IsHolding());
    Form.close();
    EXPECT_FALSE(Form.Game().IsHolding());
}
