#include "game/Board.h"

Board::Board(Random& random)
    : Dice(random) {}

Board::~Board() {
    ClearPieces();
}

// A drag cannot go on across new buffers: it ends, and the group is drawn where it lies.
void Board::RecreateBuffers(int clientWidth, int clientHeight) {
    EndDrag();
    BoardPixels = Bitmap(clientWidth + 1, clientHeight);
    DragPixels = Bitmap(clientWidth + 1, clientHeight);
    RedrawBoard();
}

PictureFit Board::FitPicture(int width, int height) const {
    return FitToBoard(width, height, Width(), Height(), Settings.ZoomPercent);
}

void Board::SetPicture(Bitmap loaded, const PictureFit& fit) {
    ClearPieces();
    Settings.ZoomPercent = fit.ZoomPercent;
    WorkingPicture = std::make_unique<Bitmap>(StretchNearest(loaded, fit.Width, fit.Height));
    Unshaded = std::make_shared<const Bitmap>(*WorkingPicture);
    Over = false;
}

void Board::ClearPicture() {
    WorkingPicture.reset();
    Unshaded.reset();
    Over = true;
}

void Board::ClearPieces() {
    EndDrag();
    AllPieces.reset();
    Over = true;
}

// The board colour, then every piece bottom to top; a held group is not part of the board.
void Board::RedrawBoard() {
    BoardPixels.Fill(PixelFromColor(Settings.BoardColor));
    if (!AllPieces || !WorkingPicture) {
        return;
    }
    for (const auto& piece : *AllPieces) {
        if (Grabbed == nullptr || piece->GroupId != Grabbed->GroupId) {
            piece->Draw(BoardPixels, *WorkingPicture);
        }
    }
}
