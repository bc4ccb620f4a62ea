#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "script/collector.h"
#include "script/pool.h"
#include "script/script_error.h"
#include "script/script_system.h"
#include "trace_capture.h"

using namespace glint;
using glint::test::TraceCapture;

namespace {

std::string text(const Value& v) { return valueText(v); }

struct ScopeFixture : ::testing::Test {
    ScriptSystem system;
    ScriptScene scene{intern("library")};
    Scope& scope = scene.scope;

    ScopeFixture() { setScriptErrorScope(&scope); }
    ~ScopeFixture() override { setScriptErrorScope(nullptr); }

    Value* var(int kind, const char* name, bool create = true, Value* initial = nullptr) {
        return findVariable(scope, kind, intern(name), initial, create);
    }
};

} // namespace

TEST(FormatValue, Numbers) {
    struct Case {
        double x;
        const char* text;
    } cases[] = {
        {7, "7"},       {7.5, "7.50"},  {2.004, "2"},      {2.996, "3.00"}, {-0.004, "-0.00"},
        {2.5, "2.50"},  {-1.5, "-1.50"}, {3.0, "3"},       {-7, "-7"},      {0, "0"},
        {1e10, "10000000000"}, {0.25, "0.25"},
    };
    for (const Case& c : cases) EXPECT_EQ(text(Value::fromNumber(c.x)), c.text) << c.x;
}

TEST(FormatValue, OtherTypesAndAppending) {
    ScriptSystem system;
    EXPECT_EQ(text(Value()), "?");
    EXPECT_EQ(text(Value::fromSymbol(intern("a b \"c\""))), "a b \"c\"");
    Value n = Value::fromNumber(3);
    Value ref = Value::fromPointer(ValueType::Reference, &n);
    EXPECT_EQ(text(ref), "3");
    EXPECT_EQ(text(Value::fromPointer(ValueType::Block, &n)), "");

    ScriptScene scene(intern("hall"));
    ScriptElement lamp(intern("lamp"), &scene);
    ScriptItem key(intern("key"));
    EXPECT_EQ(text(Value::fromPointer(ValueType::Element, static_cast<ScriptElement*>(&lamp))), "$hall:lamp");
    EXPECT_EQ(text(Value::fromPointer(ValueType::Scene, &scene)), "+hall");
    EXPECT_EQ(text(Value::fromPointer(ValueType::Item, &key)), "^key");
    Value* task = findVariable(scene.scope, KindTask, intern("open_door"), nullptr, true);
    EXPECT_EQ(text(*task), "@hall:open_door");
    Value* arr = findVariable(scene.scope, KindElement, intern("books[]"), nullptr, true);
    EXPECT_EQ(text(*arr), "$hall:books[]");

    char buffer[8] = "ab";
    formatValue(Value::fromSymbol(intern("cdefghijk")), buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "abcdefg"); // cut to the capacity
}

TEST(TextToNumber, Forms) {
    EXPECT_DOUBLE_EQ(textToNumber("12.5xyz"), 12.5);
    EXPECT_DOUBLE_EQ(textToNumber("-3"), -3);
    EXPECT_DOUBLE_EQ(textToNumber(""), 0);
    EXPECT_DOUBLE_EQ(textToNumber("abc"), 0);
    EXPECT_DOUBLE_EQ(textToNumber("1.2.3"), 1.2);
}

TEST(ValueCell, CopiesDropFlags) {
    Value a = Value::fromNumber(1);
    a.typeWord |= kValueUnchanged | kValueMarked;
    Value b = a;
    EXPECT_FALSE(b.unchanged());
    EXPECT_FALSE(b.marked());
    EXPECT_EQ(b.type(), ValueType::Number);
    EXPECT_EQ(sizeof(Value), 16u);
}

TEST(VariableKinds, Prefixes) {
    const char* prefixes = "#$~+^&@!*-";
    for (int kind = 0; kind < kVariableKinds; ++kind) {
        EXPECT_EQ(kindOfPrefix(prefixes[kind]), kind);
        EXPECT_EQ(prefixOfKind(kind), prefixes[kind]);
    }
    EXPECT_EQ(kindOfPrefix('a'), KindNone);
    EXPECT_EQ(kindOfPrefix(0), KindNone);
    EXPECT_EQ(kindOfType(ValueType::Sound), KindSound);
    EXPECT_EQ(kindOfType(ValueType::Array), KindNone);
}

