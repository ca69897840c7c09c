// Building a puzzle from the fitted picture: the grid, one cut piece per cell, then a random
// scatter or tidy rows.
#include "game/Board.h"
#include "game/GameTexts.h"
#include "puzzle/SideChooser.h"

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

} // namespace

Outcome Board::Build(const BuildSteps& steps) {
    const Outcome nothingBuilt{std::nullopt};
    ClearPieces();
    if (!WorkingPicture) {
        return nothingBuilt;
    }
    Cells = ComputeGrid(Settings.Shape, WorkingPicture->Width(), WorkingPicture->Height());
    if (!Cells.CanBuild()) {
        WorkingPicture.reset();
        return Outcome(TooSmallToCut);
    }
    AllPieces = std::make_unique<PieceList>();
    if (!ShowsOnlyTheBoardColour()) {
        RedrawBoard();
    }
    if (!steps.Starting(Cells.Cols * Cells.Rows)) {
        ClearPieces();
        return nothingBuilt;
    }
    if (!CutPieces(steps)) {
        ClearPicture();
        ClearPieces();
        return Outcome(CannotCreatePuzzle);
    }
    if (Settings.ArrangeMode == 1) {
        ArrangePieces();
    } else {
        ScatterPieces();
    }
    Over = false;
    if (steps.Finished) {
        steps.Finished();
    }
    return {};
}

bool Board::CutPieces(const BuildSteps& steps) {
    const PuzzleShape& shape = Settings.Shape;
    const int s = shape.PieceSize;
    const int t = shape.TabSize;
    const TRect inner{t, t, s - t, s - t};
    SideChooser sides(Cells.Cols, Cells.Rows);
    int groups = 0;
    for (int row = 0; row < Cells.Rows; ++row) {
        for (int col = 0; col < Cells.Cols; ++col) {
            steps.Cutting(row * Cells.Cols + col);
            auto piece = std::make_unique<TPuzzle>(0, 0, s, s);
            piece->Col = static_cast<std::int16_t>(col);
            piece->Row = static_cast<std::int16_t>(row);
            piece->GroupId = static_cast<std::int16_t>(++groups);
            piece->HomeX = col * shape.Pitch() - t;
            piece->HomeY = row * shape.Pitch() - t;
            sides.Choose(*piece, col, row, Dice);
            if (!piece->Cut(inner, WorkingPicture.get(), shape.EdgeLevel, Cells.MarginX,
                            Cells.MarginY)) {
                return false;
            }
            AllPieces->PushFront(std::move(piece));
        }
    }
    return true;
}

int Board::RandomBelow(int range) {
    return range == 0 ? 0 : Dice.Next() % range;
}

// Every piece that is not joined to another goes to a random place on the board.
void Board::ScatterPieces() {
    if (!AllPieces) {
        return;
    }
    const int s = Settings.Shape.PieceSize;
    const int rangeX = Width() - s - ScatterBorder;
    const int rangeY = Height() - s - ScatterBorder;
    const auto groupSizes = GroupSizes(*AllPieces);
    for (const auto& piece : *AllPieces) {
        if (groupSizes.at(piece->GroupId) > 1) {
            continue;
        }
        const int x = RandomBelow(rangeX);
        const int y = RandomBelow(rangeY);
        piece->Bounds = {x, y, x + s, y + s};
    }
    RedrawBoard();
}

// The stack is shuffled, then every piece that is not joined to another is laid in rows, in
// layers that start 10 pixels further in whenever the board is full.
void Board::ArrangePieces() {
    if (!AllPieces) {
        return;
    }
    for (int pass = 0; pass < ShufflePasses; ++pass) {
        for (auto at = AllPieces->begin(); at != AllPieces->end();) {
            at = Dice.Next() % 2 == 0 ? AllPieces->MoveToBack(at) : std::next(at);
        }
    }
    const int s = Settings.Shape.PieceSize;
    const auto groupSizes = GroupSizes(*AllPieces);
    int layer = LayerShift;
    int x = LayerShift;
    int y = LayerShift;
    for (const auto& piece : *AllPieces) {
        if (groupSizes.at(piece->GroupId) > 1) {
            continue;
        }
        piece->Bounds = {x, y, x + s, y + s};
        x += s + ArrangeGap;
        if (x + 2 * s <= Width()) {
            continue;
        }
        y += s + ArrangeGap;
        if (y + s > Height()) {
            layer += LayerShift;
            y = layer;
        }
        x = layer;
    }
    RedrawBoard();
}
