#include "game/Board.h"

Board::Board(Random& random)
    : Dice(random) {}

Board::~Board() {
    ClearPieces();
}

// A drag cannot go on across new buffers: it ends, and the group is drawn where it lies.
void Board::RecreateBuffers(int clientWidth, int clientHeight) {
    EndDrag();
    // The old buffers go first: a resize never holds two boards at once.
    BoardPixels = Bitmap();
    DragPixels = Bitmap();
    DragComposed = {};
    BoardPixels = Bitmap(clientWidth + 1, clientHeight, PixelFromColor(Settings.BoardColor));
    PlainFill = Settings.BoardColor;
    if (AllPieces) {
        RedrawBoard();
    }
}

PictureFit Board::FitPicture(int width, int height) const {
    return FitToBoard(width, height, Width(), Height(), Settings.ZoomPercent);
}

void Board::SetPicture(Bitmap loaded, const PictureFit& fit) {
    ClearPieces();
    Settings.ZoomPercent = fit.ZoomPercent;
    const bool fitsAsLoaded = loaded.Width() == fit.Width && loaded.Height() == fit.Height;
    WorkingPicture = std::make_unique<Bitmap>(
        fitsAsLoaded ? std::move(loaded) : StretchNearest(loaded, fit.Width, fit.Height));
    Unshaded.reset();
    if (KeepsUnshaded) {
        Unshaded = std::make_shared<const Bitmap>(*WorkingPicture);
    }
    Over = false;
}

void Board::KeepThumbnailPicture(bool keep) {
    KeepsUnshaded = keep;
    if (!keep) {
        Unshaded.reset();
    }
}

void Board::SetThumbnailPicture(const Bitmap& loaded) {
    if (WorkingPicture) {
        Unshaded = std::make_shared<const Bitmap>(
            StretchNearest(loaded, WorkingPicture->Width(), WorkingPicture->Height()));
    }
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
    PlainFill = Settings.BoardColor;
    if (!AllPieces || !WorkingPicture) {
        return;
    }
    for (const auto& piece : *AllPieces) {
        if (Grabbed == nullptr || piece->GroupId != Grabbed->GroupId) {
            piece->Draw(BoardPixels, *WorkingPicture);
            PlainFill.reset();
        }
    }
}
