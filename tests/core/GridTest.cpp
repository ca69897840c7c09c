#include "puzzle/Grid.h"

#include "PieceFixtures.h"

#include <gtest/gtest.h>

TEST(ComputeGrid, DropsALastColumnThatWouldShowTooLittle) {
    const Grid g = ComputeGrid(PuzzleShape::ForType(1), 500, 500);
    EXPECT_EQ(g.Cols, 6);
    EXPECT_EQ(g.MarginX, 16);
    EXPECT_EQ(g.PictureWidth, 500);
}

TEST(ComputeGrid, TrimsAPictureWhoseLastColumnWouldBarelyReachIt) {
    const Grid g = ComputeGrid(PuzzleShape::ForType(1), 159, 159);
    EXPECT_EQ(g.Cols, 2);
    EXPECT_EQ(g.Rows, 2);
    EXPECT_EQ(g.PictureWidth, 143);
    EXPECT_EQ(g.PictureHeight, 142);
    EXPECT_EQ(g.MarginX, 17);
    EXPECT_EQ(g.MarginY, 18);
}

// Types 11 to 14 cannot be cut, but their grid decides which message a picture gets.
TEST(ComputeGrid, TheSmallestPictureOfEachLevelGivesTwoByTwo) {
    const int smallest[] = {101, 82, 69, 51};
    for (const PuzzleShape& l : AcceptedShapes()) {
        const int limit = l.EdgeLevel <= 4 ? smallest[l.EdgeLevel - 1] : 49;
        EXPECT_TRUE(ComputeGrid(l, limit, limit).CanBuild()) << "level " << l.EdgeLevel;
        EXPECT_FALSE(ComputeGrid(l, limit - 1, 1000).CanBuild()) << "level " << l.EdgeLevel;
        EXPECT_FALSE(ComputeGrid(l, 1000, limit - 1).CanBuild()) << "level " << l.EdgeLevel;
    }
    EXPECT_FALSE(ComputeGrid(PuzzleShape::ForType(2), 81, 500).CanBuild());
}

TEST(ComputeGrid, MarginsEndBetweenTabAndPieceSizeAndTheGridStaysInsideThePicture) {
    for (const PuzzleShape& l : AllLevels) {
        for (int w = 40; w < 700; w += 7) {
            const Grid g = ComputeGrid(l, w, w / 2 + 30);
            if (!g.CanBuild()) {
                continue;
            }
            EXPECT_GE(g.MarginX, l.TabSize);
            EXPECT_LE(g.MarginX, l.PieceSize);
            EXPECT_GE(g.MarginY, l.TabSize);
            EXPECT_LE(g.MarginY, l.PieceSize);
            // What the last column's and row's pieces keep lies inside the trimmed picture.
            const int lastHome = (g.Cols - 1) * l.Pitch() - l.TabSize;
            EXPECT_LE(lastHome + l.PieceSize - g.MarginX, g.PictureWidth) << w;
            const int lastRowHome = (g.Rows - 1) * l.Pitch() - l.TabSize;
            EXPECT_LE(lastRowHome + l.PieceSize - g.MarginY, g.PictureHeight) << w;
        }
    }
}

// A last column (row) whose bitmap would show from l to m + 1 pixels fewer than a whole piece is
// trimmed off the picture until it shows m + 2 fewer; just outside that range nothing is trimmed.
TEST(ComputeGrid, TrimsThePictureWhereTheLastColumnWouldShowALittleMoreThanTheDropLimit) {
    struct Thresholds {
        int M;
        int L;
    };
    const Thresholds byLevel[] = {{36, 29}, {29, 24}, {24, 19}, {18, 14}};
    for (const PuzzleShape& l : AllLevels) {
        const auto [m, low] = byLevel[l.EdgeLevel - 1];
        for (int margin = low - 1; margin <= m + 2; ++margin) {
            const int length = 2 * l.Pitch() + l.PieceSize - l.TabSize - margin; // three columns
            const Grid g = ComputeGrid(l, length, length);
            const bool trimmed = low <= margin && margin <= m + 1;
            const int trimmedLength = trimmed ? length - (m - margin + 2) : length;
            ASSERT_EQ(g.Cols, 3) << "level " << l.EdgeLevel << " margin " << margin;
            EXPECT_EQ(g.PictureWidth, trimmedLength) << "level " << l.EdgeLevel << " " << margin;
            EXPECT_EQ(g.PictureHeight, trimmedLength) << "level " << l.EdgeLevel << " " << margin;
            EXPECT_EQ(g.MarginX, trimmed ? m + 2 : margin) << "level " << l.EdgeLevel;
            EXPECT_EQ(g.MarginY, trimmed ? m + 2 : margin) << "level " << l.EdgeLevel;
        }
    }
}
