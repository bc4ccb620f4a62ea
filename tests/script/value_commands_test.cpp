// The value family: arithmetic guards, table trigonometry, geometry with
// elements, text forms, set_char, in_array, random state arrays, local
// time, and new, delete and reset_object.
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <string>

#include "engine/system/numbers.h"
#include "script/array_object.h"
#include "script_fixture.h"

using namespace glint;
using glint::test::ScriptFixture;

namespace {

// Each case is one or more statements acting on #v; the cases run in one
// init block with #v renamed to #r<index>.
struct NumberCase {
    const char* statements;
    double expected;
};

std::string numberCasesScript(const NumberCase* cases, size_t count) {
    std::string body = "init {\n";
    for (size_t i = 0; i < count; ++i) {
        std::string statements = cases[i].statements;
        std::string name = "#r" + std::to_string(i);
        for (size_t at = statements.find("#v"); at != std::string::npos; at = statements.find("#v", at + 1))
            statements.replace(at, 2, name);
        body += "  " + statements + "\n";
    }
    return body + "}\n";
}

// Runs statements with the time zone set, restoring the previous one.
class TimeZone {
public:
    explicit TimeZone(const char* zone) {
        const char* saved = std::getenv("TZ");
        had_ = saved != nullptr;
        if (saved) previous_ = saved;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~TimeZone() {
        if (had_) setenv("TZ", previous_.c_str(), 1);
        else unsetenv("TZ");
        tzset();
    }
    TimeZone(const TimeZone&) = delete;
    TimeZone& operator=(const TimeZone&) = delete;

private:
    bool had_ = false;
    std::string previous_;
};

} // namespace

TEST_F(ScriptFixture, ArithmeticSignsGuardsAndDefaults) {
    const NumberCase cases[] = {
        {"set #v 7\n  idiv #v 2", 3},
        {"set #v -7\n  idiv #v 2", -3},
        {"set #v 7\n  idiv #v -2", -3},
        {"set #v 7\n  idiv #v 0.5", 14},
        {"set #v 7\n  idiv #v 0.00005", 0},
        {"set #v 7\n  idiv #v -0.00009", 0},
        {"set #v 7\n  imod #v 2", 1},
        {"set #v 7\n  imod #v -2", 1},
        {"set #v -7\n  imod #v 2", -1},
        {"set #v -7\n  imod #v -2", -1},
        {"set #v 7.5\n  imod #v 2", 1.5},
        {"set #v 7\n  imod #v 0.00009", 0},
        {"set #v 7\n  imod #v -0.00009", 0},
        {"set #v 1\n  div #v 4", 0.25},
        {"set #v 7\n  div #v 0.00005", 0},
        {"set #v 7\n  div #v -0.00005", 0},
        {"set #v 7\n  div #v \"text\"", 0},
        {"set #v \"abc\"\n  add #v 2", 2},
        {"set #v 5\n  add #v \"x\"", 5},
        {"sub #v 2", -2},
        {"set #v 4\n  mul #v 3", 12},
        {"abs #v -3", 3},
        {"abs #v \"x\"", 0},
        {"sqrt #v 9", 3},
        {"sqrt #v -4", 0},
        {"sqrt #v \"x\"", 0},
        {"pow #v 2 10", 1024},
        {"pow #v -8 0.5", 0},
        {"pow #v \"x\" 2", 0},
        {"round #v 2.5", 3},
        {"round #v -2.5", -3},
        {"round #v 2.4999", 2},
        {"round #v \"x\"", 0},
        {"set_number #v \"-12.5kg\"", -12.5},
        {"set_number #v 3", 3},
        {"set_number #v #nothing", 0},
        {"str_cmp #v \"abc\" \"abd\"", -1},
        {"str_cmp #v \"b\" \"a\"", 1},
        {"str_cmp #v \"a\" \"a\"", 0},
        {"str_cmp #v 5 \"\"", 0},
        {"str_cmp #v \"\xc3\xa9\" \"a\"", 1}, // bytes compare unsigned
    };
    load(numberCasesScript(cases, std::size(cases)));
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_DOUBLE_EQ(number(("r" + std::to_string(i)).c_str()), cases[i].expected) << cases[i].statements;
    EXPECT_FALSE(traced("ERROR")) << traceText();
}

TEST_F(ScriptFixture, ResultsAreWrittenBackToEveryKindOfPlace) {
    ScriptElement* lamp = element("lamp");
    load("class box {\n  init {\n    set this.n 1\n    add this.n 2\n    set #from_this this.n\n  }\n}\n"
         "init {\n"
         "  set %l 1\n  add %l 2\n  set #local %l\n"
         "  set #arr[3] 1\n  add #arr[3] 2\n"
         "  set #arr[].tag 4\n  mul #arr[].tag 2\n"
         "  set $lamp.x 10\n  sub $lamp.x 3\n"
         "  new #b -box\n"
         "}\n");
    EXPECT_EQ(number("local"), 3);
    EXPECT_EQ(value("arr[]").as<ArrayObject>()->at(3)->number, 3);
    EXPECT_EQ(value("arr[]").as<ArrayObject>()->members.get(intern("tag"))->number, 8);
    Value x;
    lamp->getProperty(sym::x(), x);
    EXPECT_EQ(x.number, 7);
    EXPECT_EQ(number("from_this"), 3);
}

TEST_F(ScriptFixture, SineAndCosineComeFromTheTables) {
    struct Case {
        const char* statement;
        double expected;
    } cases[] = {
        {"sin #v 90", 1},
        {"sin #v -90", -1},
        {"cos #v 180", -1},
        {"cos #v 0", 1},
        // 30 degrees is step 5461.33: the table's step 5461, not sin 30.
        {"sin #v 30", sinTable[5461]},
        // Truncation toward zero, then wrapping: -5461 is step 60075.
        {"sin #v -30", sinTable[60075]},
        {"cos #v 420", cosTable[static_cast<int>(420 * 182.04445) & 65535]},
        {"sin #v -3600000", sinTable[static_cast<int64_t>(std::trunc(-3600000 * 182.04445)) & 65535]},
        {"sin #v \"x\"", 0},
        {"cos #v \"x\"", 1},
        {"cos #v #nothing", 1},
    };
    std::string body = "init {\n";
    for (size_t i = 0; i < std::size(cases); ++i) {
        std::string s = cases[i].statement;
        body += "  " + s.replace(s.find("#v"), 2, "#r" + std::to_string(i)) + "\n";
    }
    load(body + "}\n");
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_DOUBLE_EQ(number(("r" + std::to_string(i)).c_str()), cases[i].expected) << cases[i].statement;
    EXPECT_NE(number("r4"), 0.5);
    EXPECT_NEAR(number("r4"), 0.5, 1e-4);
}

TEST_F(ScriptFixture, AnglesAndDistancesFromElementsAndNumbers) {
    ScriptElement* a = element("a");
    ScriptElement* b = element("b");
    a->setProperty(sym::x(), Value::fromNumber(10));
    a->setProperty(sym::y(), Value::fromNumber(20));
    b->setProperty(sym::x(), Value::fromNumber(13));
    b->setProperty(sym::y(), Value::fromNumber(24));
    const double toDegrees = 180 / M_PI;
    const NumberCase cases[] = {
        {"get_angle #v 0 0 10 -10", 45},
        {"get_angle #v 0 0 -10 0", -180},
        {"get_angle #v 0 0 0 10", -90},
        {"get_angle #v 10 10", -45},
        {"get_angle #v $a $b", -std::atan2(4, 3) * toDegrees},
        {"get_angle #v $a 13 24", -std::atan2(4, 3) * toDegrees},
        {"get_angle #v 5", 0},
        {"get_angle #v", 0},
        {"get_distance #v 0 0 3 4", 5},
        {"get_distance #v 3 4", 5},
        {"get_distance #v $a $b", 5},
        {"get_distance #v $a 13 24", 5},
        {"get_distance #v 1 2 $b", std::sqrt(144.0 + 484.0)},
        {"get_distance #v $a $b $a", 5},     // a third element finds no room
        {"get_distance #v 10 $b", 0},        // three values
        {"get_distance #v 1 2 3 4 5", std::sqrt(8.0)},
        {"get_distance #v \"x\" 4", 4},      // a string counts as 0
        {"get_distance #v $a", std::sqrt(500.0)},
        {"get_distance #v 5", 0},
        {"get_distance #v", 0},
    };
    load(numberCasesScript(cases, std::size(cases)));
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_NEAR(number(("r" + std::to_string(i)).c_str()), cases[i].expected, 1e-9) << cases[i].statements;
}

TEST_F(ScriptFixture, TypeNames) {
    element("lamp");
    load("fun f {\n}\nclass c {\n  fun m {\n  }\n}\ntask t hand $lamp ? {\n}\non !s {\n}\n"
         "init {\n"
         "  set #arr[1] 1\n  new #inst -c\n"
         "  get_type #number 1\n  get_type #string \"x\"\n  get_type #element $lamp\n"
         "  get_type #scene #+\n  get_type #function &f\n  get_type #task @t\n  get_type #signal !s\n"
         "  get_type #array #arr[]\n  get_type #class -c\n  get_type #instance #inst\n"
         "  get_type #list #ALL#\n  get_type #ref #ALL#[1]\n"
         "  set #none_type 1\n  get_type #none_type #nothing\n"
         "  set #method_type 1\n  get_type #method_type #inst.m\n"
         "}\n");
    for (const char* type : {"number", "string", "element", "scene", "function", "task", "signal", "array", "class",
                             "instance"})
        EXPECT_EQ(text(type), type);
    EXPECT_EQ(text("list"), "array");
    EXPECT_EQ(text("ref"), "variable_ref");
    EXPECT_TRUE(value("none_type").isNone());
    EXPECT_TRUE(value("method_type").isNone());
}

TEST_F(ScriptFixture, SetStrJoinsTextForms) {
    element("lamp");
    load("fun f {\n}\n"
         "init {\n"
         "  set_str #s \"a\" 1.5 #nothing\n"
         "  set_str #numbers 7 2.004 -0.004 2.996\n"
         "  set_str #objects $lamp #+ &f #arr[]\n"
         "  set_str #quoted \"x y\"\n"
         "  set_str #empty\n"
         "  set #grow \"a\"\n  set_str #grow #grow \"b\"\n  set_str #grow #grow #grow\n"
         "}\n");
    EXPECT_EQ(text("s"), "a1.50");
    EXPECT_EQ(text("numbers"), "72-0.003.00");
    EXPECT_EQ(text("objects"), "$room:lamp+room&room:f#room:arr[]");
    EXPECT_EQ(text("quoted"), "x y");
    ASSERT_TRUE(value("empty").isString());
    EXPECT_EQ(text("empty"), "");
    EXPECT_EQ(text("grow"), "abab");
    // Built strings are interned: equal texts are the same symbol.
    EXPECT_EQ(value("quoted").symbol(), intern("x y"));
}

TEST_F(ScriptFixture, SetCharReplacesAppendsCutsOrLeavesAlone) {
    struct Case {
        const char* text;
        const char* position;
        const char* code;
        const char* expected;
    } cases[] = {
        {"abc", "4", "100", "abcd"}, // at the end: appended
        {"abc", "5", "100", "abc"},  // past it: unchanged
        {"abc", "0", "100", "abc"},
        {"abc", "1", "65", "Abc"},
        {"abc", "2.5", "100", "abd"}, // positions are rounded
        {"abc", "1.4", "120", "xbc"},
        {"abc", "3", "0", "ab"}, // code 0 cuts
        {"abc", "1", "0", ""},
        {"abc", "4", "0", "abc"},
        {"abc", "2", "256", "abc"},
        {"abc", "2", "-1", "abc"},
        {"abc", "\"x\"", "100", "abc"},
        {"", "1", "97", "a"},
    };
    std::string body = "init {\n";
    for (size_t i = 0; i < std::size(cases); ++i) {
        std::string name = "#c" + std::to_string(i);
        body += "  set " + name + " \"" + cases[i].text + "\"\n  set_char " + name + " " + cases[i].position + " " +
                cases[i].code + "\n";
    }
    body += "  set #n 5\n  set_char #n 1 65\n}\n";
    load(body);
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(text(("c" + std::to_string(i)).c_str()), cases[i].expected)
            << cases[i].text << " " << cases[i].position << " " << cases[i].code;
    EXPECT_EQ(number("n"), 5); // no string: nothing changes
}

TEST_F(ScriptFixture, SetCharWritesBackOnlyWhatItChanged) {
    load("fun past {\n  set_char #s 5 100\n}\nfun append {\n  set_char #s 4 100\n}\n"
         "init {\n  set #s \"abc\"\n}\n");
    system.heap.values.setAllUnchanged();
    call("past");
    EXPECT_TRUE(cell("s")->unchanged()); // not even rewritten with the same text
    call("append");
    EXPECT_FALSE(cell("s")->unchanged());
    EXPECT_EQ(text("s"), "abcd");
}

TEST_F(ScriptFixture, InArrayUsesTheEqualityRule) {
    element("lamp");
    const NumberCase cases[] = {
        {"in_array #v \"b\" #arr[]", 2},
        {"in_array #v \"B\" #arr[]", 0},     // texts are case-sensitive
        {"in_array #v 1.0004 #arr[]", 3},    // equal to 1 in 1/2048 steps
        {"in_array #v 2 #arr[]", 4},         // 2.0001 likewise
        {"in_array #v 1.001 #arr[]", 0},     // three steps away
        {"in_array #v $lamp #arr[]", 5},
        {"in_array #v \"z\" #arr[]", 0},
        {"in_array #v #nothing #arr[]", 0},  // none is never found
        {"in_array #v 0 #arr[]", 0},         // empty slots hold nothing
        {"in_array #v \"b\" 5", 0},          // no array
        {"in_array #v \"b\" \"b\"", 0},
        {"in_array #v 9 #arr[]", 9},         // after the empty slots
    };
    load("init {\n  set #arr[1] \"a\"\n  set #arr[2] \"b\"\n  set #arr[3] 1\n  set #arr[4] 2.0001\n"
         "  set #arr[5] $lamp\n  set #arr[6] \"b\"\n  set #arr[9] 9\n}\n" +
         numberCasesScript(cases, std::size(cases)));
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(number(("r" + std::to_string(i)).c_str()), cases[i].expected) << cases[i].statements;
}

TEST_F(ScriptFixture, RandomStateItemsAreRoundedAndTakenModulo65536) {
    // Every one of these states is the state 1 (item 1 lowest), whose step
    // gives 28 from 0 to 99 and the parts below.
    load("fun roll {\n  get_random #r 0 99 #state[]\n}\n");
    const char* states[][4] = {
        {"1", "0", "0", "0"},      {"65537", "0", "0", "0"}, {"-65535", "0", "0", "0"},
        {"1.4", "0", "0", "0"},    {"0.6", "65536", "0", "0"}, {"1", "\"x\"", "#nothing", "131072"},
    };
    const double parts[4] = {56605, 35180, 52811, 18404};
    ArrayObject* state = findVariable(scene.scope, KindPlain, intern("state[]"), nullptr, true)->as<ArrayObject>();
    for (const auto& items : states) {
        for (int i = 0; i < 4; ++i) {
            const std::string word = items[i];
            Value item = word == "#nothing" ? Value()
                         : word[0] == '"'   ? Value::fromSymbol(intern("x"))
                                            : Value::fromNumber(std::atof(word.c_str()));
            *state->slot(i + 1) = item;
        }
        call("roll");
        EXPECT_EQ(number("r"), 28) << items[0] << " " << items[1];
        for (int i = 0; i < 4; ++i) EXPECT_EQ(state->at(i + 1)->number, parts[i]) << items[0] << " part " << i;
    }
}

TEST_F(ScriptFixture, RandomStateArraysAreCreatedSeededAndReproducible) {
    load("fun roll {\n  get_random #r 1 6 #dice[]\n  set_str #seq #seq #r\n}\n"
         "fun narrow {\n  get_random #one 5 5\n  get_random #two 1.5 3.4\n}\n");
    Value* dice = findVariable(scene.scope, KindPlain, intern("dice[]"), nullptr, true);
    ArrayObject* state = dice->as<ArrayObject>();
    ASSERT_EQ(state->count(), 0);
    call("roll"); // an empty array is a zero state: seeded, then stored
    ASSERT_EQ(state->count(), 4);
    double saved[4];
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(state->at(i + 1)->isNumber());
        saved[i] = state->at(i + 1)->number;
    }
    for (int i = 0; i < 20; ++i) call("roll");
    const std::string first = text("seq").substr(1);
    for (char c : first) EXPECT_TRUE(c >= '1' && c <= '6') << first;
    for (int i = 0; i < 4; ++i) *state->at(i + 1) = Value::fromNumber(saved[i]);
    *cell("seq") = Value();
    for (int i = 0; i < 20; ++i) call("roll");
    EXPECT_EQ(text("seq"), first);

