#pragma once

#include "core/PieceFixtures.h"
#include "game/Board.h"
#include "game/PiecesOnTheBoard.h"
#include "puzzle/Groups.h"

#include <gtest/gtest.h>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <vector>

inline void PrintTo(const TRect& r, std::ostream* out) {
    *out << "{" << r.Left << ", " << r.Top << ", " << r.Right << ", " << r.Bottom << "}";
}

// A board of 1024 x 700 client pixels with a generator of a fixed seed, and the ways a user
// plays it: picking a piece where it shows, dragging it in steps, dropping it.
class BoardFixture : public ::testing::Test {
protected:
    static constexpr int ClientWidth = 1024;
    static constexpr int ClientHeight = 700;

    Random Dice{12345};
    Board Game{Dice};
    std::vector<int> Started;
    std::vector<int> Cut;
    BuildSteps Steps{[this](int count) {
                         Started.push_back(count);
                         return true;
                     },
                     [this](int made) { Cut.push_back(made); },
                     {}};

    void SetUp() override {
        Game.Settings.ZoomPercent = 100;
        Game.RecreateBuffers(ClientWidth, ClientHeight);
        Window = Game.DrawnBoard();
    }

    // A new game on a pattern picture; arrangeMode 1 lays the pieces in rows.
    Outcome StartGame(int width, int height, int type = 1, int arrangeMode = 2) {
        Game.Settings.Shape = PuzzleShape::ForType(type);
        Game.Settings.ArrangeMode = arrangeMode;
        SetPicture(PatternPicture(width, height));
        Outcome built = Game.Build(Steps);
        Game.RedrawBoard();
        Window = Game.DrawnBoard();
        return built;
    }

    // A picture at the fit the board gives it; whether it had to be zoomed out.
    bool SetPicture(Bitmap picture) {
        const PictureFit fit = Game.FitPicture(picture.Width(), picture.Height());
        Game.SetPicture(std::move(picture), fit);
        return fit.ZoomedOut;
    }

    TPuzzle& PieceAtGrid(int col, int row) { return ::PieceAtGrid(*Game.Pieces(), col, row); }
    std::optional<std::pair<int, int>> VisiblePoint(const TPuzzle& piece) {
        return ::VisiblePoint(*Game.Pieces(), piece);
    }
    std::pair<int, int> GripOf(const TPuzzle& piece) { return ::GripOf(*Game.Pieces(), piece); }

    // Drags `piece` in `steps` movements so that its top-left lands on (left, top), and drops it.
    BoardUpdate DragTo(const TPuzzle& piece, int left, int top, int steps = 4) {
        const auto [x, y] = GripOf(piece);
        const int endX = x + left - piece.Bounds.Left;
        const int endY = y + top - piece.Bounds.Top;
        EXPECT_FALSE(Show(Game.PickUp(x, y)).ShowNow.IsEmpty());
        for (int i = 1; i <= steps; ++i) {
            Show(Game.Move(x + (endX - x) * i / steps, y + (endY - y) * i / steps));
        }
        return DropAt(endX, endY);
    }

    // A release: the group put down and shown at once, then snapped and joined.
    BoardUpdate DropAt(int x, int y) {
        const BoardUpdate dropped = Show(Game.Drop(x, y));
        BoardUpdate settled = Show(Game.Settle());
        settled.ShowNow = dropped.ShowNow;
        return settled;
    }

    // The board as a full redraw would paint it, with or without the held group.
    Bitmap Redrawn(bool withHeldGroup = true) const {
        Bitmap board(Game.Width(), Game.Height());
        board.Fill(PixelFromColor(Game.Settings.BoardColor));
        const TPuzzle* held = Game.HeldPiece();
        for (const auto& p : *Game.Pieces()) {
            if (withHeldGroup || held == nullptr || p->GroupId != held->GroupId) {
                p->Draw(board, *Game.Picture());
            }
        }
        return board;
    }

    // A window that copies what each update names, as the player's window does: the named
    // rectangle from the buffer it names, and the whole board after ShowAll.
    Bitmap Window;
    const BoardUpdate& Show(const BoardUpdate& update) {
        const TRect r = update.ShowNow;
        if (update.FromDragBuffer) {
            const TRect& area = Game.DragArea();
            const TRect shown = r.Intersect(area);
            CopyArea(Game.DragBuffer(), shown.Offset(-area.Left, -area.Top), Window,
                     {shown.Left, shown.Top});
        } else {
            CopyRect(Game.DrawnBoard(), Window, r.Left, r.Top, r.Right, r.Bottom);
        }
        if (update.ShowAll) {
            Window = Game.DrawnBoard();
        }
        return update;
    }

    std::vector<int> GroupsBottomUp() const {
        std::vector<int> groups;
        for (const auto& p : *Game.Pieces()) {
            groups.push_back(p->GroupId);
        }
        return groups;
    }
};
