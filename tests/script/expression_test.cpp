#include <cmath>
#include <cstring>

#include "script_fixture.h"

using namespace glint;
using glint::test::ScriptFixture;

namespace {

// Compiles one word in a fresh scope and reads it.
struct WordFixture : ScriptFixture {
    WordFixture() { setScriptErrorScope(&scene.scope); }
    Value word(const char* text) {
        system.compile.scope = &scene.scope;
        Value cell;
        compileWord(text, cell);
        return readCell(cell);
    }
};

} // namespace

TEST_F(WordFixture, NumberWords) {
    struct Case {
        const char* word;
        double value;
    } cases[] = {
        {"0x1F", 31}, {"2.5", 2.5}, {"15t", 0.15}, {"3f", 0.3}, {"1-", -1}, {"1-2", -12},
        {"-4", -4},   {"0xff", 255}, {"7abc", 7}, {"1.25", 1.25}, {"'A", 65}, {"'\xE9", -23},
    };
    for (const Case& c : cases) {
        Value v = word(c.word);
        ASSERT_TRUE(v.isNumber()) << c.word;
        EXPECT_NEAR(v.number, c.value, 1e-12) << c.word;
    }
}

TEST_F(WordFixture, ConstantsAndVariables) {
    EXPECT_TRUE(word("").isNone());
    EXPECT_TRUE(word("?anything").isNone());
    EXPECT_EQ(word("\"a b\"").symbol(), intern("a b"));
    EXPECT_EQ(word("bare").symbol(), intern("bare"));
    EXPECT_EQ(word("\"open").symbol(), intern("\"open"));
    EXPECT_TRUE(traced("Invalid text constant"));
    EXPECT_TRUE(word("[]").is(ValueType::ArrayLiteral));

    *findVariable(scene.scope, KindPlain, intern("local_var"), nullptr, true) = Value::fromNumber(1);
    *findVariable(system.global(), KindPlain, intern("global_var"), nullptr, true) = Value::fromNumber(2);
    *findVariable(system.global(), KindPlain, intern("?profile"), nullptr, true) = Value::fromNumber(3);
    EXPECT_EQ(word("#local_var").number, 1);
    EXPECT_EQ(word("##global_var").number, 2);
    EXPECT_EQ(word("#?profile").number, 3);
    EXPECT_TRUE(word("#global_var").isNone()); // "#" alone is the scene's
    // The context variables live in the global scope.
    system.ctx.element = Value::fromNumber(9);
    EXPECT_EQ(word("#$").number, 9);
    // Items drop their version suffix; scenes are global.
    Value* key = findVariable(system.global(), KindItem, intern("key"), nullptr, true);
    *key = Value::fromNumber(4);
    EXPECT_EQ(word("^key_2").number, 4);
    EXPECT_TRUE(word("$?").is(ValueType::Element));
    EXPECT_EQ(word("$?").pointer, nullptr);
    // Scene-qualified names.
    ScriptScene other(intern("other"));
    system.addScene(&other);
    *findVariable(other.scope, KindPlain, intern("v"), nullptr, true) = Value::fromNumber(5);
    EXPECT_EQ(word("#other:v").number, 5);
    EXPECT_TRUE(word("#nosuchscene:v").isNone());
    EXPECT_EQ(word("other::#v").number, 5);
    EXPECT_TRUE(word("other::#fresh").isNone());
    EXPECT_EQ(findVariable(other.scope, KindPlain, intern("fresh"), nullptr, false), nullptr);
    word("other:::#made");
    EXPECT_NE(findVariable(other.scope, KindPlain, intern("made"), nullptr, false), nullptr);
}

TEST_F(WordFixture, ConfigurationKeys) {
    static Value stored = Value::fromNumber(800);
    system.configuration.read = [](Symbol* key, Value& out) {
        if (key != sym::BuildScreenW()) return false;
        out = stored;
        return true;
    };
    system.configuration.write = [](Symbol* key, const Value& v) {
        if (key == sym::BuildScreenW()) stored = v;
        return true;
    };
    EXPECT_EQ(word("#!BuildScreenW").number, 800);
    EXPECT_TRUE(word("#!Unknown").isNone());
    Value cell;
    compileWord("#!BuildScreenW", cell);
    Value v = Value::fromNumber(1024);
    access(cell, AccessWrite, v);
    EXPECT_EQ(stored.number, 1024);
}

TEST_F(WordFixture, WordErrors) {
    struct Case {
        const char* word;
        const char* message;
    } cases[] = {
        {"$$x", "$$variables are not supported - $$x"},
        {"##a:b", "##variable should not name a script - ##a:b"},
        {"@?", "Invalid variable name - @?"},
        {"abc[1]", "Invalid indexing - unknown array type"},
        {"#x1]", "Invalid indexing - missing ["},
        {"#o.#a[1]", "Expressions of the form object.object[index] might have undesirable effect"},
        {"scene::x", "Invalid variable prefix"},
        {"%loose", "Using local variable outside root block!"},
        {"[1,2]", "Array constants are supported only inside 'def #array[] [...]'"},
    };
    for (const Case& c : cases) {
        trace.clear();
        word(c.word);
        EXPECT_TRUE(traced(c.message)) << c.word << "\n" << traceText();
    }
}

