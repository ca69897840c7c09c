#include "PieceFixtures.h"
#include "puzzle/PieceList.h"

#include <gtest/gtest.h>

namespace {

// A 6 x 6 piece with a notch: a plus sign.
const std::vector<std::string> Plus = {
    "..##..", "..##..", "######", "######", "..##..", "..##..",
};

} // namespace

TEST(PieceHitTest, FollowsTheMaskAndTheEdgesOfBounds) {
    const auto piece = AsciiPiece(10, 20, Plus);
    EXPECT_TRUE(piece->Contains(10, 22));  // left line, inside the mask
    EXPECT_FALSE(piece->Contains(10, 20)); // left-top corner, outside the mask
    EXPECT_TRUE(piece->Contains(12, 20));  // top line, inside
    EXPECT_FALSE(piece->Contains(16, 22)); // right line is outside Bounds
    EXPECT_FALSE(piece->Contains(12, 26)); // bottom line is outside Bounds
    EXPECT_TRUE(piece->Contains(15, 23));
    EXPECT_FALSE(piece->Contains(15, 25)); // in the notch
}

TEST(PieceHitTest, AnUncutPieceHasNoShape) {
    const TPuzzle piece(0, 0, 10, 10);
    EXPECT_FALSE(piece.Contains(5, 5));
}

TEST(PieceList, KeepsStackingOrderAndRaisesAPieceToTheTop) {
    PieceList pieces;
    for (int i = 0; i < 4; ++i) {
        auto p = std::make_unique<TPuzzle>(0, 0, 6, 6);
        p->HomeX = i * 10;
        p->GroupId = static_cast<std::int16_t>(i + 1);
        pieces.PushFront(std::move(p));
    }
    std::vector<int> order;
    for (const auto& p : pieces) {
        order.push_back(p->GroupId);
    }
    EXPECT_EQ(order, (std::vector<int>{4, 3, 2, 1}));

    const auto second = std::next(pieces.begin());
    const auto third = std::next(second);
    EXPECT_EQ(pieces.MoveToBack(second), third); // a walk goes on with the piece above it
    EXPECT_EQ(pieces.Count(), 4u);
    order.clear();
    for (auto p = pieces.rbegin(); p != pieces.rend(); ++p) {
        order.push_back((*p)->GroupId);
    }
    EXPECT_EQ(order, (std::vector<int>{3, 1, 2, 4}));
}

TEST(HeldPieceList, PutsNewPiecesInFrontAndOwnsNothing) {
    PieceList pieces;
    pieces.PushBack(std::make_unique<TPuzzle>(0, 0, 6, 6));
    pieces.PushBack(std::make_unique<TPuzzle>(0, 0, 6, 6));
    HeldPieceList held;
    for (const auto& p : pieces) {
        held.PushFront(p.get());
    }
    EXPECT_EQ(*held.begin(), pieces.rbegin()->get());
    held.Clear();
    EXPECT_TRUE(held.IsEmpty());
    EXPECT_EQ(pieces.Count(), 2u);
}
