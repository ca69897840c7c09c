#include "puzzle/EdgeBitmaps.h"

#include "PieceFixtures.h"

#include <gtest/gtest.h>
#include <utility>

namespace {

using Runs = std::vector<std::pair<int, int>>;

Runs BlackRuns(const MonoBitmap& strip, int y) {
    Runs runs;
    for (int x = 0; x < strip.Width(); ++x) {
        if (!strip.Get(x, y) && (x == 0 || strip.Get(x - 1, y))) {
            runs.push_back({x, x});
        }
        if (!strip.Get(x, y)) {
            runs.back().second = x;
        }
    }
    return runs;
}

const MonoBitmap& Mask(int number) {
    const MonoBitmap* strip = EdgeBitmaps::Stored().MaskStrip(number);
    EXPECT_NE(strip, nullptr) << number;
    static const MonoBitmap empty;
    return strip != nullptr ? *strip : empty;
}

bool SamePixels(const MonoBitmap& a, const MonoBitmap& b, bool transposed, bool flipX, bool flipY) {
    for (int y = 0; y < a.Height(); ++y) {
        for (int x = 0; x < a.Width(); ++x) {
            const int sx = flipX ? a.Width() - 1 - x : x;
            const int sy = flipY ? a.Height() - 1 - y : y;
            if (a.Get(x, y) != (transposed ? b.Get(sy, sx) : b.Get(sx, sy))) {
                return false;
            }
        }
    }
    return true;
}

} // namespace

TEST(EdgeBitmaps, LevelOneBottomKnobHasTheDesignedRuns) {
    const std::vector<Runs> expected = {{{15, 26}, {36, 59}, {70, 81}},
                                        {{14, 22}, {35, 60}, {74, 82}},
                                        {{13, 19}, {34, 61}, {77, 83}},
                                        {{12, 17}, {33, 62}, {79, 84}},
                                        {{11, 15}, {32, 63}, {81, 85}},
                                        {{10, 13}, {31, 64}, {83, 86}},
                                        {{9, 11}, {31, 64}, {85, 87}},
                                        {{8, 9}, {31, 64}, {87, 88}},
                                        {{31, 64}},
                                        {{32, 63}},
                                        {{33, 62}},
                                        {{35, 60}},
                                        {{37, 58}},
                                        {{39, 56}},
                                        {{42, 53}},
                                        {{45, 50}}};
    const MonoBitmap& knob = Mask(152);
    ASSERT_EQ(knob.Width(), 96);
    ASSERT_EQ(knob.Height(), 16);
    for (int y = 0; y < 16; ++y) {
        EXPECT_EQ(BlackRuns(knob, y), expected[y]) << "row " << y;
    }
}

TEST(EdgeBitmaps, LevelOneTopSocketHasTheDesignedRuns) {
    const std::vector<Runs> expected = {
        {{27, 35}, {60, 69}}, {{23, 34}, {61, 73}}, {{20, 33}, {62, 76}}, {{18, 32}, {63, 78}},
        {{16, 31}, {64, 80}}, {{14, 30}, {65, 82}}, {{12, 30}, {65, 84}}, {{10, 30}, {65, 86}},
        {{8, 30}, {65, 88}},  {{9, 31}, {64, 87}},  {{10, 32}, {63, 86}}, {{11, 34}, {61, 85}},
        {{12, 36}, {59, 84}}, {{13, 38}, {57, 83}}, {{14, 41}, {54, 82}}, {{15, 44}, {51, 81}}};
    const MonoBitmap& socket = Mask(156);
    for (int y = 0; y < 16; ++y) {
        EXPECT_EQ(BlackRuns(socket, y), expected[y]) << "row " << y;
    }
}

TEST(EdgeBitmaps, EveryLevelHasItsEightStripsAtTheRightSizes) {
    for (const PuzzleShape& l : AllLevels) {
        for (const Side side : {Side::Top, Side::Bottom, Side::Left, Side::Right}) {
            for (const bool out : {true, false}) {
                const MonoBitmap& mask = Mask(EdgeMaskNumber(side, out, l.EdgeLevel));
                const bool across = side == Side::Top || side == Side::Bottom;
                EXPECT_EQ(mask.Width(), across ? l.PieceSize : l.TabSize);
                EXPECT_EQ(mask.Height(), across ? l.TabSize : l.PieceSize);
            }
        }
    }
}

TEST(EdgeBitmaps, ShadeStripsMatchTheirMasks) {
    for (const PuzzleShape& l : AllLevels) {
        for (const Side side : {Side::Top, Side::Bottom, Side::Left, Side::Right}) {
            for (const bool out : {true, false}) {
                const MonoBitmap& mask = Mask(EdgeMaskNumber(side, out, l.EdgeLevel));
                const IndexBitmap* shade =
                    EdgeBitmaps::Stored().ShadeStrip(EdgeShadeNumber(side, out, l.EdgeLevel));
                ASSERT_NE(shade, nullptr);
                ASSERT_EQ(shade->Width(), mask.Width());
                ASSERT_EQ(shade->Height(), mask.Height());
                int light = 0, dark = 0;
                for (int y = 0; y < mask.Height(); ++y) {
                    for (int x = 0; x < mask.Width(); ++x) {
                        const int index = shade->Get(x, y);
                        if (mask.Get(x, y)) {
                            EXPECT_EQ(index, 3);
                        } else {
                            EXPECT_TRUE(index == 12 || index == 1 || index == 2) << index;
                            light += index == 1;
                            dark += index == 2;
                        }
                    }
                }
                EXPECT_GT(light, 0);
                EXPECT_GT(dark, 0);
            }
        }
    }
}

TEST(EdgeBitmaps, LevelFourIsOneDesignTurnedFourWays) {
    for (const bool out : {true, false}) {
        const MonoBitmap& bottom = Mask(EdgeMaskNumber(Side::Bottom, out, 4));
        const MonoBitmap& top = Mask(EdgeMaskNumber(Side::Top, out, 4));
        const MonoBitmap& left = Mask(EdgeMaskNumber(Side::Left, out, 4));
        const MonoBitmap& right = Mask(EdgeMaskNumber(Side::Right, out, 4));
        EXPECT_TRUE(SamePixels(top, bottom, false, false, true));
        EXPECT_TRUE(SamePixels(left, top, true, false, false));
        EXPECT_TRUE(SamePixels(right, left, false, true, false));
    }
}

TEST(EdgeBitmaps, LevelsWithoutStripsHaveNone) {
    for (const int level : {11, 12, 13, 14}) {
        EXPECT_EQ(EdgeBitmaps::Stored().MaskStrip(EdgeMaskNumber(Side::Top, true, level)), nullptr);
        EXPECT_EQ(EdgeBitmaps::Stored().ShadeStrip(EdgeShadeNumber(Side::Top, true, level)),
                  nullptr);
    }
}

TEST(EdgeBitmaps, DamagedFilesGiveNoStrip) {
    const std::vector<std::uint8_t> truncated(StoredEdgeFile(152).begin(),
                                              StoredEdgeFile(152).begin() + 70);
    const EdgeBitmaps damaged([&](int number) {
        return number == 152 ? std::span<const std::uint8_t>(truncated) : StoredEdgeFile(number);
    });
    EXPECT_EQ(damaged.MaskStrip(152), nullptr);
    EXPECT_NE(damaged.MaskStrip(153), nullptr);
}