TEST_F(ScopeFixture, PlainVariablesAreFoundByKindAndCreatedOnDemand) {
    EXPECT_EQ(var(KindPlain, "x", false), nullptr);
    Value* x = var(KindPlain, "x");
    ASSERT_NE(x, nullptr);
    EXPECT_TRUE(x->isNone());
    EXPECT_EQ(var(KindPlain, "x"), x);
    EXPECT_NE(var(KindElement, "x"), x); // every kind has its own list
    Value own = Value::fromNumber(5);
    EXPECT_EQ(declareVariable(scope, KindPlain, "engine_cell", &own), &own);
    EXPECT_EQ(var(KindPlain, "engine_cell"), &own);
}

TEST_F(ScopeFixture, ArrayElementNamesLiveInTheirArray) {
    Value* slot5 = var(KindPlain, "foo_5");
    Value* array = var(KindPlain, "foo[]", false);
    ASSERT_NE(array, nullptr);
    ASSERT_TRUE(array->is(ValueType::Array));
    ArrayObject* foo = array->as<ArrayObject>();
    EXPECT_EQ(foo->count(), 5);
    EXPECT_EQ(foo->at(5), slot5);
    EXPECT_EQ(foo->at(-1), slot5);
    EXPECT_EQ(foo->at(1), nullptr);
    EXPECT_EQ(foo->rowWidth, 10);
    EXPECT_EQ(var(KindPlain, "foo_5"), slot5);
    // Plain names never match array entries and the other way round.
    EXPECT_NE(var(KindPlain, "foo"), array);
    // book_0, book_ and book_3a are ordinary variables.
    for (const char* plain : {"book_0", "book_", "book_3a"}) {
        var(KindPlain, plain);
        EXPECT_EQ(var(KindPlain, "book[]", false), nullptr) << plain;
    }
}

TEST_F(ScopeFixture, DuplicateArraySlotIsReportedAndTheFirstWins) {
    TraceCapture trace;
    ScriptElement a(intern("book_3"), &scene), b(intern("other"), &scene);
    Value* first = scriptHeap().newCell(Value::fromPointer(ValueType::Element, static_cast<ScriptElement*>(&a)));
    Value* second = scriptHeap().newCell(Value::fromPointer(ValueType::Element, static_cast<ScriptElement*>(&b)));
    EXPECT_EQ(var(KindElement, "book_3", true, first), first);
    ArrayObject* books = var(KindElement, "book[]")->as<ArrayObject>();
    EXPECT_EQ(a.holderArray, books);
    EXPECT_EQ(var(KindElement, "book_3", true, second), first);
    EXPECT_TRUE(trace.contains("ERROR in script library: Duplicate variable in array $library:book[] at index 3"));
    EXPECT_STREQ(lastScriptError(), "ERROR in script library");
    EXPECT_EQ(b.holderArray, nullptr);
}

TEST_F(ScopeFixture, AllViewsAndAllArrays) {
    var(KindTask, "t1");
    var(KindTask, "t2");
    Value* view = var(KindPlain, "ALL@");
    ASSERT_TRUE(view->is(ValueType::VariableList));
    EXPECT_EQ(view->as<VariableList>()->size(), 2u);
    EXPECT_EQ(view, scope.allView(KindTask));
    EXPECT_NE(var(KindElement, "ALL@"), view); // only kind 0 has views

    Value* lamps = var(KindElement, "lamp_ALL[]", false);
    ASSERT_NE(lamps, nullptr); // created even without create
    EXPECT_EQ(scope.allArrays().size(), 1u);
    EXPECT_EQ(scope.findArray(KindElement, intern("lamp_ALL[]")), nullptr);
    EXPECT_EQ(var(KindElement, "lamp_ALL[]"), lamps);
}

