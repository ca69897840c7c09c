#include "main/BoardWidget.h"
#include "main/FormFixture.h"
#include "main/PointerConfinement.h"
#include "puzzle/Groups.h"
#include "puzzle/Random.h"

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
        Form.SetPuzzleType(type);
        Form.ArrangeMode = 1;
        ASSERT_TRUE(Form.StartGame(Jpeg(width, height)));
        Messages.Calls.clear();
    }

    TPuzzle& PieceAtGrid(int col, int row) {
        for (const auto& p : *Form.Pieces) {
            if (p->Col == col && p->Row == row) {
                return *p;
            }
        }
        throw std::logic_error("no such piece");
    }

    // A board point where `piece` is the topmost piece.
    QPoint GripOf(TPuzzle& piece) {
        const TRect& b = piece.Bounds;
        for (int y = b.Top + b.Height() / 3; y < b.Bottom; ++y) {
            for (int x = b.Left + b.Width() / 3; x < b.Right; ++x) {
                if (TopmostAt(*Form.Pieces, x, y) == &piece) {
                    return {x, y};
                }
            }
        }
        throw std::logic_error("the piece is covered");
    }

    // Drags `piece` by the real window's mouse events so that its top-left lands on `target`.
    void DragTo(TPuzzle& piece, QPoint target, int steps = 4) {
        const QPoint grip = GripOf(piece);
        const QPoint end = grip + target - QPoint(piece.Bounds.Left, piece.Bounds.Top);
        QTest::mousePress(Form.Board, Qt::LeftButton, {}, grip);
        for (int i = 1; i <= steps; ++i) {
            QTest::mouseMove(Form.Board, grip + (end - grip) * i / steps);
        }
        QTest::mouseRelease(Form.Board, Qt::LeftButton, {}, end);
    }

    // The board as a full redraw would paint it.
    Bitmap Redrawn() {
        Bitmap board(Form.BoardBuffer->Width(), Form.BoardBuffer->Height());
        board.Fill(PixelFromColor(Form.BoardColor));
        for (const auto& p : *Form.Pieces) {
            p->Draw(board, *Form.Picture);
        }
        return board;
    }

    bool WindowShowsBoardBuffer() {
        const QImage shown = Form.Board->grab().toImage().convertToFormat(QImage::Format_RGB32);
        for (int y = 0; y < shown.height(); ++y) {
            for (int x = 0; x < shown.width(); ++x) {
                if (shown.pixel(x, y) != Form.BoardBuffer->At(x, y)) {
                    return false;
                }
            }
        }
        return true;
    }

    std::vector<int> Groups() {
        std::vector<int> groups;
        for (const auto& p : *Form.Pieces) {
            groups.push_back(p->GroupId);
        }
        return groups;
    }
};

const QString Congratulations = QStringLiteral("Congratulations. You've solved the puzzle.");

} // namespace

TEST_F(DragTest, PressAndMoveRepaintTheWorkedRectangles) {
    StartArranged(300, 200, 2); // pieces of 80
    TPuzzle& piece = **Form.Pieces->rbegin();
    piece.Bounds = {200, 150, 280, 230};
    Form.RedrawBoard();
    const QPoint grip = GripOf(piece);
    QCoreApplication::processEvents(); // paint what the build left waiting
    PaintRecorder paints;
    Form.Board->installEventFilter(&paints);
    Form.FormMouseDown(Qt::LeftButton, grip.x(), grip.y());
    ASSERT_EQ(Form.HeldPiece, &piece);
    EXPECT_EQ(Form.DragRect, (TRect{200, 150, 280, 230}));
    ASSERT_EQ(paints.Rects.size(), 1u);
    EXPECT_EQ(paints.Rects[0], QRect(200, 150, 82, 82));

    paints.Rects.clear();
    Form.LastMouseX = 230;
    Form.LastMouseY = 180;
    Form.FormMouseMove(235, 177);
    EXPECT_EQ(piece.Bounds, (TRect{205, 147, 285, 227}));
    ASSERT_EQ(paints.Rects.size(), 1u);
    EXPECT_EQ(paints.Rects[0], QRect(148, 95, 169, 167));
    EXPECT_EQ(Form.LastMouseX, 235);
    EXPECT_EQ(Form.LastMouseY, 177);
    Form.FormMouseUp(Qt::LeftButton, 235, 177);
    Form.Board->removeEventFilter(&paints);
}