    for (int i = 0; i < 50; ++i) {
        call("narrow");
        EXPECT_EQ(number("one"), 5);
        EXPECT_TRUE(number("two") == 2 || number("two") == 3) << number("two"); // bounds are rounded
    }
}

TEST_F(ScriptFixture, LocalTimeTextsAreClampedAndNormalised) {
    TimeZone zone("UTC");
    struct Case {
        const char* given;
        const char* expected;
    } cases[] = {
        {"2024:02:30:10:05:07", "2024:03:01:10:05:07+0"},
        {"2023:02:29:00:00:00", "2023:03:01:00:00:00+0"},
        {"2024:12:31:23:59:59", "2024:12:31:23:59:59+0"},
        {"3:4", "1900:01:01:00:03:04+0"},            // missing leading fields are 0
        {"", "1900:01:01:00:00:00+0"},
        {"1800:13:00:25:61:-5", "1900:12:01:23:59:00+0"},
        {"3000:12:31:23:59:59", "2999:12:31:23:59:59+0"},
        {"-2024:06:15:12:00:00", "1900:06:15:12:00:00+0"},
        {"2024:1x:05", "1900:01:01:23:01:05+0"},     // 2024 lands in the hour
        {"2024:06:15:12:00:0099999999", "2024:06:15:12:00:59+0"},
    };
    std::string body = "init {\n";
    for (size_t i = 0; i < std::size(cases); ++i)
        body += "  get_local_time #t" + std::to_string(i) + " \"" + cases[i].given + "\"\n";
    load(body + "  get_local_time #number 5\n}\n");
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(text(("t" + std::to_string(i)).c_str()), cases[i].expected) << cases[i].given;
    EXPECT_EQ(text("number").size(), 21u); // not a text: the current time
}

