// Building a puzzle from the fitted picture: the grid, one cut piece per cell behind the loading
// window's progress bar, then a random scatter or tidy rows.
#include "main/Main.h"
#include "main/MessageBox.h"
#include "puzzle/Grid.h"
#include "puzzle/Random.h"
#include "puzzle/SideChooser.h"
#include "windows/Progress.h"

#include <QCoreApplication>
#include <QProgressBar>
#include <QPushButton>
#include <unordered_map>

namespace {

constexpr int ShufflePasses = 10;
constexpr int ScatterBorder = 10;
constexpr int ArrangeGap = 5;
constexpr int LayerShift = 10;

// How many pieces each group has; a piece is alone when its group has one.
std::unordered_map<int, int> GroupSizes(const PieceList& pieces) {
    std::unordered_map<int, int> sizes;
    for (const auto& piece : pieces) {
        ++sizes[piece->GroupId];
    }
    return sizes;
}

int RandomBelow(int range) {
    return range == 0 ? 0 : ProcessRandom().Next() % range;
}

} // namespace

void TFormMain::ClearPieces() {
    if (!Pieces) {
        return;
    }
    EndDrag();
    Pieces.reset();
    GameOver = true;
}

bool TFormMain::ComputeGrid() {
    const Grid grid = ::ComputeGrid(PieceSize, TabSize, PuzzleType, PictureWidth, PictureHeight);
    Cols = grid.Cols;
    Rows = grid.Rows;
    MarginX = grid.MarginX;
    MarginY = grid.MarginY;
    PictureWidth = grid.PictureWidth;
    PictureHeight = grid.PictureHeight;
    if (grid.CanBuild()) {
        return true;
    }
    Picture.reset();
    ShowMessageBox(QStringLiteral("Cannot create puzzle because the image is too small."),
                   MessageIcon::Stop);
    RedrawBoard();
    Invalidate();
    GameOver = true;
    return false;
}

bool TFormMain::BuildPuzzle() {
    if (Closed || !Picture || !ComputeGrid()) {
        return false;
    }
    Pieces = std::make_unique<PieceList>();
    RecreateBuffers();
    auto* progress = new TFormProgress(this, Credits);
    // Once closed it never shows again: it is released rather than kept hidden.
    progress->setAttribute(Qt::WA_DeleteOnClose);
    FormProgress = progress;
    progress->show();
    QCoreApplication::processEvents();
    if (Closed) {
        progress->close();
        ClearPieces();
        return false;
    }
    progress->ProgressBar->setRange(0, Cols * Rows);
    if (!CutPieces(*progress)) {
        AbandonBuild();
        progress->close();
        return false;
    }
    progress->ProgressBar->setValue(progress->ProgressBar->maximum());
    if (ArrangeMode == 1) {
        ArrangePieces();
    } else {
        ScatterPieces();
    }
    RedrawBoard();
    Invalidate();
    progress->ButtonClose->setEnabled(true);
    return true;
}

bool TFormMain::CutPieces(TFormProgress& progress) {
    const int pitch = PieceSize - TabSize;
    const TRect inner{TabSize, TabSize, PieceSize - TabSize, PieceSize - TabSize};
    SideChooser sides(Cols, Rows);
    int groups = 0;
    for (int row = 0; row < Rows; ++row) {
        for (int col = 0; col < Cols; ++col) {
            const int made = row * Cols + col;
            if (progress.ProgressBar->value() < made) {
                progress.ProgressBar->setValue(made);
            }
            auto piece = std::make_unique<TPuzzle>(0, 0, PieceSize, PieceSize);
            piece->Col = static_cast<std::int16_t>(col);
            piece->Row = static_cast<std::int16_t>(row);
            piece->GroupId = static_cast<std::int16_t>(++groups);
            piece->HomeX = col * pitch - TabSize;
            piece->HomeY = row * pitch - TabSize;
            sides.Choose(*piece, col, row, ProcessRandom());
            if (!piece->Cut(inner, Picture.get(), PuzzleType, MarginX, MarginY)) {
                return false;
            }
            Pieces->PushFront(std::move(piece));
        }
    }
    return true;
}

void TFormMain::AbandonBuild() {
    ShowMessageBox(QStringLiteral("Cannot create puzzle."), MessageIcon::Stop);
    ClearPicture();
    ClearPieces();
    RedrawBoard();
    Invalidate();
}

void TFormMain::ScatterPieces() {
    const int rangeX = BoardWidth() - PieceSize - ScatterBorder;
    const int rangeY = BoardHeight() - PieceSize - ScatterBorder;
    const auto groupSizes = GroupSizes(*Pieces);
    for (const auto& piece : *Pieces) {
        if (groupSizes.at(piece->GroupId) > 1) {
            continue;
        }
        const int x = RandomBelow(rangeX);
        const int y = RandomBelow(rangeY);
        piece->Bounds = {x, y, x + PieceSize, y + PieceSize};
    }
    RedrawBoard();
    Invalidate();
}

void TFormMain::ArrangePieces() {
    for (int pass = 0; pass < ShufflePasses; ++pass) {
        for (auto at = Pieces->begin(); at != Pieces->end();) {
            at = ProcessRandom().Next() % 2 == 0 ? Pieces->MoveToBack(at) : std::next(at);
        }
    }
    const auto groupSizes = GroupSizes(*Pieces);
    int layer = LayerShift;
    int x = LayerShift;
    int y = LayerShift;
    for (const auto& piece : *Pieces) {
        if (groupSizes.at(piece->GroupId) > 1) {
            continue;
        }
        piece->Bounds = {x, y, x + PieceSize, y + PieceSize};
        x += PieceSize + ArrangeGap;
        if (x + 2 * PieceSize <= BoardWidth()) {
            continue;
        }
        y += PieceSize + ArrangeGap;
        if (y + PieceSize > BoardHeight()) {
            layer += LayerShift;
            y = layer;
        }
        x = layer;
    }
    RedrawBoard();
    Invalidate();
}
