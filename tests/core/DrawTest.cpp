#include "PieceFixtures.h"
#include "puzzle/Random.h"

#include <gtest/gtest.h>

namespace {

const std::vector<std::string> Blob = {
    "........", "..####..", ".######.", ".##..##.", ".######.", "..####..", "...##...", "........",
};

const Pixel Board = MakePixel(0, 128, 128);

class DrawTest : public ::testing::Test {
protected:
    Bitmap Picture = PatternPicture(40, 40);
    Bitmap Canvas{30, 30};
    std::unique_ptr<TPuzzle> Piece = AsciiPiece(5, 7, Blob);

    void SetUp() override {
        Canvas.Fill(Board);
        Piece->HomeX = 12;
        Piece->HomeY = 3;
    }

    bool Inside(int x, int y) const { return Piece->Contains(x, y); }
};

} // namespace

TEST_F(DrawTest, CopiesThePicturesPixelsInsideTheShapeOnly) {
    Piece->Draw(Canvas, Picture);
    for (int y = 0; y < Canvas.Height(); ++y) {
        for (int x = 0; x < Canvas.Width(); ++x) {
            const Pixel expected = Inside(x, y) ? Picture.At(x - 5 + 12, y - 7 + 3) : Board;
            ASSERT_EQ(Canvas.At(x, y), expected) << x << "," << y;
        }
    }
}

TEST_F(DrawTest, DrawingTwiceEqualsDrawingOnce) {
    Piece->Draw(Canvas, Picture);
    const Bitmap once = Canvas;
    Piece->Draw(Canvas, Picture);
    EXPECT_EQ(Canvas, once);
}

TEST_F(DrawTest, PicturePixelsBeyondThePictureAreBlack) {
    Piece->HomeX = -3;
    Piece->Draw(Canvas, Picture);
    EXPECT_EQ(Canvas.At(5 + 1, 7 + 2), MakePixel(0, 0, 0)); // picture x = -2
    EXPECT_EQ(Canvas.At(5 + 3, 7 + 2), Picture.At(0, 5));
}

TEST_F(DrawTest, AClipThatOnlyTouchesBoundsDrawsNothing) {
    const Bitmap before = Canvas;
    Piece->DrawClipped(Canvas, {13, 0, 20, 30}, Picture); // starts at Bounds.Right
    Piece->DrawClipped(Canvas, {0, 0, 30, 7}, Picture);   // ends at Bounds.Top
    EXPECT_EQ(Canvas, before);
}

TEST_F(DrawTest, AClipLimitsTheDrawingToItsRectangle) {
    const TRect clip{8, 9, 11, 13};
    Piece->DrawClipped(Canvas, clip, Picture);
    for (int y = 0; y < Canvas.Height(); ++y) {
        for (int x = 0; x < Canvas.Width(); ++x) {
            const bool drawn = clip.Contains(x, y) && Inside(x, y);
            const Pixel expected = drawn ? Picture.At(x - 5 + 12, y - 7 + 3) : Board;
            ASSERT_EQ(Canvas.At(x, y), expected) << x << "," << y;
        }
    }
}

TEST_F(DrawTest, ShadowThenDrawLeavesBlackOnlyWhereTheShiftedSilhouetteShowsThrough) {
    Piece->DrawShadow(Canvas);
    Piece->Draw(Canvas, Picture);
    for (int y = 0; y < Canvas.Height(); ++y) {
        for (int x = 0; x < Canvas.Width(); ++x) {
            const bool shadow = Inside(x - 2, y - 2) && !Inside(x, y);
            if (Inside(x, y)) {
                continue;
            }
            ASSERT_EQ(Canvas.At(x, y), shadow ? MakePixel(0, 0, 0) : Board) << x << "," << y;
        }
    }
}

TEST_F(DrawTest, NothingIsDrawnOutsideTheCanvas) {
    Piece->Bounds = Piece->Bounds.Offset(-6, 20); // partly left of and below the canvas
    Piece->Draw(Canvas, Picture);
    Piece->DrawShadow(Canvas);
    Piece->DrawClipped(Canvas, {-100, -100, 100, 100}, Picture);
    EXPECT_EQ(Canvas.At(0, 29), Picture.At(12 + 1, 3 + 2));
    EXPECT_EQ(Canvas.Width(), 30);
}

namespace {

// What drawing means, pixel by pixel: inside the mask and the clip, the picture's pixel at the
// home position, black beyond the picture.
Bitmap DrawnPixelByPixel(const TPuzzle& piece, Bitmap canvas, const TRect& clip,
                         const Bitmap& picture) {
    for (int y = 0; y < canvas.Height(); ++y) {
        for (int x = 0; x < canvas.Width(); ++x) {
            if (!clip.Contains(x, y) || !piece.Contains(x, y)) {
                continue;
            }
            const int px = piece.HomeX + x - piece.Bounds.Left;
            const int py = piece.HomeY + y - piece.Bounds.Top;
            const bool inPicture =
                px >= 0 && px < picture.Width() && py >= 0 && py < picture.Height();
            canvas.Set(x, y, inPicture ? picture.At(px, py) : MakePixel(0, 0, 0));
        }
    }
    return canvas;
}

} // namespace

// Masks with whole bytes inside (drawn eight pixels at a time) and ragged edges, at home
// positions that reach past every side of the picture, on and off the canvas.
TEST(DrawProperty, DrawingEqualsThePixelByPixelRuleWhereverThePieceAndItsHomeLie) {
    const Bitmap picture = PatternPicture(64, 48);
    Random random(4242);
    for (int round = 0; round < 400; ++round) {
        const int size = 24 + 8 * (random.Next() % 4);
        std::vector<std::string> rows(size, std::string(size, '#'));
        for (int notch = random.Next() % 6; notch > 0; --notch) {
            rows[random.Next() % size][random.Next() % size] = '.';
        }
        auto piece = AsciiPiece(random.Next() % 90 - 30, random.Next() % 90 - 30, rows);
        piece->HomeX = random.Next() % (picture.Width() + 2 * size) - size - 8;
        piece->HomeY = random.Next() % (picture.Height() + 2 * size) - size;
        const TRect clip{random.Next() % 40 - 10, random.Next() % 40 - 10, 40 + random.Next() % 40,
                         30 + random.Next() % 40};
        Bitmap blank(70, 60);
        blank.Fill(Board);
        Bitmap canvas = blank;
        Bitmap clipped = blank;
        piece->Draw(canvas, picture);
        piece->DrawClipped(clipped, clip, picture);
        ASSERT_EQ(canvas, DrawnPixelByPixel(*piece, blank, {0, 0, 70, 60}, picture)) << round;
        ASSERT_EQ(clipped, DrawnPixelByPixel(*piece, blank, clip, picture)) << round;

        // A canvas that holds only part of the board, with its shadow: the same pixels there.
        const int partLeft = random.Next() % 60;
        const int partTop = random.Next() % 50;
        const TRect partArea{partLeft, partTop, partLeft + 1 + random.Next() % (70 - partLeft),
                             partTop + 1 + random.Next() % (60 - partTop)};
        Bitmap whole = blank;
        piece->DrawShadow(whole);
        piece->Draw(whole, picture);
        Bitmap window(partArea.Width(), partArea.Height());
        CopyArea(blank, partArea, window, {0, 0});
        Bitmap expected = window;
        CopyArea(whole, partArea, expected, {0, 0});
        piece->DrawShadowAt(window, {partArea.Left, partArea.Top});
        piece->DrawAt(window, {partArea.Left, partArea.Top}, picture);
        ASSERT_EQ(window, expected) << round;
    }
}