TEST_F(ScriptFixture, LocalTimeReportsDaylightSaving) {
    // Central European time without the zone database.
    TimeZone zone("CET-1CEST,M3.5.0,M10.5.0/3");
    load("init {\n"
         "  get_local_time #winter \"2024:01:15:12:00:00\"\n"
         "  get_local_time #summer \"2024:07:01:12:00:00\"\n"
         "}\n");
    EXPECT_EQ(text("winter"), "2024:01:15:12:00:00+0");
    // The fields are taken as standard time: noon standard is 13:00 summer time.
    EXPECT_EQ(text("summer"), "2024:07:01:13:00:00+1");
}

TEST_F(ScriptFixture, LocalTimeNowIsTheClock) {
    TimeZone zone("UTC");
    load("fun now {\n  get_local_time #now\n}\n");
    auto expected = [] {
        std::time_t clock = std::time(nullptr);
        std::tm t{};
        gmtime_r(&clock, &t);
        char text[32];
        std::strftime(text, sizeof text, "%Y:%m:%d:%H:%M:%S+0", &t);
        return std::string(text);
    };
    std::string before = expected();
    call("now");
    std::string after = expected();
    EXPECT_TRUE(text("now") == before || text("now") == after) << text("now") << " " << before;
}

TEST_F(ScriptFixture, NewMakesArraysAndClassInstances) {
    load("class point {\n"
         "  init {\n    set this.x %x\n    set this.y %y\n    set #seen_this this\n  }\n"
         "  fun length {\n    get_distance #length this.x this.y\n  }\n"
         "}\n"
         "class bare {\n}\n"
         "init {\n"
         "  new #a[] []\n  new #b []\n  set #a[1] 5\n  set #a_count #a[].count\n  set #b_count #b.count\n"
         "  set #a_name #a[].name\n  set #b_name #b.name\n"
         "  new #p -point 3 4\n  call #p.length\n"
         "  new #half -point 1\n"
         "  new #plain -bare\n"
         "  set_str #after #+ this\n"
         "  set #not_made 1\n  new #not_made 5\n"
         "  set #not_text 1\n  new #not_text \"x\"\n"
         "}\n");
    EXPECT_EQ(number("a_count"), 1);
    EXPECT_EQ(number("b_count"), 0);
    EXPECT_NE(text("a_name"), text("b_name"));
    EXPECT_EQ(text("a_name").substr(0, 5), "ARRAY");
    ArrayObject* a = value("a[]").as<ArrayObject>(); // the variable's cell now holds the new array
    EXPECT_EQ(a->owner, &system.global());
    EXPECT_TRUE(a->anonymous());
    EXPECT_EQ(number("length"), 5);
    EXPECT_EQ(valueText(value("seen_this")), "{room:point}");
    ScriptInstance* half = value("half").as<ScriptInstance>();
    EXPECT_EQ(half->members.get(intern("x"))->number, 1);
    EXPECT_TRUE(half->members.get(intern("y"))->isNone()); // missing arguments are none
    EXPECT_TRUE(value("plain").is(ValueType::Instance));
    EXPECT_EQ(text("after"), "+room"); // the constructor's this is gone again
    EXPECT_TRUE(value("not_made").isNone());
    EXPECT_TRUE(value("not_text").isNone());
}