TEST_F(DragTest, PickingUpRaisesTheGroupInReverseOrder) {
    StartArranged(400, 300);
    auto& pieces = *Form.Pieces;
    TPuzzle& a = PieceAtGrid(0, 0);
    TPuzzle& b = PieceAtGrid(1, 0);
    TPuzzle& c = PieceAtGrid(2, 0);
    b.GroupId = c.GroupId = a.GroupId;
    std::vector<TPuzzle*> before;
    for (const auto& p : pieces) {
        if (p->GroupId == a.GroupId) {
            before.push_back(p.get());
        }
    }
    const QPoint grip = GripOf(b);
    Form.FormMouseDown(Qt::LeftButton, grip.x(), grip.y());
    EXPECT_EQ(Form.HeldPieces.Count(), 3u);
    auto top = pieces.rbegin();
    for (TPuzzle* member : before) {
        EXPECT_EQ(top->get(), member); // the lowest before is now the topmost
        ++top;
    }
    EXPECT_EQ(*Form.HeldPieces.begin(), before.back());
    Form.FormMouseUp(Qt::LeftButton, grip.x(), grip.y());
    EXPECT_TRUE(Form.HeldPieces.IsEmpty());
    EXPECT_EQ(Form.HeldPiece, nullptr);
}

TEST_F(DragTest, OtherButtonsAndSecondPressesChangeNothing) {
    StartArranged(400, 300);
    TPuzzle& piece = PieceAtGrid(1, 1);
    const QPoint grip = GripOf(piece);
    const auto order = Groups();
    const Bitmap board = *Form.BoardBuffer;
    Form.FormMouseDown(Qt::RightButton, grip.x(), grip.y());
    Form.FormMouseDown(Qt::MiddleButton, grip.x(), grip.y());
    Form.FormMouseMove(grip.x() + 30, grip.y() + 30);
    EXPECT_EQ(Form.HeldPiece, nullptr);
    EXPECT_EQ(Groups(), order);
    EXPECT_EQ(*Form.BoardBuffer, board);

    Form.FormMouseDown(Qt::LeftButton, grip.x(), grip.y());
    const auto lifted = Groups();
    const Bitmap liftedBoard = *Form.BoardBuffer;
    const QPoint other = GripOf(PieceAtGrid(0, 0));
    Form.FormMouseDown(Qt::LeftButton, other.x(), other.y());
    EXPECT_EQ(Form.HeldPiece, &piece);
    EXPECT_EQ(Groups(), lifted);
    EXPECT_EQ(*Form.BoardBuffer, liftedBoard);

    // A right-button release drops the group like a left one.
    Form.FormMouseMove(grip.x() + 40, grip.y() + 25);
    Form.FormMouseUp(Qt::RightButton, grip.x() + 40, grip.y() + 25);
    EXPECT_EQ(Form.HeldPiece, nullptr);
    EXPECT_EQ(*Form.BoardBuffer, Redrawn());
}

TEST_F(DragTest, ThePointerIsKeptInsideTheBoardWhileAGroupIsHeld) {
    StartArranged(400, 300);
    const QPoint grip = GripOf(PieceAtGrid(0, 0));
    Form.FormMouseDown(Qt::LeftButton, grip.x(), grip.y());
    EXPECT_EQ(Form.ConfinementRect(),
              (TRect{1, 1, Form.ClientWidth() - 2, Form.ClientHeight() - 2}));
    Form.FormMouseMove(-500, 99999);
    EXPECT_EQ(Form.LastMouseX, 1);
    EXPECT_EQ(Form.LastMouseY, Form.ClientHeight() - 3);
    Form.FormMouseUp(Qt::LeftButton, 5000, 5000);
    EXPECT_EQ(Form.HeldPiece, nullptr);
}

