#include "puzzle/Snap.h"

#include "PieceFixtures.h"
#include "puzzle/Groups.h"

#include <gtest/gtest.h>

namespace {

std::unique_ptr<TPuzzle> PieceAt(int left, int top, int size, int col, int row, int group) {
    auto piece = std::make_unique<TPuzzle>(left, top, size, size);
    piece->Col = static_cast<std::int16_t>(col);
    piece->Row = static_cast<std::int16_t>(row);
    piece->GroupId = static_cast<std::int16_t>(group);
    piece->HomeX = col * 1000 + row; // distinct homes
    return piece;
}

using Place = std::optional<std::pair<int, int>>;

} // namespace

TEST(SnapPlace, ThePieceBelowSnapsOntoItsUpperNeighbour) {
    const auto w = PieceAt(100, 100, 80, 3, 2, 1);
    const auto o = PieceAt(103, 168, 80, 3, 3, 2);
    EXPECT_EQ(SnapPlace(*o, *w, 80, 14), Place(std::pair{100, 166}));
    const auto far = PieceAt(106, 168, 80, 3, 3, 2);
    EXPECT_EQ(SnapPlace(*far, *w, 80, 14), std::nullopt);
}

TEST(SnapPlace, TheOverlapMayBeTheTabDepthGiveOrTakeFive) {
    const auto w = PieceAt(0, 0, 96, 0, 0, 1);
    for (const int overlap : {11, 16, 21}) {
        const auto o = PieceAt(5, 96 - overlap, 96, 0, 1, 2);
        EXPECT_EQ(SnapPlace(*o, *w, 96, 16), Place(std::pair{0, 80})) << overlap;
    }
    for (const int overlap : {10, 22}) {
        const auto o = PieceAt(0, 96 - overlap, 96, 0, 1, 2);
        EXPECT_EQ(SnapPlace(*o, *w, 96, 16), std::nullopt) << overlap;
    }
}

TEST(SnapPlace, AllFourSidesSnapToTheirNeighbours) {
    const auto w = PieceAt(200, 200, 96, 5, 5, 1);
    // w below o, w right of o, w left of o.
    EXPECT_EQ(SnapPlace(*PieceAt(202, 118, 96, 5, 4, 2), *w, 96, 16), Place(std::pair{200, 120}));
    EXPECT_EQ(SnapPlace(*PieceAt(121, 197, 96, 4, 5, 2), *w, 96, 16), Place(std::pair{120, 200}));
    EXPECT_EQ(SnapPlace(*PieceAt(278, 204, 96, 6, 5, 2), *w, 96, 16), Place(std::pair{280, 200}));
}

TEST(SnapPlace, OnlyGridNeighboursFit) {
    const auto w = PieceAt(0, 0, 96, 2, 2, 1);
    EXPECT_EQ(SnapPlace(*PieceAt(0, 80, 96, 2, 4, 2), *w, 96, 16), std::nullopt);  // two rows off
    EXPECT_EQ(SnapPlace(*PieceAt(0, 80, 96, 3, 3, 2), *w, 96, 16), std::nullopt);  // other column
    EXPECT_EQ(SnapPlace(*PieceAt(80, 80, 96, 3, 3, 2), *w, 96, 16), std::nullopt); // diagonal
    EXPECT_EQ(SnapPlace(*PieceAt(80, 0, 96, 2, 3, 2), *w, 96, 16), std::nullopt);  // wrong side
}

TEST(FindSnap, TakesTheFirstFitOfHeldPiecesThenCandidatesBottomUp) {
    PieceList pieces;
    pieces.PushBack(PieceAt(80, 0, 96, 1, 0, 1));   // bottom: the upper neighbour, a fit
    pieces.PushBack(PieceAt(160, 80, 96, 2, 1, 2)); // the right neighbour, also a fit
    pieces.PushBack(PieceAt(82, 81, 96, 1, 1, 3));  // held
    HeldPieceList held;
    held.PushFront(pieces.rbegin()->get());
    const auto snap = FindSnap(held, pieces, 96, 16);
    ASSERT_TRUE(snap);
    EXPECT_EQ(snap->TargetGroup, 1);
    EXPECT_EQ(snap->Dx, 80 - 82);
    EXPECT_EQ(snap->Dy, 80 - 81);
}

TEST(Groups, MergingRaisesTheAbsorbedPiecesInReverseOrder) {
    PieceList pieces;
    for (const int group : {7, 1, 7, 2, 7}) {
        pieces.PushBack(PieceAt(0, 0, 10, static_cast<int>(pieces.Count()), 0, group));
    }
    MergeGroup(pieces, 7, 2);
    std::vector<std::pair<int, int>> order; // (group, column)
    for (const auto& p : pieces) {
        order.push_back({p->GroupId, p->Col});
    }
    EXPECT_EQ(order, (std::vector<std::pair<int, int>>{{1, 1}, {2, 3}, {2, 4}, {2, 2}, {2, 0}}));
    EXPECT_FALSE(IsSolved(pieces));
    MergeGroup(pieces, 1, 2);
    EXPECT_TRUE(IsSolved(pieces));
}

TEST(Groups, TheTopmostPieceUnderThePointIsHitAndCornersFallThrough) {
    PieceList pieces;
    const std::vector<std::string> full = {"####", "####", "####", "####"};
    const std::vector<std::string> notched = {"..##", "..##", "####", "####"};
    pieces.PushBack(AsciiPiece(0, 0, full));
    pieces.PushBack(AsciiPiece(0, 0, notched));
    EXPECT_EQ(TopmostAt(pieces, 3, 3), pieces.rbegin()->get());
    EXPECT_EQ(TopmostAt(pieces, 0, 0), pieces.begin()->get());
    EXPECT_EQ(TopmostAt(pieces, 4, 0), nullptr);
}
