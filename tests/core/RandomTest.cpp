#include "puzzle/Random.h"

#include <gtest/gtest.h>

TEST(Random, SeededWith12345GivesTheKnownFirstDraws) {
    Random random(12345);
    EXPECT_EQ(random.Next(), 4271370);
    EXPECT_EQ(random.Next(), 1382990846);
    EXPECT_EQ(random.Next(), 2021515706);
}

TEST(Random, ReseedingRestartsTheSequenceWithAZeroUpperHalf) {
    Random used(777);
    for (int i = 0; i < 1000; ++i) {
        used.Next();
    }
    used.Seed(12345);
    EXPECT_EQ(used.Next(), 4271370);
}

TEST(Random, DrawsStayWithin31BitsAcrossTheWrapOfTheState) {
    Random random(0xFFFFFFFFu);
    bool sawLargeDraw = false;
    for (int i = 0; i < 100000; ++i) {
        const std::int32_t draw = random.Next();
        ASSERT_GE(draw, 0);
        sawLargeDraw = sawLargeDraw || draw > (1 << 30);
    }
    EXPECT_TRUE(sawLargeDraw);
}