TEST_F(DragTest, AfterAnyDragsTheBoardBufferEqualsAFullRedraw) {
    StartArranged(500, 400, 2);
    Random random(99);
    for (int drag = 0; drag < 60; ++drag) {
        const int x = 1 + random.Next() % (Form.ClientWidth() - 4);
        const int y = 1 + random.Next() % (Form.ClientHeight() - 4);
        Form.FormMouseDown(Qt::LeftButton, x, y);
        if (Form.HeldPiece == nullptr) {
            continue;
        }
        for (int move = 0; move < 3; ++move) {
            Form.FormMouseMove(x + random.Next() % 201 - 100, y + random.Next() % 201 - 100);
        }
        Form.FormMouseUp(Qt::LeftButton, Form.LastMouseX, Form.LastMouseY);
        ASSERT_EQ(*Form.BoardBuffer, Redrawn()) << "drag " << drag;
        if (drag % 15 == 0) {
            EXPECT_TRUE(WindowShowsBoardBuffer()) << "drag " << drag;
        }
    }
}

TEST_F(DragTest, AJoinMovesTheGroupExactlyAndRaisesTheAbsorbedPieces) {
    StartArranged(400, 300, 1); // pieces of 96, tabs of 16
    TPuzzle& left = PieceAtGrid(0, 0);
    TPuzzle& right = PieceAtGrid(1, 0);
    DragTo(left, {300, 400});
    DragTo(right, {300 + 80 + 3, 400 - 4}); // within the tolerance
    EXPECT_EQ(right.Bounds, (TRect{380, 400, 476, 496}));
    EXPECT_EQ(left.GroupId, right.GroupId);
    EXPECT_EQ(Form.Pieces->rbegin()->get(), &left); // absorbed, on top
    EXPECT_EQ(*Form.BoardBuffer, Redrawn());
    EXPECT_TRUE(WindowShowsBoardBuffer());

    TPuzzle& below = PieceAtGrid(0, 1);
    DragTo(below, {300 + 6, 400 + 80}); // six pixels off: no join
    EXPECT_NE(below.GroupId, left.GroupId);
    EXPECT_EQ(below.Bounds.Left, 306);
}

TEST_F(DragTest, SolvingThePuzzleThroughTheWindowIsCongratulatedOnce) {
    StartArranged(340, 250, 1); // 4 x 3 pieces of 96
    ASSERT_EQ(Form.Cols, 4);
    ASSERT_EQ(Form.Rows, 3);
    const QPoint origin(320, 420);
    DragTo(PieceAtGrid(0, 0), origin);
    for (int row = 0; row < Form.Rows; ++row) {
        for (int col = 0; col < Form.Cols; ++col) {
            if (row == 0 && col == 0) {
                continue;
            }
            DragTo(PieceAtGrid(col, row), origin + QPoint(col * 80 + 2, row * 80 - 2));
        }
    }
    EXPECT_TRUE(IsSolved(*Form.Pieces));
    ASSERT_EQ(Messages.Calls.size(), 1u);
    EXPECT_EQ(Messages.Calls[0].Text, Congratulations);
    EXPECT_EQ(Messages.Calls[0].Caption, "Tavrin");
    EXPECT_EQ(Messages.Calls[0].Icon, MessageIcon::Information);
    EXPECT_TRUE(Form.GameOver);

    DragTo(PieceAtGrid(2, 1), {200, 300}); // the whole picture moves
    EXPECT_EQ(PieceAtGrid(0, 0).Bounds.Left, 200 - 2 * 80);
    EXPECT_EQ(Messages.Calls.size(), 1u);
}

TEST_F(DragTest, ANewGameOrACloseWhileHoldingEndsTheDrag) {
    StartArranged(400, 300);
    const QPoint grip = GripOf(PieceAtGrid(1, 0));
    Form.FormMouseDown(Qt::LeftButton, grip.x(), grip.y());
    ASSERT_NE(Form.HeldPiece, nullptr);
    Form.NewGameMenuClick();
    EXPECT_EQ(Form.HeldPiece, nullptr);
    EXPECT_TRUE(Form.HeldPieces.IsEmpty());
    Form.FormMouseMove(grip.x() + 10, grip.y());
    Form.FormMouseUp(Qt::LeftButton, grip.x() + 10, grip.y());
    EXPECT_EQ(*Form.BoardBuffer, Redrawn());

    const QPoint again = GripOf(**Form.Pieces->rbegin());
    Form.FormMouseDown(Qt::LeftButton, again.x(), again.y());
    ASSERT_NE(Form.HeldPiece, nullptr);
    Form.close();
    EXPECT_EQ(Form.HeldPiece, nullptr);
    EXPECT_TRUE(Form.HeldPieces.IsEmpty());
}
