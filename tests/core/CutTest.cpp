#include "PieceFixtures.h"
#include "puzzle/Grid.h"
#include "puzzle/PieceList.h"
#include "puzzle/SideChooser.h"

#include <gtest/gtest.h>

namespace {

TRect InnerOf(const PuzzleShape& l) {
    return {l.TabSize, l.TabSize, l.PieceSize - l.TabSize, l.PieceSize - l.TabSize};
}

// A piece of the grid at its home place; Bounds equal the home position plus `offset`.
std::unique_ptr<TPuzzle> GridPiece(const PuzzleShape& l, int col, int row, int offset = 0) {
    const int homeX = col * l.Pitch() - l.TabSize;
    const int homeY = row * l.Pitch() - l.TabSize;
    auto piece =
        std::make_unique<TPuzzle>(homeX + offset, homeY + offset, l.PieceSize, l.PieceSize);
    piece->HomeX = homeX;
    piece->HomeY = homeY;
    piece->Col = static_cast<std::int16_t>(col);
    piece->Row = static_cast<std::int16_t>(row);
    return piece;
}

// How many of the pieces claim each picture pixel of the rectangle.
std::vector<int> Owners(const std::vector<std::unique_ptr<TPuzzle>>& pieces, const TRect& area) {
    std::vector<int> counts(static_cast<std::size_t>(area.Width() * area.Height()), 0);
    for (const auto& p : pieces) {
        for (int y = area.Top; y < area.Bottom; ++y) {
            for (int x = area.Left; x < area.Right; ++x) {
                const int mx = x - p->HomeX;
                const int my = y - p->HomeY;
                if (mx >= 0 && my >= 0 && mx < p->Mask->Width() && my < p->Mask->Height() &&
                    !p->Mask->Get(mx, my)) {
                    ++counts[static_cast<std::size_t>((y - area.Top) * area.Width() + x -
                                                      area.Left)];
                }
            }
        }
    }
    return counts;
}

} // namespace

// Four pieces meet at a corner; their bands and the corner square must be covered exactly once
// but for a few pixels, whatever knobs and sockets they carry.
TEST(Cut, NeighboursFitAroundACornerForEveryLevelAndEveryChoice) {
    const int allowedShared[] = {0, 10, 20, 20, 0};
    for (const PuzzleShape& l : AllLevels) {
        Bitmap picture(3 * l.Pitch(), 3 * l.Pitch());
        for (int choice = 0; choice < 16; ++choice) {
            std::vector<std::unique_ptr<TPuzzle>> pieces;
            for (int row = 0; row < 3; ++row) {
                for (int col = 0; col < 3; ++col) {
                    pieces.push_back(GridPiece(l, col, row));
                }
            }
            auto at = [&](int col, int row) -> TPuzzle& { return *pieces[row * 3 + col]; };
            at(0, 0).BottomOut = choice & 1;
            at(0, 0).RightOut = choice & 2;
            at(1, 0).BottomOut = choice & 4;
            at(0, 1).RightOut = choice & 8;
            at(1, 1).TopOut = !at(1, 0).BottomOut;
            at(1, 1).LeftOut = !at(0, 1).RightOut;
            at(0, 1).TopOut = !at(0, 0).BottomOut;
            at(1, 0).LeftOut = !at(0, 0).RightOut;
            for (auto& p : pieces) {
                ASSERT_TRUE(p->Cut(InnerOf(l), &picture, l.EdgeLevel, l.TabSize, l.TabSize));
            }
            const int cell = l.PieceSize - 2 * l.TabSize;
            const TRect around{cell / 2, cell / 2, l.Pitch() + cell / 2, l.Pitch() + cell / 2};
            const std::vector<int> owners = Owners(pieces, around);
            const auto uncovered = std::count(owners.begin(), owners.end(), 0);
            const auto shared =
                std::count_if(owners.begin(), owners.end(), [](int n) { return n > 1; });
            EXPECT_EQ(uncovered, 0) << "level " << l.EdgeLevel << " choice " << choice;
            EXPECT_LE(shared, allowedShared[l.EdgeLevel])
                << "level " << l.EdgeLevel << " choice " << choice;
        }
    }
}

TEST(Cut, WithoutAPictureTheMaskIsTheBareCell) {
    const PuzzleShape l = AllLevels[0];
    auto piece = GridPiece(l, 1, 1);
    piece->TopOut = piece->BottomOut = true;
    ASSERT_TRUE(piece->Cut(InnerOf(l), nullptr, 1, 16, 16));
    for (int y = 0; y < l.PieceSize; ++y) {
        for (int x = 0; x < l.PieceSize; ++x) {
            EXPECT_EQ(!piece->Mask->Get(x, y), InnerOf(l).Contains(x, y)) << x << "," << y;
        }
    }
}

TEST(Cut, FailsForALevelWithoutEdgeStrips) {
    const PuzzleShape l = PuzzleShape::ForType(12);
    Bitmap picture(200, 200);
    auto piece = GridPiece(l, 1, 1);
    EXPECT_FALSE(piece->Cut(InnerOf(l), &picture, 12, 8, 8));
}

