// The grid must find exactly the rectangles a brute-force search finds, whatever their sizes,
// wherever the query lies: inside, across the edges of the grid, or far outside it.
#include "puzzle/RectGrid.h"

#include "puzzle/Random.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <tuple>
#include <vector>

namespace {

bool Before(const TRect& a, const TRect& b) {
    return std::tie(a.Left, a.Top, a.Right, a.Bottom) < std::tie(b.Left, b.Top, b.Right, b.Bottom);
}

} // namespace

TEST(RectGridProperty, FindsExactlyTheRectanglesAQueryOverlaps) {
    Random random(777);
    for (int round = 0; round < 300; ++round) {
        std::vector<TRect> boxes;
        for (int n = random.Next() % 40; n > 0; --n) {
            const int x = random.Next() % 400 - 100;
            const int y = random.Next() % 300 - 100;
            boxes.push_back({x, y, x + random.Next() % 60, y + random.Next() % 60});
        }
        const RectGrid grid(boxes);
        const int x = random.Next() % 700 - 250;
        const int y = random.Next() % 600 - 250;
        const TRect query{x, y, x + random.Next() % 200, y + random.Next() % 200};

        std::vector<TRect> found;
        grid.ForEachOverlapping(query, [&](const TRect& box) { found.push_back(box); });
        std::vector<TRect> expected;
        for (const TRect& box : boxes) {
            if (!box.IsEmpty() && !box.Intersect(query).IsEmpty()) {
                expected.push_back(box);
            }
        }
        std::sort(found.begin(), found.end(), Before);
        std::sort(expected.begin(), expected.end(), Before);
        ASSERT_EQ(found, expected) << round;
    }
}
