#include "script_fixture.h"

using namespace glint;
using glint::test::ScriptFixture;

TEST_F(ScriptFixture, InitBlocksRunAtLinking) {
    load("init {\n  set #x 5\n  add #x 2.5\n}\n");
    EXPECT_EQ(number("x"), 7.5) << traceText();
}
