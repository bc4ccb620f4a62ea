#include <cstring>
#include <string>
#include <vector>

#include "script/word_cursor.h"
#include "engine/resources/resource.h"
#include "engine/system/system.h"
#include "support/test_support.h"
#include "script_fixture.h"

using namespace glint;
using glint::test::ScriptFixture;

namespace {

std::vector<std::string> words(const char* line) {
    std::string copy = line;
    std::vector<std::string> out;
    {
        WordCursor cursor(copy.data());
        while (const char* w = cursor.next()) out.push_back(w);
    }
    EXPECT_EQ(copy, line) << "the cursor must put back every byte it cut";
    return out;
}

using Words = std::vector<std::string>;

} // namespace

TEST(WordCursor, SplitsWordsAndKeepsQuotedSections) {
    struct Case {
        const char* line;
        Words words;
    } cases[] = {
        {"set #x 1", {"set", "#x", "1"}},
        {"  \t set\x01#x  ", {"set", "#x"}},
        {"print \"a b c\" d", {"print", "\"a b c\"", "d"}},
        {"print x\"a b\"y z", {"print", "x\"a b\"y", "z"}},
        {"print 'a b' c", {"print", "'a b'", "c"}},
        {"print \"open to the end", {"print", "\"open to the end"}},
        {"print \"tab\tcut\" x", {"print", "\"tab", "cut\" x"}},
        {"caf\xC3\xA9 \xE9t\xE9", {"caf\xC3\xA9", "\xE9t\xE9"}},
        {"", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(words(c.line), c.words) << c.line;
}

TEST(LineCursor, AllLineEndsAndTheLastLineWithoutOne) {
    std::string text = "a\r\nb\rc\nd";
    LineCursor lines(text.data());
    std::vector<std::string> got;
    while (const char* line = lines.nextLine()) got.push_back(line);
    EXPECT_EQ(got, (Words{"a", "b", "c", "d"}));
    EXPECT_EQ(lines.lineNumber(), 4);
    EXPECT_EQ(text, "a\r\nb\rc\nd");
}

TEST(WordCursor, TypedReaders) {
    std::string line = "-12 3.5 7 : 1 2  4 5 x 9  10  200 100";
    WordCursor cursor(line.data());
    EXPECT_EQ(cursor.nextInt(), -12);
    EXPECT_DOUBLE_EQ(cursor.nextNumber(), 3.5);
    double range[4];
    cursor.nextRange(2, range); // 7 : 1 2 (b missing repeats a)
    EXPECT_DOUBLE_EQ(range[0], 14);
    EXPECT_DOUBLE_EQ(range[1], 14);
    EXPECT_DOUBLE_EQ(range[2], 2);
    EXPECT_DOUBLE_EQ(range[3], 4);
    cursor.nextRange(1, range); // 4 5 x: the word after b is consumed anyway
    EXPECT_DOUBLE_EQ(range[0], 4);
    EXPECT_DOUBLE_EQ(range[1], 5);
    EXPECT_DOUBLE_EQ(range[2], 4);
    EXPECT_DOUBLE_EQ(range[3], 5);
    EXPECT_EQ(cursor.nextInt(), 9);
    EXPECT_DOUBLE_EQ(cursor.nextNumber(), 10);
    double colour[2];
    cursor.nextColourPair(colour);
    EXPECT_DOUBLE_EQ(colour[0], 200.0 / 255);
    EXPECT_DOUBLE_EQ(colour[1], 100.0 / 255);
    EXPECT_DOUBLE_EQ(cursor.nextNumber(42), 42);
}

// Statements, comments and braces as the compiler sees them.
TEST_F(ScriptFixture, CommentsBracesAndLineEnds) {
    load("; a comment line\n"
         "init { set #a 1 ; trailing comment\n"
         "  set #b 2 }\n" // a trailing brace does not close the block
         "  set #c 3\n"
         "}\n"
         "init {\r\n  if 0 {\r\n    set #d 1\r\n  } else {\r\n    set #d 2\r\n  }\r\n}\r\n"
         "init {\n set #e \"two words\"\n}\n"
         "init {\n set #f 4\n}"); // no line end after the last line
    EXPECT_EQ(number("a"), 1);
    EXPECT_EQ(number("b"), 2);
    EXPECT_EQ(number("c"), 3);
    EXPECT_EQ(number("d"), 2);
    EXPECT_EQ(text("e"), "two words");
    EXPECT_EQ(number("f"), 4);
    EXPECT_FALSE(traced("ERROR")) << traceText();
}

TEST_F(ScriptFixture, ThirtyOneArgumentsAtMost) {
    std::string line = "init {\n set_str #s";
    for (int i = 0; i < 32; ++i) line += " " + std::to_string(i % 10);
    load(line + "\n}\n");
    // 31 arguments: the destination and 30 parts; the 32nd word is dropped.
    EXPECT_EQ(text("s"), "012345678901234567890123456789");
    EXPECT_TRUE(traced("ERROR in script room: ")) << traceText();
}

TEST_F(ScriptFixture, AngleBracketSubstitution) {
    load("def #n 3\n"
         "def #h 2.5\n"
         "def #lamp_<#n> 7\n"
         "def #a \"a<#h>\"\n"
         "def #s <SCENE_NAME>_x\n"
         "def #k <#missing>end\n"
         "def #cmp <=\n"
         "def #nested x<#lamp_<#n>>\n");
    EXPECT_EQ(number("lamp_3"), 7);
    EXPECT_EQ(text("a"), "a2.50");
    EXPECT_EQ(text("s"), "room_x");
    EXPECT_EQ(text("k"), "end");
    EXPECT_EQ(text("cmp"), "<=");
    EXPECT_EQ(text("nested"), "x7");
}

TEST_F(ScriptFixture, IncludeAndIncludeForEach) {
    addSource("part", "def #included_<BASE_NAME> <NAME>/<GROUP_NAME>\n");
    addSource("twice", "init { add #count 1 }\n");
    ScriptElement lamp1(intern("lamp_red"), &scene), lamp2(intern("lamp_blue"), &scene),
        hidden(intern("lamp_h"), &scene), shade(intern("shade_tall_2"), &scene);
    shade.templateName = intern("shade_tpl");
    shade.templateInstance = true;
    ScriptElement plainTemplate(intern("shade_tpl_9"), &scene);
    plainTemplate.templateName = intern("shade_tpl");
    for (ScriptElement* e : {&lamp1, &lamp2, &hidden, &shade, &plainTemplate})
        *findVariable(scene.scope, KindElement, e->name, nullptr, true) =
            Value::fromPointer(ValueType::Element, e);
    for (const char* n : {"lamp_red", "lamp_blue", "lamp_h", "shade_tall_2", "shade_tpl_9"}) {
        Value* list = findVariable(scene.scope, KindElement, intern("all_lamps[]"), nullptr, true);
        list->as<ArrayObject>()->append(findVariable(scene.scope, KindElement, intern(n), nullptr, false));
    }
    load("include twice\ninclude twice\ninclude_for_each $all_lamps[] part\n");
    EXPECT_EQ(number("count"), 2);
    EXPECT_EQ(text("included_red"), "lamp_red/lamp_red");
    EXPECT_EQ(text("included_blue"), "lamp_blue/lamp_blue");
    EXPECT_EQ(text("included_tall"), "shade_tall/shade_tpl");
    EXPECT_EQ(cell("included_h"), nullptr);
    EXPECT_EQ(system.sources.find(intern("twice"), "")->useCount, 2);
}

TEST_F(ScriptFixture, DefIfdefIfndef) {
    load("def #level 2\n"
         "def #names[] [1,\"b\",#level]\n"
         "def #empty[] []\n"
         "ifdef #level = 2 {\n  def #yes 1\n}\n"
         "ifndef #level = 2 {\n  def #no 1\n}\n"
         "ifdef #level {\n  init { set #ran 1 }\n}\n"
         "ifdef #level < 1 {\n  this is never compiled {\n at all\n }\n}\n"
         "def #block 0 {\n  set #inside 5\n}\n");
    EXPECT_EQ(number("yes"), 1);
    EXPECT_EQ(cell("no"), nullptr);
    EXPECT_EQ(number("ran"), 1);
    EXPECT_EQ(number("inside"), 5);
    Value names = value("names[]");
    ASSERT_TRUE(names.is(ValueType::Array));
    ArrayObject* array = names.as<ArrayObject>();
    ASSERT_EQ(array->count(), 3);
    EXPECT_EQ(valueText(*array->at(2)), "b");
    EXPECT_EQ(array->at(3)->number, 2);
    EXPECT_EQ(value("empty[]").as<ArrayObject>()->count(), 0);
    EXPECT_FALSE(traced("Invalid command")) << traceText();
}

TEST_F(ScriptFixture, LexerAndDirectiveErrors) {
    struct Case {
        const char* script;
        const char* message;
    } cases[] = {
        {"include nowhere\n", "ERROR: Script 'nowhere' does not exist!"},
        {"init { }\n}\nset #x 1\n", "Unexpected end of script"},
        {"def #a[] [1,2\n", "Invalid syntax for const array - 'def #array[] [...]'"},
        {"def #a [1,2]\n", "Array constants are supported only inside 'def #array[] [...]'"},
        {"ifdef 1 nonsense 2 {\n}\n", "Invalid condition"},
        {"init {\n set #x 1\n", "ERROR in script room: "},
    };
    for (const Case& c : cases)
        EXPECT_TRUE(glint::test::freshSceneReports(c.script, c.message)) << c.script;
}

TEST_F(ScriptFixture, StrayClosingBraceEndsTheFile) {
    load("def #a 1\n}\n\n   \n", "def #b 1\n}\ndef #c 1\n");
    EXPECT_EQ(number("a"), 1);
    EXPECT_EQ(number("b"), 1);
    EXPECT_EQ(cell("c"), nullptr); // compilation of common_all stopped at its brace
    EXPECT_EQ(tracedCount("Unexpected end of script"), 1) << traceText();
}

TEST_F(ScriptFixture, MissingRequiredScriptsAndOptionalSceneScript) {
    ScriptScene menu(intern("intro.menu"));
    system.addScene(&menu);
    addSource("common_all", "def #order <#order>a\n");
    addSource("menu", "def #order <#order>m\n");
    addSource("common_all_post", "def #order <#order>p\n");
    compileScene(menu.scope);
    EXPECT_EQ(valueText(*findVariable(menu.scope, KindPlain, intern("order"), nullptr, false)), "amp");
    ScriptScene other(intern("other"));
    system.addScene(&other);
    trace.clear();
    compileScene(other.scope); // no script "other": no error
    EXPECT_FALSE(traced("does not exist")) << traceText();
}

TEST_F(ScriptFixture, ScriptFilesFromTheSceneFolderAndTheSharedFolders) {
    glint::test::TempDir dir;
    systemResetForTests();
    ASSERT_TRUE(systemInit(dir.str().c_str()));
    resourceInit(); // the file-system source; the engine does this at start-up
    glint::test::writeFile(dir / "room" / "room.script", "\xEF\xBB\xBF" "def #from_file 1\ninclude shared\n");
    glint::test::writeFile(dir / "data" / "_interface" / "_scripts" / "shared.script", "def #shared 2\n");
    scene.folder = intern((dir.str() + "/room").c_str());
    addSource("common_all", "");
    addSource("common_all_post", "");
    compileScene(scene.scope);
    EXPECT_EQ(number("from_file"), 1) << traceText();
    EXPECT_EQ(number("shared"), 2) << "found in the shared script folder under " << dataPath();
    ScriptSource* source = findScriptSource(intern("room"), "");
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(source->text[0], 'd'); // the byte-order mark is gone
    EXPECT_EQ(findScriptSource(intern("no_such_script_anywhere"), dir.str().c_str()), nullptr);
    resourceShutdown();
    systemResetForTests();
}
