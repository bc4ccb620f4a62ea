#include "script/array_object.h"
#include "script_fixture.h"

using namespace glint;
using glint::test::ScriptFixture;

TEST_F(ScriptFixture, InitBlocksRunAtLinking) {
    load("init {\n  set #x 5\n  add #x 2.5\n}\n");
    EXPECT_EQ(number("x"), 7.5) << traceText();
}

// Conditions and arithmetic between locals, variables and constants take a
// shorter way than those with indexes and members: both must agree.
TEST_F(ScriptFixture, EveryKindOfOperandComparesAndComputesAlike) {
    struct Case {
        const char* condition;
        int branch; // 1: the if block, 2: the else block
    };
    const Case cases[] = {
        {"%l = 3", 1},          {"#v = %l", 1},
        {"#arr[2] = 3", 1},     {"3 = #arr[].tag", 1},
        {"#arr[2] <> #v", 2},   {"%l < #arr[].tag", 2},
        {"#missing = 0", 1},    {"#missing < %l", 1},
        {"\"b\" > \"a\"", 1},   {"#arr[-1] >= \"b\"", 2},
        {"%l >= 3.0004", 1},    {"%l >= 3.0005", 2}, // 1/2048 steps
        {"#p.n = 3", 1},        {"#p.n > %l", 2},
    };
    std::string script = "class box {\n  init {\n    set this.n 1\n    add this.n 2\n  }\n}\n"
                         "init {\n  set %l 3\n  set #v 3\n  set #arr[2] 3\n  set #arr[3] \"a\"\n"
                         "  set #arr[].tag 3\n  new #p -box\n";
    for (size_t i = 0; i < std::size(cases); ++i) {
        std::string r = "#r" + std::to_string(i);
        script += std::string("  if ") + cases[i].condition + " {\n    set " + r + " 1\n  } else {\n    set " + r +
                  " 2\n  }\n";
    }
    // Results computed from indexes and members into locals, and back.
    script += "  set %a #arr[2]\n  mul %a #p.n\n  set #product %a\n"
              "  set %b 10\n  imod %b #arr[].tag\n  add #arr[2] %b\n  sub #p.n %b\n"
              "}\n";
    load(script);
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(number(("r" + std::to_string(i)).c_str()), cases[i].branch) << cases[i].condition;
    EXPECT_EQ(number("product"), 9);
    EXPECT_EQ(value("arr[]").as<ArrayObject>()->at(2)->number, 4);
    EXPECT_EQ(value("p").as<ScriptInstance>()->members.get(intern("n"))->number, 2);
    EXPECT_FALSE(traced("ERROR")) << traceText();
}
