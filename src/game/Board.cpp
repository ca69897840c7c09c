#include "game/Board.h"

#include "game/ScreenLayout.h"
#include "game/TwoBands.h"

#include <algorithm>

Board::Board(Random& random)
    : Dice(random) {}

Board::~Board() {
    ClearPieces();
}

// A drag cannot go on across new buffers: it ends, and the group is drawn where it lies.
void Board::RecreateBuffers(int clientWidth, int clientHeight) {
    EndDrag();
    // The old buffers go first: a resize never holds two boards at once.
    Canvas = BoardCanvas();
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

// The board colour, then every piece bottom to top; a held group is not part of the board.
// Each band of rows gets every piece clipped to it, so the two bands can be drawn at once.
void Board::RedrawBoard() {
    const auto onBoard = [this](const TPuzzle& piece) {
        return Grabbed == nullptr || piece.GroupId != Grabbed->GroupId;
    };
    if (!AllPieces || !WorkingPicture ||
        std::none_of(AllPieces->begin(), AllPieces->end(),
                     [&](const auto& piece) { return onBoard(*piece); })) {
        Canvas.Fill(Settings.BoardColor);
        return;
    }
    const Pixel background = PixelFromColor(Settings.BoardColor);
    Bitmap& pixels = Canvas.DrawOn();
    InTwoBands(Width(), Height(), [&](int top, int bottom) {
        pixels.FillRect(0, top, Width(), bottom, background);
        const TRect band{0, top, Width(), bottom};
        for (const auto& piece : *AllPieces) {
            if (onBoard(*piece)) {
                piece->DrawClipped(pixels, band, *WorkingPicture);
            }
        }
    });
}