TEST_F(ScriptFixture, IndexingArraysAndStrings) {
    load("init {\n"
         "  set #x[1] 10\n"
         "  set #x[3] 30\n"
         "  set #last #x[-1]\n"
         "  set #zero #x[0]\n"
         "  set #outside #x[9]\n"
         "  set #count #x[].count\n"
         "  set #x[\"tag\"] 5\n"
         "  set #tag #x[\"tag\"]\n"
         "  set #m[2,3] 23\n"
         "  set #mslot #m[23]\n"
         "  set #c \"abc\"[2]\n"
         "  set #c0 \"abc\"[7]\n"
         "  set #sub \"abcdef\"[2,4]\n"
         "  set #rev \"abc\"[3,2]\n"
         "  set #neg \"abcdef\"[-3,-1]\n"
         "  set #len \"abcdef\".len\n"
         "  set #five_5 1\n"
         "  set #fivecount #five[].count\n"
         "  set #i 3\n"
         "  set #byvar #x[#i]\n"
         "}\n");
    EXPECT_EQ(number("last"), 30);
    EXPECT_TRUE(value("zero").isNone());
    EXPECT_TRUE(value("outside").isNone());
    EXPECT_EQ(number("count"), 3);
    EXPECT_EQ(number("tag"), 5);
    EXPECT_EQ(number("mslot"), 23);
    EXPECT_EQ(number("c"), 98);
    EXPECT_EQ(number("c0"), 0);
    EXPECT_EQ(text("sub"), "bcd");
    EXPECT_EQ(text("rev"), "");
    EXPECT_EQ(text("neg"), "def");
    EXPECT_EQ(number("len"), 6);
    EXPECT_EQ(number("fivecount"), 5);
    EXPECT_EQ(number("byvar"), 30);
    EXPECT_FALSE(traced("ERROR")) << traceText();
}

TEST_F(ScriptFixture, AllViewsAndVariableRefs) {
    load("task t1 hand ? ? {\n}\n"
         "task t2 hand ? ? {\n}\n"
         "init {\n"
         "  set #n #ALL@.count\n"
         "  set #ref #ALL@[2]\n"
         "  set #refname #ref.name\n"
         "  set #reftype #ref\n"
         "  get_type #reftype #ref\n"
         "  set #visited 0\n"
         "  for_each %v #ALL@ {\n"
         "    add #visited 1\n"
         "  }\n"
         "}\n");
    EXPECT_EQ(text("refname"), "t2");
    EXPECT_EQ(text("reftype"), "variable_ref");
    EXPECT_EQ(number("visited"), 2);
}

TEST_F(ScriptFixture, ConditionsReadLeftToRight) {
    load("init {\n"
         "  set #a 1\n"
         "  set #b 5\n"
         "  set #c 0\n"
         "  set #r1 0\n  if #a = 1 or #b = 2 and #c {\n    set #r1 1\n  }\n"
         "  set #r2 0\n  if #a = 2 or #b = 5 and #c {\n    set #r2 1\n  }\n"
         "  set #r3 0\n  if -1 {\n    set #r3 1\n  }\n"
         "  set #r4 0\n  if 0.0004 {\n    set #r4 1\n  }\n"
         "  set #r5 0\n  if \"abc\" < \"abd\" {\n    set #r5 1\n  }\n"
         "  set #r6 0\n  if \"x\" = \"x\" and #b >= 5 and #b <> 4 {\n    set #r6 1\n  }\n"
         "  set #r7 0\n  if #a and #b {\n    set #r7 1\n  }\n"
         "  set #r8 0\n  if #missing {\n  } else {\n    set #r8 1\n  }\n"
         "  set #r9 0\n  if 1.0001 = 1 {\n    set #r9 1\n  }\n"
         "}\n");
    EXPECT_EQ(number("r1"), 1); // a = 1 is true and "or" ends the chain
    EXPECT_EQ(number("r2"), 0); // (false or true) and #c
    EXPECT_EQ(number("r3"), 0);
    EXPECT_EQ(number("r4"), 0);
    EXPECT_EQ(number("r5"), 1);
    EXPECT_EQ(number("r6"), 1);
    EXPECT_EQ(number("r7"), 1);
    EXPECT_EQ(number("r8"), 1);
    EXPECT_EQ(number("r9"), 1); // equal in 1/2048 steps
}

