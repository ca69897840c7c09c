#include "puzzle/Snap.h"

#include "PieceFixtures.h"
#include "puzzle/Groups.h"

#include <cstdlib>
#include <functional>
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

// On every side: a sideways offset of up to 5 pixels either way and an overlap within 5 of the
// tab depth fit, and the piece goes exactly one grid step from its neighbour; 6 off does not fit.
TEST(SnapPlace, EverySideFitsWithinFivePixelsEitherWayAndNotSix) {
    const auto w = PieceAt(200, 200, 96, 5, 5, 1);
    struct Neighbour {
        int Col;
        int Row;
        // Where the held piece lies for an overlap and a sideways offset, and where it snaps.
        std::function<std::pair<int, int>(int overlap, int aside)> At;
        std::pair<int, int> Snapped;
    };
    const Neighbour sides[] = {
        {5,
         6,
         [](int overlap, int aside) {
             return std::pair{200 + aside, 296 - overlap};
         },
         {200, 280}},
        {5,
         4,
         [](int overlap, int aside) {
             return std::pair{200 + aside, 104 + overlap};
         },
         {200, 120}},
        {4,
         5,
         [](int overlap, int aside) {
             return std::pair{104 + overlap, 200 + aside};
         },
         {120, 200}},
        {6,
         5,
         [](int overlap, int aside) {
             return std::pair{296 - overlap, 200 + aside};
         },
         {280, 200}},
    };
    for (const Neighbour& n : sides) {
        for (int overlap = 10; overlap <= 22; ++overlap) {
            for (int aside = -6; aside <= 6; ++aside) {
                const auto [left, top] = n.At(overlap, aside);
                const auto o = PieceAt(left, top, 96, n.Col, n.Row, 2);
                const bool fits = std::abs(aside) <= 5 && std::abs(overlap - 16) <= 5;
                EXPECT_EQ(SnapPlace(*o, *w, 96, 16), fits ? Place(n.Snapped) : std::nullopt)
                    << n.Col << "," << n.Row << " overlap " << overlap << " aside " << aside;
            }
        }
    }
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

    // Held pieces come first: the first held piece's fit wins over a fit lower in the stack.
    PieceList group;
    group.PushBack(PieceAt(2, 81, 96, 0, 1, 4));   // bottom: fits the second held piece
    group.PushBack(PieceAt(163, 79, 96, 2, 1, 5)); // fits the first held piece
    group.PushBack(PieceAt(80, 80, 96, 1, 1, 6));  // held, second
    group.PushBack(PieceAt(240, 80, 96, 3, 1, 6)); // held, first
    HeldPieceList both;
    for (const auto& p : group) {
        if (p->GroupId == 6) {
            both.PushFront(p.get());
        }
    }
    const auto first = FindSnap(both, group, 96, 16);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->TargetGroup, 5);
    EXPECT_EQ(first->Dx, 163 + 80 - 240);
    EXPECT_EQ(first->Dy, 79 - 80);
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