TEST(Cut, BevelClampsAtBlackAndWhite) {
    const PuzzleShape l = AllLevels[3];
    Bitmap dark(3 * l.Pitch(), 3 * l.Pitch());
    dark.Fill(MakePixel(30, 30, 30));
    Bitmap light = dark;
    light.Fill(MakePixel(230, 230, 230));
    auto piece = GridPiece(l, 0, 0);
    piece->FlatTop = piece->FlatLeft = true;
    ASSERT_TRUE(piece->Cut(InnerOf(l), &dark, 4, 8, 8));
    auto again = GridPiece(l, 0, 0);
    again->FlatTop = again->FlatLeft = true;
    ASSERT_TRUE(again->Cut(InnerOf(l), &light, 4, 8, 8));
    // The flat top border draws its light line along the picture's first row, the bottom
    // knob's lower rim is dark.
    EXPECT_EQ(light.At(5, 0), MakePixel(255, 255, 255));
    EXPECT_EQ(dark.At(5, 0), MakePixel(80, 80, 80));
    int darkened = 0;
    for (int y = 0; y < dark.Height(); ++y) {
        for (int x = 0; x < dark.Width(); ++x) {
            darkened += dark.At(x, y) == MakePixel(0, 0, 0);
        }
    }
    EXPECT_GT(darkened, 0);
}

TEST(Cut, ShadingStaysInsideThePicture) {
    const PuzzleShape l = AllLevels[1];
    Bitmap picture = PatternPicture(2 * l.Pitch() - l.TabSize + 3, 2 * l.Pitch() - l.TabSize + 3);
    const Bitmap original = picture;
    auto piece = GridPiece(l, 0, 0); // its bitmap starts above and left of the picture
    piece->FlatTop = piece->FlatLeft = true;
    piece->BottomOut = piece->RightOut = true;
    ASSERT_TRUE(piece->Cut(InnerOf(l), &picture, 2, l.TabSize, l.TabSize));
    EXPECT_NE(picture, original);
    EXPECT_EQ(picture.Width(), original.Width());
}

TEST(Cut, FlatSidesClearTheirMargins) {
    const PuzzleShape l = AllLevels[0];
    Bitmap picture = PatternPicture(400, 400);
    auto piece = GridPiece(l, 2, 2);
    piece->FlatRight = piece->FlatBottom = true;
    ASSERT_TRUE(piece->Cut(InnerOf(l), &picture, 1, 30, 40));
    for (int i = 0; i < l.PieceSize; ++i) {
        EXPECT_TRUE(piece->Mask->Get(l.PieceSize - 30, i)) << i;
        EXPECT_TRUE(piece->Mask->Get(i, l.PieceSize - 40)) << i;
    }
    EXPECT_FALSE(piece->Mask->Get(l.PieceSize - 31, 50));
    EXPECT_FALSE(piece->Mask->Get(50, l.PieceSize - 41));
}

namespace {

// Every colour byte raised (lowered) by the bevel's 50; the pattern picture never clamps.
Pixel Shaded(Pixel p, int step) {
    const auto by = [step](std::uint8_t c) { return static_cast<std::uint8_t>(c + step); };
    return MakePixel(by(Red(p)), by(Green(p)), by(Blue(p)));
}

} // namespace

// A piece flat on all four sides frames its part of the picture: a light top row and left
// column, a dark right column and bottom row where the margins end, and nothing else changes,
// whether the picture ends at the frame or goes on beyond it.
TEST(Cut, FlatSidesFrameThePictureLightAboveAndLeftDarkBelowAndRight) {
    const PuzzleShape l = AllLevels[0]; // 96 and 16
    const int marginX = 30;
    const int marginY = 40;
    const int w = l.PieceSize - l.TabSize - marginX;
    const int h = l.PieceSize - l.TabSize - marginY;
    for (const auto& [width, height] : std::vector<std::pair<int, int>>{{w, h}, {w + 30, h + 30}}) {
        Bitmap picture = PatternPicture(width, height);
        const Bitmap original = picture;
        auto piece = GridPiece(l, 0, 0);
        piece->FlatTop = piece->FlatLeft = piece->FlatRight = piece->FlatBottom = true;
        ASSERT_TRUE(piece->Cut(InnerOf(l), &picture, l.EdgeLevel, marginX, marginY));
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const bool inFrame = x < w && y < h;
                const bool dark = inFrame && (x == w - 1 || y == h - 1);
                const bool light = inFrame && !dark && (x == 0 || y == 0);
                const int step = dark ? -50 : light ? 50 : 0;
                ASSERT_EQ(picture.At(x, y), Shaded(original.At(x, y), step))
                    << width << " at " << x << "," << y;
            }
        }
    }
}

