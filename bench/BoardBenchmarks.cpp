// The player's board on a 1920 x 1080 client area: building a puzzle, a full redraw, and the
// drag path (movement, pick-up, drop with a join), window copies included.
#include "main/BoardWidget.h"
#include "main/Main.h"
#include "puzzle/Groups.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QLayout>
#include <QMenuBar>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int BoardWidth = 1920;
constexpr int BoardHeight = 1080;

const QString& PicturePath() {
    static QTemporaryDir folder;
    static const QString path = [] {
        QImage image(BoardWidth - 20, BoardHeight - 20, QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                image.setPixel(x, y, qRgb(x % 256, y % 256, (x ^ y) % 256));
            }
        }
        const QString file = folder.filePath(QStringLiteral("picture.jpg"));
        image.save(file, "JPG", 90);
        return file;
    }();
    return path;
}

// A shown main window whose client area is the full-HD board, without a package.
std::unique_ptr<TFormMain> FullHdForm(int type) {
    auto form = std::make_unique<TFormMain>(std::string());
    form->SkipFirstShow();
    form->setFixedSize(BoardWidth, BoardHeight + form->menuBar()->sizeHint().height());
    form->show();
    form->layout()->activate();
    form->Game().Settings.Shape = PuzzleShape::ForType(type);
    form->Game().Settings.ZoomPercent = 100;
    form->StartGame(PicturePath());
    return form;
}

QPoint GripOf(TFormMain& form, TPuzzle& piece) {
    const TRect& b = piece.Bounds;
    for (int y = b.Top; y < b.Bottom; ++y) {
        for (int x = b.Left; x < b.Right; ++x) {
            if (TopmostAt(*form.Game().Pieces(), x, y) == &piece) {
                return {x, y};
            }
        }
    }
    return {b.Left + b.Width() / 2, b.Top + b.Height() / 2};
}

// Joins `count` pieces into the group of the topmost piece.
TPuzzle& MakeGroup(TFormMain& form, int count) {
    TPuzzle& top = **form.Game().Pieces()->rbegin();
    int joined = 0;
    for (const auto& piece : *form.Game().Pieces()) {
        if (joined++ < count) {
            piece->GroupId = top.GroupId;
        }
    }
    form.Game().RedrawBoard();
    return top;
}

void BM_StartGame(benchmark::State& state) {
    const auto form = FullHdForm(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        form->StartGame(form->PicturePath());
    }
    state.counters["pieces"] = static_cast<double>(form->Game().Pieces()->Count());
}
BENCHMARK(BM_StartGame)
    ->DenseRange(1, 4)
    ->ArgName("type")
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);

// The whole board painted into the window from its pieces.
void BM_RedrawBoard(benchmark::State& state) {
    const auto form = FullHdForm(4);
    for (auto _ : state) {
        form->BoardView()->repaint();
    }
    state.counters["pieces"] = static_cast<double>(form->Game().Pieces()->Count());
}
BENCHMARK(BM_RedrawBoard)->Unit(benchmark::kMillisecond);

// One movement as the window hands it on (at most once a frame): compose the drag region and
// copy it to the window.
void BM_MoveGroup(benchmark::State& state) {
    const auto form = FullHdForm(4);
    TPuzzle& held = MakeGroup(*form, static_cast<int>(state.range(0)));
    const QPoint grip = GripOf(*form, held);
    form->FormMouseDown(Qt::LeftButton, grip.x(), grip.y());
    const int group = static_cast<int>(form->Game().HeldPieces().Count());
    int step = 0;
    for (auto _ : state) {
        const int d = (step++ % 2 == 0) ? 3 : 0;
        const BoardUpdate moved = form->Game().Move(grip.x() + d, grip.y() + d);
        form->BoardView()->ShowNow(moved.ShowNow, moved.FromDragBuffer);
    }
    form->FormMouseUp(Qt::LeftButton, grip.x(), grip.y());
    state.counters["group"] = group;
}
BENCHMARK(BM_MoveGroup)->Arg(1)->Arg(300)->ArgName("pieces")->Unit(benchmark::kMicrosecond);

void BM_PickUp(benchmark::State& state) {
    const auto form = FullHdForm(4);
    TPuzzle& held = MakeGroup(*form, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        const QPoint grip = GripOf(*form, held);
        state.ResumeTiming();
        form->FormMouseDown(Qt::LeftButton, grip.x(), grip.y());
        state.PauseTiming();
        form->Game().EndDrag();
        form->Game().RedrawBoard();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PickUp)->Arg(1)->Arg(300)->ArgName("pieces")->Iterations(30)->Unit(
    benchmark::kMicrosecond);

// A drop that snaps a piece onto its right-hand neighbour and joins the two.
void BM_DropWithJoin(benchmark::State& state) {
    const auto form = FullHdForm(4);
    const int pitch = form->Game().Settings.Shape.PieceSize - form->Game().Settings.Shape.TabSize;
    for (auto _ : state) {
        state.PauseTiming();
        form->StartGame(form->PicturePath());
        TPuzzle* left = nullptr;
        TPuzzle* right = nullptr;
        for (const auto& p : *form->Game().Pieces()) {
            left = p->Col == 3 && p->Row == 3 ? p.get() : left;
            right = p->Col == 4 && p->Row == 3 ? p.get() : right;
        }
        left->Bounds = {900, 500, 900 + form->Game().Settings.Shape.PieceSize,
                        500 + form->Game().Settings.Shape.PieceSize};
        PieceList& pieces = *form->Game().Pieces();
        for (auto at = pieces.begin(); at != pieces.end(); ++at) {
            if (at->get() == left) {
                pieces.MoveToBack(at);
                break;
            }
        }
        form->Game().RedrawBoard();
        const QPoint grip = GripOf(*form, *right);
        form->FormMouseDown(Qt::LeftButton, grip.x(), grip.y());
        const int x = grip.x() + 900 + pitch + 2 - right->Bounds.Left;
        const int y = grip.y() + 500 + 1 - right->Bounds.Top;
        form->FormMouseMove(x, y);
        state.ResumeTiming();
        form->FormMouseUp(Qt::LeftButton, x, y);
        benchmark::DoNotOptimize(right->GroupId == left->GroupId);
    }
}
BENCHMARK(BM_DropWithJoin)->Iterations(40)->Unit(benchmark::kMicrosecond);

} // namespace
