// Scripts are data that authors edit and players can swap: whatever they
// do to arrays, objects and the call depth, the player keeps its memory
// sound and goes on.
#include "script/collector.h"
#include "script_fixture.h"

using namespace glint;
using glint::test::ScriptFixture;

namespace {

void collect(ScriptSystem& system) {
    Collector collector(system.heap);
    collector.clearMarks();
    collector.markSystem(system);
    collector.releaseUnmarked();
}

} // namespace

// A compiled #book_3 points straight at the slot's cell; once the array
// lets go of it, the collector must not hand the cell out again while the
// statement can still write through it.
TEST_F(ScriptFixture, SlotWordsOutliveTheirArraysSlots) {
    load("fun wipe {\n  clear #book[]\n}\n"
         "fun shrink {\n  set #shelf[].count 1\n}\n"
         "fun fill {\n  set #book_3 5\n  set #shelf_2 6\n}\n"
         "fun peek {\n  set #seen #book_3\n}\n"
         "fun churn {\n  for %i 1 20000 {\n    set #junk[%i] %i\n  }\n}\n"
         "init {\n  set #book[3] 1\n  set #shelf[2] 1\n}\n");
    call("wipe");
    call("shrink");
    collect(system);
    call("fill");
    call("churn");
    Value junk = readCell(Value::fromPointer(ValueType::Reference, cell("junk[]")));
    ASSERT_TRUE(junk.is(ValueType::Array));
    EXPECT_EQ(junk.as<ArrayObject>()->count(), 20000);
    for (int i : {1, 4096, 20000}) {
        Value* slot = junk.as<ArrayObject>()->at(i);
        ASSERT_NE(slot, nullptr);
        EXPECT_EQ(slot->number, i);
    }
    call("peek");
    EXPECT_EQ(number("seen"), 5);
}

// Handlers that make task instances with new while a pass walks the
// instances of the same task: the link-time init pass, the task pass and
// the hover pass.
TEST_F(ScriptFixture, PassesOverInstancesSurviveNewInstances) {
    element("lamp_1");
    element("lamp_2");
    element("spare");
    load("fun breed {\n  for %i 1 40 {\n    new %t @light $spare\n  }\n}\n"
         "action light hand $lamp_ALL[] ? {\n"
         "  init {\n    add #inits 1\n    call &breed\n  }\n"
         "  do {\n    add #clicks 1\n    call &breed\n  }\n"
         "  fun .on_hover_begin {\n    add #hovers 1\n  }\n"
         "  fun .on_hover_end {\n    add #hover_ends 1\n    call &breed\n  }\n"
         "}\n"
         "init {\n  enable @light\n}\n");
    EXPECT_EQ(number("inits"), 2);
    ScriptElement* lamp = findVariable(scene.scope, KindElement, intern("lamp_1"), nullptr, false)->as<ScriptElement>();
    system.pointer.clicked = lamp;
    update();
    system.pointer.clicked = nullptr;
    EXPECT_EQ(number("clicks"), 1);
    system.pointer.hovered = lamp;
    update();
    system.pointer.hovered = nullptr;
    update();
    EXPECT_EQ(number("hover_ends"), 1);
    EXPECT_EQ(task("light")->instances->count(), 2 + 4 * 40);
}

// Signal handlers run like calls: a signal raising itself, or a function
// and a signal raising each other, stop at the call cap with the usual
// report instead of exhausting the native stack.
TEST_F(ScriptFixture, SignalRecursionStopsAtTheCallCap) {
    load("on !echo {\n  add #echoes 1\n  call !echo\n}\n"
         "on !ping {\n  add #pings 1\n  call &pong\n}\n"
         "fun pong {\n  call !ping\n}\n"
         "fun start {\n  call !echo\n  call !ping\n  set #after 1\n}\n");
    call("start");
    EXPECT_EQ(number("echoes"), 64); // below start: 65 levels, as for functions
    EXPECT_EQ(number("pings"), 32);
    EXPECT_EQ(number("after"), 1);
    EXPECT_GE(tracedCount("STACK OVERFLOW"), 2) << traceText();
}

// Sizes beyond the documented array limit are refused with a script error
// and the script goes on; index arithmetic never overflows.
TEST_F(ScriptFixture, ArraySizesAboveTheLimitAreRefused) {
    load("fun grow {\n"
         "  set #a[2000000000] 1\n"
         "  set #b[].count 1000000000\n"
         "  set #c[].count 99999999999\n"
         "  set #x_2000000000 1\n"
         "  set #m[2000000000,5] 1\n"
         "  set #n[-2000000000,-2000000000] 1\n"
         "  set #a[1000000] 7\n"
         "  set #after #a[1000000]\n"
         "}\n");
    call("grow");
    EXPECT_EQ(number("after"), 7);
    for (const char* name : {"b[]", "c[]", "m[]", "n[]"}) {
        Value* array = cell(name);
        ASSERT_TRUE(array && array->is(ValueType::Array)) << name;
        EXPECT_EQ(array->as<ArrayObject>()->count(), 0) << name;
    }
    EXPECT_EQ(cell("a[]")->as<ArrayObject>()->count(), 1000000);
    EXPECT_EQ(tracedCount("at most 1000000"), 5) << traceText();
}

// A command word longer than an argument buffer is an invalid command, not
// a copy past the buffer.
TEST_F(ScriptFixture, OverlongCommandWordsAreInvalidCommands) {
    const std::string word(65000, 'w');
    load("fun f {\n  " + word + " 1\n  set #after 1\n}\n");
    call("f");
    EXPECT_EQ(number("after"), 1);
    EXPECT_EQ(tracedCount("Invalid command - www"), 1);
}

// With the collector off nothing reclaims records: reading a method value
// over and over must not take a new one each time.
TEST_F(ScriptFixture, MethodReadsReuseTheirRecord) {
    load("class lamp {\n  fun on {\n    add #lit 1\n  }\n  fun off {\n  }\n}\n"
         "fun spin {\n  new %l -lamp\n  set %m 0\n  for %i 1 10000 {\n    set %m %l.on\n    set %n %l.off\n    call %m\n  }\n"
         "  set #same 0\n  if %l.on = %m {\n    set #same 1\n  }\n}\n");
    call("spin");
    EXPECT_EQ(number("lit"), 10000);
    EXPECT_EQ(number("same"), 1) << "a method read again is the same value";
    EXPECT_LE(system.heap.methods.liveCount(), 2u);
}
