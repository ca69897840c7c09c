#include "puzzle/PuzzleShape.h"

#include "puzzle/EdgeBitmaps.h"
#include "puzzle/EdgeNumber.h"

#include <gtest/gtest.h>

TEST(PuzzleShape, TypesOutsideOneToFourAndElevenToFourteenBecomeType3) {
    for (const int type : {0, 5, 7, 10, 15, -56, -128, 127}) {
        EXPECT_EQ(PuzzleShape::ForType(type), PuzzleShape::ForType(3)) << type;
    }
    EXPECT_EQ(PuzzleShape::ForType(3).PieceSize, 64);
    EXPECT_EQ(PuzzleShape::ForType(3).TabSize, 10);
    EXPECT_EQ(PuzzleShape::ForType(2), (PuzzleShape{2, 80, 14, 2}));
}

// Every accepted type keeps its number; 11 to 14 have the smallest pieces and a level without
// edge strips, so they can never be cut.
TEST(PuzzleShape, AcceptedTypesKeepTheirNumberAndOnlyOneToFourHaveEdgeStrips) {
    ASSERT_EQ(AcceptedShapes().size(), 8u);
    const PuzzleShape smallest = PuzzleShape::ForType(4);
    for (const PuzzleShape& shape : AcceptedShapes()) {
        EXPECT_EQ(PuzzleShape::ForType(shape.Type), shape);
        EXPECT_EQ(shape.EdgeLevel, shape.Type);
        EXPECT_GT(shape.Pitch(), shape.TabSize);
        const bool hasStrips =
            EdgeBitmaps::Stored().MaskStrip(EdgeMaskNumber(Side::Top, true, shape.EdgeLevel));
        EXPECT_EQ(hasStrips, shape.Type <= 4) << shape.Type;
        if (shape.Type >= 11) {
            EXPECT_EQ(shape.PieceSize, smallest.PieceSize);
            EXPECT_EQ(shape.TabSize, smallest.TabSize);
        }
    }
}