TEST_F(ScopeFixture, ElementVariablesJoinTheirAllArray) {
    ScriptElement lamp2(intern("lamp_2"), &scene), lamp7(intern("lamp_big_7"), &scene), plain(intern("chair"), &scene);
    for (ScriptElement* e : {&lamp2, &lamp7, &plain})
        declareElementVariable(scope, e->name, scriptHeap().newCell(Value::fromPointer(ValueType::Element, e)));
    ArrayObject* lamps = var(KindElement, "lamp_ALL[]")->as<ArrayObject>();
    ASSERT_EQ(lamps->count(), 2);
    EXPECT_EQ(lamps->at(2)->as<ScriptElement>(), &lamp7);
    EXPECT_EQ(scope.allArrays().size(), 1u);
    EXPECT_EQ(var(KindElement, "lamp[]", false)->as<ArrayObject>()->at(2), lamps->at(1)); // lamp_2 is also lamp[2]
}

TEST_F(ScopeFixture, ObjectsOnFirstMentionFollowTheStartedFlag) {
    Value* f = var(KindFunction, "f");
    ASSERT_TRUE(f->is(ValueType::Function));
    EXPECT_EQ(f->as<ScriptFunction>()->scope, &scope);
    EXPECT_EQ(scope.functions.size(), 1u);
    EXPECT_TRUE(var(KindSignal, "s")->is(ValueType::Signal));
    EXPECT_TRUE(var(KindClass, "c")->is(ValueType::Class));
    scriptHeap().engineStarted = true;
    EXPECT_TRUE(var(KindTask, "late")->isNone());
    scriptHeap().compilingRuntimeInstance = true;
    EXPECT_TRUE(var(KindTask, "instance_var")->is(ValueType::Task));
}

TEST(Pools, ObjectsNeverMoveAndFreedSlotsAreReusedFirst) {
    ScriptSystem system;
    ScriptHeap& heap = system.heap;
    std::vector<Value*> cells;
    for (int i = 0; i < 10000; ++i) cells.push_back(heap.newCell(Value::fromNumber(i)));
    for (int i = 0; i < 10000; ++i) ASSERT_EQ(cells[i]->number, i); // growth moved nothing
    heap.values.release(cells[42]);
    EXPECT_EQ(heap.newCell(), cells[42]);

    PropertyList list;
    list.set(intern("a"), Value::fromNumber(1));
    Value* b = list.getOrCreate(intern("b"));
    EXPECT_TRUE(b->isNone());
    EXPECT_EQ(list.get(intern("a"))->number, 1);
    EXPECT_EQ(list.getOrCreate(intern("b")), b);
    EXPECT_EQ(list.first()->key, intern("a")); // appended in order
    size_t live = heap.nodes.liveCount();
    list.clear();
    EXPECT_EQ(heap.nodes.liveCount(), live - 2);
}

// Slots of a block are handed out one by one: the walks over a pool (marks,
// release, baseline) see the slots handed out and never the rest of the
// last block, whatever its memory holds.
TEST(Pools, WalksSeeOnlySlotsHandedOut) {
    struct Counted {
        int id = 0;
        explicit Counted(int i) : id(i) {}
    };
    ObjectPool<Counted, 8> pool;
    std::vector<Counted*> made;
    for (int i = 0; i < 11; ++i) made.push_back(pool.create(i)); // one block and three slots
    pool.release(made[9]);
    EXPECT_EQ(pool.create(99), made[9]); // released first, before an untouched slot
    EXPECT_EQ(pool.capacity(), 16u);

    std::vector<int> seen;
    pool.forEachLive([&](Counted* c) { seen.push_back(c->id); });
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 99, 10}));

    pool.clearMarks();
    ObjectPool<Counted, 8>::mark(made[0]);
    ObjectPool<Counted, 8>::mark(made[10]);
    EXPECT_EQ(pool.releaseUnmarked(), 9u);
    EXPECT_EQ(pool.liveCount(), 2u);
    Counted* next = pool.create(12);
    EXPECT_TRUE(next != made[0] && next != made[10]);
    EXPECT_EQ(next->id, 12);
}

