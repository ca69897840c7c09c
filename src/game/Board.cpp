#include "game/Board.h"

#include "game/ScreenLayout.h"

#include <algorithm>

Board::Board(Random& random)
    : Dice(random) {}

Board::~Board() {
    ClearPieces();
}

// A drag cannot go on across a new board: it ends, and the group is shown where it lies.
void Board::RecreateBuffers(int clientWidth, int clientHeight) {
    EndDrag();
    DragPixels = Bitmap();
    DragComposed = {};
    const BoardSize board = BoardOfClientArea(clientWidth, clientHeight);
    Canvas = BoardCanvas(board.Width, board.Height, Settings.BoardColor);
    if (AllPieces) {
        RedrawBoard();
    }
}

// The same layout the maker counts and the gate checks, on this board.
PictureFit Board::FitPicture(int width, int height) const {
    return LayOutPuzzle(width, height, {Width(), Height()}, Settings.Shape, Settings.ZoomPercent)
        .Fit;
}

void Board::SetPicture(Bitmap loaded, const PictureFit& fit) {
    ClearPieces();
    Settings.ZoomPercent = fit.ZoomPercent;
    const bool fitsAsLoaded = loaded.Width() == fit.Width && loaded.Height() == fit.Height;
    WorkingPicture = std::make_unique<Bitmap>(
        fitsAsLoaded ? std::move(loaded) : StretchNearest(loaded, fit.Width, fit.Height));
    Over = false;
}

void Board::ClearPicture() {
    WorkingPicture.reset();
    Over = true;
}

void Board::ClearPieces() {
    EndDrag();
    AllPieces.reset();
    Over = true;
}

// Every piece but a held group, or the board colour alone when there is none.
void Board::RedrawBoard() {
    LiftedGroup.reset();
    if (Grabbed != nullptr) {
        LiftedGroup = Grabbed->GroupId;
    }
    if (!AllPieces || !WorkingPicture ||
        std::none_of(AllPieces->begin(), AllPieces->end(),
                     [&](const auto& piece) { return ShownOnBoard(*piece); })) {
        Canvas.Fill(Settings.BoardColor);
        return;
    }
    Canvas.ShowPieces();
}

bool Board::ShownOnBoard(const TPuzzle& piece) const {
    return piece.GroupId != LiftedGroup;
}

// The board colour, then every piece that overlaps the area, bottom to top.
void Board::DrawBoardPart(Bitmap& target, Point origin, const TRect& area) const {
    const std::optional<TColor> plain = Canvas.PlainColor();
    const Pixel background = PixelFromColor(plain.value_or(Settings.BoardColor));
    target.FillRect(area.Left - origin.X, area.Top - origin.Y, area.Right - origin.X,
                    area.Bottom - origin.Y, background);
    if (plain || !AllPieces || !WorkingPicture) {
        return;
    }
    for (const auto& piece : *AllPieces) {
        if (piece->Bounds.Intersects(area) && ShownOnBoard(*piece)) {
            piece->DrawClippedAt(target, origin, area, *WorkingPicture);
        }
    }
}

Bitmap Board::DrawnBoard() const {
    Bitmap board(Width(), Height());
    DrawBoardPart(board, {0, 0}, {0, 0, Width(), Height()});
    return board;
}
