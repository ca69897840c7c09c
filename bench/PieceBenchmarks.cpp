// The core's per-piece work: cutting (mask, shade map and bevel) and drawing.
#include "puzzle/Grid.h"
#include "puzzle/Puzzle.h"

#include <benchmark/benchmark.h>

namespace {

TPuzzle MiddlePiece(const PuzzleShape& l) {
    TPuzzle piece(300, 200, l.PieceSize, l.PieceSize);
    piece.HomeX = 3 * (l.PieceSize - l.TabSize) - l.TabSize;
    piece.HomeY = 3 * (l.PieceSize - l.TabSize) - l.TabSize;
    piece.TopOut = true;
    piece.RightOut = true;
    return piece;
}

void BM_CutPiece(benchmark::State& state) {
    const PuzzleShape l = PuzzleShape::ForType(static_cast<int>(state.range(0)));
    Bitmap picture(1920, 1080);
    const TRect inner{l.TabSize, l.TabSize, l.PieceSize - l.TabSize, l.PieceSize - l.TabSize};
    TPuzzle piece = MiddlePiece(l);
    for (auto _ : state) {
        benchmark::DoNotOptimize(piece.Cut(inner, &picture, l.Type, l.TabSize, l.TabSize));
    }
}
BENCHMARK(BM_CutPiece)->DenseRange(1, 4)->ArgName("type");

void BM_DrawPiece(benchmark::State& state) {
    const PuzzleShape l = PuzzleShape::ForType(static_cast<int>(state.range(0)));
    Bitmap picture(1920, 1080);
    Bitmap board(1921, 1080);
    const TRect inner{l.TabSize, l.TabSize, l.PieceSize - l.TabSize, l.PieceSize - l.TabSize};
    TPuzzle piece = MiddlePiece(l);
    piece.Cut(inner, &picture, l.Type, l.TabSize, l.TabSize);
    for (auto _ : state) {
        piece.Draw(board, picture);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_DrawPiece)->DenseRange(1, 4)->ArgName("type");

void BM_ComputeGrid(benchmark::State& state) {
    const PuzzleShape shape = PuzzleShape::ForType(4);
    for (auto _ : state) {
        benchmark::DoNotOptimize(ComputeGrid(shape, 1919, 1079));
    }
}
BENCHMARK(BM_ComputeGrid);

} // namespace
