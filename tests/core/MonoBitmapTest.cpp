// Masks are set and combined a byte at a time; every pixel must come out as the pixel-by-pixel
// rule says, wherever the rectangle or the source falls: across byte boundaries, partly outside,
// or off the bitmap altogether.
#include "puzzle/MonoBitmap.h"

#include "puzzle/Random.h"

#include <gtest/gtest.h>

namespace {

MonoBitmap RandomMask(Random& random, int width, int height) {
    MonoBitmap mask(width, height, random.Next() % 2 == 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            mask.Set(x, y, random.Next() % 3 != 0);
        }
    }
    return mask;
}

bool Inside(int x, int y, int left, int top, int right, int bottom) {
    return x >= left && x < right && y >= top && y < bottom;
}

} // namespace

TEST(MonoBitmapProperty, FillingAndAndingEqualThePixelByPixelRule) {
    Random random(31337);
    for (int round = 0; round < 500; ++round) {
        const int width = 1 + random.Next() % 40;
        const int height = 1 + random.Next() % 12;
        const MonoBitmap before = RandomMask(random, width, height);

        const int left = random.Next() % (width + 20) - 10;
        const int top = random.Next() % (height + 6) - 3;
        const int right = left + random.Next() % 30;
        const int bottom = top + random.Next() % 10;
        const bool bit = random.Next() % 2 == 0;
        MonoBitmap filled = before;
        filled.FillRect(left, top, right, bottom, bit);

        const MonoBitmap source =
            RandomMask(random, 1 + random.Next() % 30, 1 + random.Next() % 10);
        const int atX = random.Next() % (width + 30) - 20;
        const int atY = random.Next() % (height + 10) - 6;
        MonoBitmap anded = before;
        anded.AndAt(source, atX, atY);

        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const bool fills = Inside(x, y, left, top, right, bottom);
                ASSERT_EQ(filled.Get(x, y), fills ? bit : before.Get(x, y)) << round;
                const bool covered =
                    Inside(x, y, atX, atY, atX + source.Width(), atY + source.Height());
                const bool expected =
                    before.Get(x, y) && (!covered || source.Get(x - atX, y - atY));
                ASSERT_EQ(anded.Get(x, y), expected) << round << " at " << x << "," << y;
            }
        }
    }
}
