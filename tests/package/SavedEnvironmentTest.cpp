#include "package/SavedEnvironment.h"

#include <cstdlib>
#include <gtest/gtest.h>

// Values hold any byte but NUL: the separators and the escape character must come back whole.
TEST(SavedEnvironment, ValuesWithSeparatorsSurviveTheRoundTrip) {
    const std::vector<EnvironmentVariable> variables = {
        {"LD_PRELOAD", "/a;b=c%41.so"}, {"QT_QPA_PLATFORM", std::nullopt}, {"EMPTY", ""}};
    const auto decoded = DecodeVariables(EncodeVariables(variables));
    ASSERT_EQ(decoded.size(), variables.size());
    for (std::size_t i = 0; i < variables.size(); ++i) {
        EXPECT_EQ(decoded[i].Name, variables[i].Name);
        EXPECT_EQ(decoded[i].Value, variables[i].Value);
    }
    EXPECT_TRUE(DecodeVariables("A=%4").empty()) << "a cut escape is left out";
}

TEST(SavedEnvironment, SettingTheOldValuesPutsBackTheNewOnes) {
    setenv("TAVRIN_TEST_SET", "player", 1);
    unsetenv("TAVRIN_TEST_UNSET");
    const auto player =
        SetVariables({{"TAVRIN_TEST_SET", std::nullopt}, {"TAVRIN_TEST_UNSET", "user"}});
    EXPECT_EQ(std::getenv("TAVRIN_TEST_SET"), nullptr);
    EXPECT_STREQ(std::getenv("TAVRIN_TEST_UNSET"), "user");
    SetVariables(player);
    EXPECT_STREQ(std::getenv("TAVRIN_TEST_SET"), "player");
    EXPECT_EQ(std::getenv("TAVRIN_TEST_UNSET"), nullptr);
}
