// The sample game proved finishable: from its menu, by its own hints, to
// the ending and the restart at the menu.
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <regex>

using namespace glint::test;

namespace {

TEST(DemoProve, FinishesTheGameFromTheMenuByItsHints) {
    const std::filesystem::path demo = sourceDir() / "games" / "demo";
    CommandResult result = runCommand(shellQuote(playerPath()) + " prove " + shellQuote(demo.string()) + " --input " +
                                      shellQuote((demo / "prove_start.txt").string()));
    ASSERT_EQ(result.status, 0) << result.out << result.err;
    EXPECT_TRUE(std::regex_search(result.out, std::regex("\\nfinished in [0-9]+ steps\\n$"))) << result.out;
    // The oil can is blocked by the crate in front of it: the hint names
    // the crate first, and the can only once the crate is moved.
    const size_t crate = result.out.find(" in cellar: shift: click ");
    const size_t can = result.out.find(" in cellar: pick_can: click ");
    ASSERT_NE(crate, std::string::npos) << result.out;
    ASSERT_NE(can, std::string::npos) << result.out;
    EXPECT_LT(crate, can) << result.out;
    // The workroom is searched, and what was found there is used on the lamp.
    EXPECT_NE(result.out.find(" in cellar_ho: find_wick: click "), std::string::npos) << result.out;
    EXPECT_NE(result.out.find(" in lamp_room: fit_wick: take item_wick at "), std::string::npos) << result.out;
    EXPECT_NE(result.out.find(" in sub_ending: finish: click "), std::string::npos) << result.out;
}

} // namespace