TEST(Collector, KeepsWhatRootsReachAndReleasesTheRest) {
    ScriptSystem system;
    ScriptHeap& heap = system.heap;
    ScriptScene scene(intern("gc_scene"));
    system.addScene(&scene);
    Scope& scope = scene.scope;

    // Reachable: an array variable holding a nested anonymous array.
    Value* outer = findVariable(scope, KindPlain, intern("outer[]"), nullptr, true);
    ArrayObject* inner = heap.arrays.create(intern("ARRAY000000001[]"), &scope, ArrayObject::kAnonymous);
    Value* innerCell = outer->as<ArrayObject>()->slot(1);
    *innerCell = Value::fromPointer(ValueType::Array, inner);
    Value* deep = inner->slot(2);
    *deep = Value::fromNumber(9);
    inner->members.set(intern("tag"), Value::fromNumber(1));
    // Unreachable: a cell and an array nobody holds.
    Value* lost = heap.newCell(Value::fromNumber(1));
    ArrayObject* lostArray = heap.arrays.create(intern("lost[]"), &scope, 0);
    lostArray->members.set(intern("m"), Value::fromNumber(2));

    size_t cellsBefore = heap.values.liveCount();
    Collector collector(heap);
    collector.clearMarks();
    collector.markSystem(system);
    size_t released = collector.releaseUnmarked();
    EXPECT_EQ(released, 3u); // the cell, the array and its member node
    EXPECT_EQ(heap.values.liveCount(), cellsBefore - 1);
    EXPECT_EQ(deep->number, 9);
    EXPECT_EQ(inner->members.get(intern("tag"))->number, 1);
    EXPECT_EQ(heap.newCell(), lost); // the released cell is handed out again

    // A second collection with nothing new releases nothing but that cell.
    collector.clearMarks();
    collector.markSystem(system);
    EXPECT_EQ(collector.releaseUnmarked(), 1u);
}

TEST(Collector, CyclesAndHostObjectsTerminate) {
    ScriptSystem system;
    ScriptHeap& heap = system.heap;
    ScriptScene scene(intern("cycle"));
    system.addScene(&scene);
    ScriptElement lamp(intern("lamp"), &scene);
    Value* a = findVariable(scene.scope, KindPlain, intern("a[]"), nullptr, true);
    ArrayObject* array = a->as<ArrayObject>();
    *array->slot(1) = *a; // the array holds itself
    lamp.members.set(intern("self"), Value::fromPointer(ValueType::Element, static_cast<ScriptElement*>(&lamp)));
    array->members.set(intern("lamp"), Value::fromPointer(ValueType::Element, static_cast<ScriptElement*>(&lamp)));
    Collector collector(heap);
    collector.clearMarks();
    collector.markSystem(system);
    EXPECT_EQ(collector.releaseUnmarked(), 0u);
    EXPECT_NE(lamp.members.get(intern("self")), nullptr);
}

TEST(Collector, CellsOutsideThePoolsAreTraversedEveryTime) {
    ScriptSystem system;
    ScriptHeap& heap = system.heap;
    Value engineCell; // an engine field bound to a global variable
    declareVariable(system.global(), KindPlain, "Engine_list", &engineCell);
    ArrayObject* list = heap.arrays.create(intern("ARRAY000000007[]"), &system.global(), ArrayObject::kAnonymous);
    engineCell = Value::fromPointer(ValueType::Array, list);
    *list->slot(1) = Value::fromNumber(3);
    Collector collector(heap);
    for (int round = 0; round < 2; ++round) {
        collector.clearMarks();
        collector.markSystem(system);
        EXPECT_EQ(collector.releaseUnmarked(), 0u) << round;
        EXPECT_FALSE(engineCell.marked());
    }
    EXPECT_EQ(list->at(1)->number, 3);
}

TEST(Pools, BaselineMarksCellsUnchangedUntilAStore) {
    ScriptSystem system;
    Value* kept = system.heap.newCell(Value::fromNumber(1));
    Value* stored = system.heap.newCell(Value::fromNumber(1));
    system.heap.values.setAllUnchanged();
    EXPECT_TRUE(kept->unchanged());
    *stored = Value::fromNumber(2);
    EXPECT_TRUE(kept->unchanged());
    EXPECT_FALSE(stored->unchanged());
    Value copy = *kept; // reads carry no flags either
    EXPECT_FALSE(copy.unchanged());
}