TEST_F(ScriptFixture, LoopsAndBreak) {
    load("init {\n"
         "  set_str #up\n  for %i 1 4 {\n    set_str #up #up %i\n  }\n"
         "  set_str #none\n  for %i 5 1 {\n    set_str #none #none %i\n  }\n"
         "  set_str #down\n  for %i 5 1 -2 {\n    set_str #down #down %i\n  }\n"
         "  set_str #zero\n  for %i 1 5 0 {\n    set_str #zero #zero %i\n  }\n"
         "  set_str #broken\n  for %i 1 9 {\n    if %i = 3 {\n      break\n    }\n    set_str #broken #broken %i\n  }\n"
         "  set_str #fixed\n  for %i 1 3 {\n    set %i 10\n    set_str #fixed #fixed %i\n  }\n"
         "  set #arr[1] \"a\"\n  set #arr[3] \"c\"\n"
         "  set_str #each\n  for_each %x #arr[] {\n    set_str #each #each %x\n  }\n"
         "  set_str #once\n  for_each %x 7 {\n    set_str #once #once %x\n  }\n"
         "  set_str #nested\n"
         "  for %i 1 2 {\n    for %j 1 3 {\n      if %j = 2 {\n        break\n      }\n"
         "      set_str #nested #nested %i %j\n    }\n  }\n"
         "}\n");
    EXPECT_EQ(text("up"), "1234");
    EXPECT_EQ(text("none"), "");
    EXPECT_EQ(text("down"), "531");
    EXPECT_EQ(text("zero"), "");
    EXPECT_EQ(text("broken"), "12");
    EXPECT_EQ(text("fixed"), "101010"); // the counter, not the local, drives it
    EXPECT_EQ(text("each"), "ac");
    EXPECT_EQ(text("once"), "7");
    EXPECT_EQ(text("nested"), "1121");
    EXPECT_FALSE(traced("ERROR")) << traceText();
}

TEST_F(ScriptFixture, StatementErrors) {
    struct Case {
        const char* script;
        const char* message;
    } cases[] = {
        {"set #x 1\n", "This command cannot be used here!"},
        {"init {\n  fun f {\n  }\n}\n", "This command cannot be used here!"},
        {"init {\n  break\n}\n", "Command break is not allowed here!"},
        {"init {\n  for #i 1 2 {\n  }\n}\n", "Loop index must be local variable"},
        {"fun f #a {\n}\n", "Formal function parameters must be local variables"},
        {"init {\n  1abc\n}\n", "Invalid command - 1abc"},
    };
    for (const Case& c : cases)
        EXPECT_TRUE(glint::test::freshSceneReports(c.script, c.message)) << c.script;
}

TEST_F(ScriptFixture, InvalidCommandAfterStartUp) {
    system.heap.engineStarted = true;
    load("init {\n  no_such_command 1\n  set #after 1\n}\n");
    EXPECT_TRUE(traced("Invalid command - no_such_command")) << traceText();
    EXPECT_EQ(number("after"), 1);
}

TEST_F(ScriptFixture, TooManyLocals) {
    std::string script = "init {\n";
    for (int i = 0; i < 257; ++i) script += "  set %l" + std::to_string(i) + " 1\n";
    load(script + "}\n");
    EXPECT_TRUE(traced("Too much local variables!"));
}

TEST_F(ScriptFixture, MembersOfObjects) {
    element("lamp");
    element("lamp$glow");
    ScriptScene hall(intern("hall"));
    system.addScene(&hall);
    *findVariable(system.global(), KindScene, intern("hall"), nullptr, true) =
        Value::fromPointer(ValueType::Scene, &hall);
    load("fun helper {\n}\n"
         "on !ring {\n}\n"
         "init {\n"
         "  set $lamp.brightness 3\n"
         "  set #bright $lamp.brightness\n"
         "  set #glow $lamp.$glow\n"
         "  set #fname &helper.name\n"
         "  set #fscene &helper.scene\n"
         "  set #sname !ring.name\n"
         "  set &helper.name other\n"
         "  set +hall.counter 4\n"
         "  set #hall_counter +hall.counter\n"
         "  set #s \"text\"\n"
         "  set #len #s.len\n"
         "  set #m[1] 1\n"
         "  set #m[].matrix_size 4\n"
         "  set #width #m[].matrix_size\n"
         "  set #m[].count 3\n"
         "  set #count #m[].count\n"
         "  set #ref #ALL#[1]\n"
         "  set #refscene #ref.scene\n"
         "  set #ref.value 9\n"
         "}\n");
    EXPECT_EQ(number("bright"), 9); // the first variable of #ALL#, written through the ref
    EXPECT_EQ(text("refscene"), "+room");
    EXPECT_EQ(text("glow"), "$room:lamp$glow");
    EXPECT_EQ(text("fname"), "helper");
    EXPECT_EQ(text("fscene"), "+room");
    EXPECT_EQ(text("sname"), "ring");
    EXPECT_TRUE(traced("Invalid property name")) << traceText();
    EXPECT_EQ(valueText(*findVariable(hall.scope, KindPlain, intern("counter"), nullptr, false)), "4");
    EXPECT_EQ(number("hall_counter"), 4);
    EXPECT_EQ(number("len"), 4);
    EXPECT_EQ(number("width"), 4);
    EXPECT_EQ(number("count"), 3);
}