// A flat side's line runs its whole length whatever knobs and sockets the other sides carry:
// the bottom line from the piece's own column 0, into the band it shares with its left
// neighbour.
TEST(Cut, AFlatSidesLineRunsItsWholeLength) {
    const PuzzleShape l = AllLevels[0];
    const int s = l.PieceSize;
    const int t = l.TabSize;
    const int marginX = 30;
    const int marginY = 40;
    struct Line {
        Side Flat;
        int X0, Y0, X1, Y1; // end exclusive
        int Step;
    };
    const Line lines[] = {{Side::Top, t, t, s, t + 1, 50},
                          {Side::Bottom, 0, s - marginY - 1, s, s - marginY, -50},
                          {Side::Left, t, 0, t + 1, s - marginY - 1, 50},
                          {Side::Right, s - marginX - 1, 0, s - marginX, s - marginY - 1, -50}};
    for (const Line& line : lines) {
        for (const bool out : {false, true}) {
            Bitmap picture = PatternPicture(4 * l.Pitch(), 4 * l.Pitch());
            const Bitmap original = picture;
            auto piece = GridPiece(l, 1, 1);
            piece->TopOut = piece->BottomOut = piece->LeftOut = piece->RightOut = out;
            piece->FlatTop = line.Flat == Side::Top;
            piece->FlatBottom = line.Flat == Side::Bottom;
            piece->FlatLeft = line.Flat == Side::Left;
            piece->FlatRight = line.Flat == Side::Right;
            ASSERT_TRUE(piece->Cut(InnerOf(l), &picture, l.EdgeLevel, marginX, marginY));
            for (int y = line.Y0; y < line.Y1; ++y) {
                for (int x = line.X0; x < line.X1; ++x) {
                    const int px = piece->HomeX + x;
                    const int py = piece->HomeY + y;
                    ASSERT_EQ(picture.At(px, py), Shaded(original.At(px, py), line.Step))
                        << static_cast<int>(line.Flat) << " " << out << " at " << x << "," << y;
                }
            }
        }
    }
}

// Cut a whole puzzle, then lay every piece at its home: the picture reappears, bevel and all.
TEST(Cut, AllPiecesAtHomeShowTheWholeBevelledPicture) {
    for (const PuzzleShape& l : AllLevels) {
        Bitmap picture = PatternPicture(333, 251);
        const Grid grid = ComputeGrid(l, 333, 251);
        ASSERT_TRUE(grid.CanBuild());
        Random random(42);
        SideChooser chooser(grid.Cols, grid.Rows);
        PieceList pieces;
        constexpr int Offset = 30;
        for (int row = 0; row < grid.Rows; ++row) {
            for (int col = 0; col < grid.Cols; ++col) {
                auto piece = GridPiece(l, col, row, Offset);
                chooser.Choose(*piece, col, row, random);
                ASSERT_TRUE(
                    piece->Cut(InnerOf(l), &picture, l.EdgeLevel, grid.MarginX, grid.MarginY));
                pieces.PushFront(std::move(piece));
            }
        }
        const Pixel blank = MakePixel(1, 2, 3);
        Bitmap canvas(400, 350);
        canvas.Fill(blank);
        for (const auto& p : pieces) {
            p->Draw(canvas, picture);
        }
        // The puzzle's area: up to the last pieces' margins, inside the trimmed picture.
        const int right = (grid.Cols - 1) * l.Pitch() - l.TabSize + l.PieceSize - grid.MarginX;
        const int bottom = (grid.Rows - 1) * l.Pitch() - l.TabSize + l.PieceSize - grid.MarginY;
        ASSERT_LE(right, grid.PictureWidth);
        ASSERT_LE(bottom, grid.PictureHeight);
        for (int y = 0; y < bottom; ++y) {
            for (int x = 0; x < right; ++x) {
                ASSERT_EQ(canvas.At(x + Offset, y + Offset), picture.At(x, y))
                    << "level " << l.EdgeLevel << " at " << x << "," << y;
            }
        }
        EXPECT_EQ(canvas.At(Offset + right, Offset), blank);
        EXPECT_EQ(canvas.At(Offset - 1, Offset + 5), blank);
    }
}

TEST(SideChooser, DrawsBottomThenRightAndMatchesNeighbours) {
    Random random(12345);
    SideChooser chooser(2, 2);
    TPuzzle a(0, 0, 96, 96), b(0, 0, 96, 96), c(0, 0, 96, 96), d(0, 0, 96, 96);
    chooser.Choose(a, 0, 0, random);
    chooser.Choose(b, 1, 0, random);
    chooser.Choose(c, 0, 1, random);
    chooser.Choose(d, 1, 1, random);
    Random check(12345);
    EXPECT_EQ(a.BottomOut, check.Next() % 2 != 0);
    EXPECT_EQ(a.RightOut, check.Next() % 2 != 0);
    EXPECT_TRUE(a.FlatTop && a.FlatLeft && !a.FlatRight && !a.FlatBottom);
    EXPECT_FALSE(a.TopOut);
    EXPECT_FALSE(a.LeftOut);
    EXPECT_EQ(b.LeftOut, !a.RightOut);
    EXPECT_TRUE(b.FlatRight);
    EXPECT_EQ(c.TopOut, !a.BottomOut);
    EXPECT_FALSE(c.LeftOut);
    EXPECT_TRUE(c.FlatBottom);
    EXPECT_EQ(d.TopOut, !b.BottomOut);
    EXPECT_EQ(d.LeftOut, !c.RightOut);
}
