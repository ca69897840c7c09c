#include "game/Board.h"

#include "game/TwoBands.h"

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
// Each band of rows gets every piece clipped to it, so the two bands can be drawn at once.
void Board::RedrawBoard() {
    const Pixel background = PixelFromColor(Settings.BoardColor);
    PlainFill = Settings.BoardColor;
    if (!AllPieces || !WorkingPicture) {
        BoardPixels.Fill(background);
        return;
    }
    const auto onBoard = [this](const TPuzzle& piece) {
        return Grabbed == nullptr || piece.GroupId != Grabbed->GroupId;
    };
    InTwoBands(Width(), Height(), [&](int top, int bottom) {
        BoardPixels.FillRect(0, top, Width(), bottom, background);
        const TRect band{0, top, Width(), bottom};
        for (const auto& piece : *AllPieces) {
            if (onBoard(*piece)) {
                piece->DrawClipped(BoardPixels, band, *WorkingPicture);
            }
        }
    });
    for (const auto& piece : *AllPieces) {
        if (onBoard(*piece)) {
            PlainFill.reset();
            break;
        }
    }
}
