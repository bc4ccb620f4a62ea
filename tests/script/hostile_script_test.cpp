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