TEST_F(ScriptFixture, AClassMakingItselfInItsInitStops) {
    load("class loop {\n  init {\n    add #made 1\n    new #inner -loop\n  }\n}\n"
         "init {\n  new #outer -loop\n  set #after 1\n}\n");
    EXPECT_TRUE(traced("STACK OVERFLOW")) << traceText();
    EXPECT_EQ(number("made"), kMaxCallDepth);
    EXPECT_EQ(number("after"), 1);
    EXPECT_TRUE(value("outer").is(ValueType::Instance));
    EXPECT_EQ(system.top, 0);
}

TEST_F(ScriptFixture, NewTaskInstanceForAnElement) {
    element("door");
    element("gate");
    load("task open hand $door ? {\n}\n"
         "init {\n  new #i @open $gate\n  set_str #bound #i.element\n  new #none @open 5\n}\n");
    ASSERT_TRUE(value("i").is(ValueType::Task)) << traceText();
    EXPECT_TRUE(value("i").as<ScriptTask>()->runtimeInstance);
    EXPECT_EQ(text("bound"), "$room:gate");
    EXPECT_TRUE(value("none").isNone());
}

TEST_F(ScriptFixture, ResetObjectClearsNamedMembersOnly) {
    ScriptElement* lamp = element("lamp");
    load("init {\n"
         "  set #arr[1] 7\n  set #arr[].tag 1\n  set #arr[].label \"x\"\n"
         "  set $lamp.lit 1\n"
         "  reset_object #arr[]\n  reset_object $lamp\n  reset_object 5\n"
         "  clear 5\n"
         "}\n");
    ArrayObject* arr = value("arr[]").as<ArrayObject>();
    EXPECT_EQ(arr->at(1)->number, 7);
    ASSERT_NE(arr->members.get(intern("tag")), nullptr);
    EXPECT_TRUE(arr->members.get(intern("tag"))->isNone());
    EXPECT_TRUE(arr->members.get(intern("label"))->isNone());
    Value lit;
    EXPECT_TRUE(lamp->getProperty(intern("lit"), lit));
    EXPECT_TRUE(lit.isNone());
}

namespace {

std::vector<std::string> printed;
void collectPrint(const char* text) { printed.push_back(text); }

} // namespace

TEST_F(ScriptFixture, ErrorAndPrintJoinTextFormsWithSpaces) {
    printed.clear();
    system.printOutput = collectPrint;
    load("fun speak {\n  print \"again\"\n}\n"
         "init {\n  print \"hello\" 1 2.5 #nothing\n  print\n  error \"bad\" #nothing 3\n  clear_console\n}\n");
    ASSERT_EQ(printed.size(), 2u);
    EXPECT_EQ(printed[0], "hello 1 2.50 ?");
    EXPECT_EQ(printed[1], "");
    EXPECT_TRUE(traced("ERROR in script room: bad ? 3")) << traceText();
    system.printOutput = nullptr;
    call("speak"); // nowhere to print: nothing happens
    EXPECT_EQ(printed.size(), 2u);
}
