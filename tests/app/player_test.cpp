#include "support/test_support.h"

#include <gtest/gtest.h>

using namespace glint::test;

TEST(Player, RejectsExtraArguments) {
    CommandResult result = runCommand(shellQuote(playerPath()) + " a b");
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find("usage: glint [GAME_DIR]"), std::string::npos);
}
