// The game's own work, without a window: picking up a joined group of pieces on a full-HD board.
#include "game/Board.h"
#include "puzzle/Groups.h"

#include <benchmark/benchmark.h>
#include <vector>

namespace {

constexpr int BoardWidth = 1920;
constexpr int BoardHeight = 1080;

Bitmap Photo(int width, int height) {
    Bitmap picture(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            picture.Set(x, y, MakePixel(x % 256, y % 256, (x ^ y) % 256));
        }
    }
    return picture;
}

// A full-HD board of type 4 (1,296 pieces) with the pieces of the top-left `cols` x `rows`
// block of the grid joined where they belong, 100 pixels in from the board's corner, above the
// rest.
struct BoardWithGroup {
    Random Dice{2024};
    Board Game{Dice};
    TPuzzle* Grabbed = nullptr;
    int GripX = 0;
    int GripY = 0;

    BoardWithGroup(int cols, int rows) {
        Game.Settings.Shape = PuzzleShape::ForType(4);
        Game.Settings.ZoomPercent = 100;
        Game.RecreateBuffers(BoardWidth, BoardHeight);
        const PictureFit fit = Game.FitPicture(BoardWidth - 20, BoardHeight - 20);
        Game.SetPicture(Photo(BoardWidth - 20, BoardHeight - 20), fit);
        [[maybe_unused]] const Outcome built =
            Game.Build({[](int) { return true; }, [](int) {}, {}});
        PieceList& pieces = *Game.Pieces();
        std::vector<PieceList::Container::iterator> members;
        for (auto at = pieces.begin(); at != pieces.end(); ++at) {
            TPuzzle& piece = **at;
            if (piece.Col < cols && piece.Row < rows) {
                const int size = piece.Bounds.Width();
                piece.Bounds = {100 + piece.HomeX, 100 + piece.HomeY, 100 + piece.HomeX + size,
                                100 + piece.HomeY + size};
                piece.GroupId = 1;
                members.push_back(at);
            }
        }
        for (const auto& member : members) {
            Grabbed = member->get();
            pieces.MoveToBack(member);
        }
        Game.RedrawBoard();
        const TRect& b = Grabbed->Bounds;
        GripX = b.Left + b.Width() / 2;
        GripY = b.Top + b.Height() / 2;
    }
};

void BM_BoardPickUp(benchmark::State& state) {
    const int cols = static_cast<int>(state.range(0));
    const int rows = static_cast<int>(state.range(1));
    BoardWithGroup board(cols, rows);
    for (auto _ : state) {
        const BoardUpdate update = board.Game.PickUp(board.GripX, board.GripY);
        benchmark::DoNotOptimize(update);
        state.PauseTiming();
        board.Game.Drop(board.GripX, board.GripY);
        board.Game.EndDrag();
        state.ResumeTiming();
    }
    state.counters["group"] = cols * rows;
}
BENCHMARK(BM_BoardPickUp)
    ->Args({1, 1})
    ->Args({20, 15})
    ->ArgNames({"cols", "rows"})
    ->Unit(benchmark::kMicrosecond);

} // namespace
