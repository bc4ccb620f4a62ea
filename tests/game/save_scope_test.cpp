// The script scope of a saved game: what is written (changed variables
// with saved names, changed tasks, counting signals, pending calls), what
// reading restores, and the profile information's key lookup.
#include "script/script_fixture.h"

#include "game/save_state.h"
#include "game/save_values.h"
#include "script/array_object.h"
#include "script/heap.h"

using namespace glint;
using namespace glint::test;

namespace {

struct SaveScopeTest : ScriptFixture {
    void SetUp() override {
        load("fun later %n {\n  set #late %n\n}\n"
             "on !ring {\n  add #rung 1\n}\n"
             "task look hand ? ? {\n}\n"
             "task other hand ? ? {\n}\n"
             "class lamp {\n  fun on {\n  }\n}\n"
             "fun arm {\n  new #lamp -lamp\n  set #lamp.next #lamp.on\n  set #hook #lamp.on\n"
             "  set #items[2] #lamp.on\n  call_fx 3 &later #lamp.on\n  set #score 5\n}\n"
             "init {\n  set #score 1\n  set #Score 1\n  set #same 4\n  set #items[1] 1\n}\n");
        baseline();
    }
    // What loading leaves: everything unchanged, tasks at their states.
    void baseline() {
        for (ScriptTask* task : scene.scope.tasks) {
            task->baselineState = task->state;
            task->baselineBlocker = task->blocker;
        }
        scriptHeap().values.setAllUnchanged();
        scriptHeap().nodes.forEachLive([](PropertyNode* node) { node->value.typeWord |= kValueUnchanged; });
    }
    std::vector<uint8_t> write(bool info = false) {
        SaveStream s;
        EXPECT_TRUE(s.beginWrite("", 114));
        EXPECT_TRUE(info ? variableSection(s, &system.global(), true, false) : scopeRecord(s, &scene.scope));
        EXPECT_TRUE(s.checkpoint());
        return s.bytes();
    }
    void read(const std::vector<uint8_t>& bytes, bool probe = false) {
        SaveStream s;
        ASSERT_EQ(s.openBytes(bytes), kSaveOpened);
        s.probe = probe;
        ASSERT_TRUE(scopeRecord(s, &scene.scope));
        ASSERT_TRUE(s.checkpoint());
        ASSERT_EQ(static_cast<size_t>(s.position()), s.size());
    }
};

TEST_F(SaveScopeTest, ChangesSinceTheBaselineComeBackAndNothingElse) {
    *cell("score") = Value::fromNumber(9);
    *cell("Score") = Value::fromNumber(9);
    *findVariable(scene.scope, KindPlain, intern("fresh"), nullptr, true) = Value::fromSymbol(intern("new"));
    findVariable(scene.scope, KindPlain, intern("items[]"), nullptr, false)->as<ArrayObject>()->slot(3)[0] =
        Value::fromNumber(5);
    ScriptTask* look = task("look");
    ScriptTask* other = task("other");
    look->state = TaskCompleted;
    look->blocker = other;
    look->members.set(intern("tries"), Value::fromNumber(2));
    ScriptSignal* ring = cell("ring", KindSignal)->as<ScriptSignal>();
    ring->countdown = 250;
    addDelayedCall(scene.scope, 300, *cell("later", KindFunction), std::vector<Value>{Value::fromNumber(7)}.data(),
                   1);
    std::vector<uint8_t> bytes = write();

    // Probing reads it all and changes nothing.
    read(bytes, true);
    EXPECT_EQ(scene.scope.delayedCalls.size(), 1u);

    // Back to the baseline, then the saved changes are read.
    *cell("score") = Value::fromNumber(1);
    *cell("Score") = Value::fromNumber(1);
    *cell("fresh") = Value();
    findVariable(scene.scope, KindPlain, intern("items[]"), nullptr, false)->as<ArrayObject>()->resize(1);
    look->state = TaskDisabled;
    look->blocker = nullptr;
    look->members.set(intern("tries"), Value());
    ring->countdown = 0;
    scene.scope.delayedCalls.clear();
    read(bytes);

    EXPECT_EQ(number("score"), 9);
    EXPECT_EQ(number("Score"), 1) << "names beginning with a capital are never saved";
    EXPECT_EQ(text("fresh"), "new");
    ArrayObject* items = findVariable(scene.scope, KindPlain, intern("items[]"), nullptr, false)->as<ArrayObject>();
    ASSERT_EQ(items->count(), 3);
    EXPECT_EQ(items->at(3)->number, 5);
    EXPECT_EQ(look->state, TaskCompleted);
    EXPECT_EQ(look->blocker, other);
    EXPECT_EQ(look->members.get(intern("tries"))->number, 2);
    EXPECT_EQ(other->state, other->baselineState);
    EXPECT_EQ(ring->countdown, 250);
    ASSERT_EQ(scene.scope.delayedCalls.size(), 1u);
    DelayedCall* call = scene.scope.delayedCalls[0];
    EXPECT_EQ(call->remaining, 300);
    EXPECT_EQ(call->target.pointer, cell("later", KindFunction)->pointer);
    ASSERT_EQ(call->arguments.size(), 1u);
    EXPECT_EQ(call->arguments[0].number, 7);
}

// A method belongs to one instance of one run: the save leaves it out
// (counted for its log line) instead of failing, and keeps the rest.
TEST_F(SaveScopeTest, MethodValuesAreLeftOutAndTheRestIsSaved) {
    call("arm");
    SaveStream s;
    ASSERT_TRUE(s.beginWrite("", 114));
    ASSERT_TRUE(scopeRecord(s, &scene.scope));
    ASSERT_TRUE(s.checkpoint());
    EXPECT_EQ(s.methodValuesLeftOut, 4);
    EXPECT_FALSE(s.firstMethodLeftOut.empty());

    *cell("score") = Value::fromNumber(1);
    *cell("hook") = Value();
    *cell("lamp") = Value();
    findVariable(scene.scope, KindPlain, intern("items[]"), nullptr, false)->as<ArrayObject>()->resize(1);
    scene.scope.delayedCalls.clear();
    read(s.bytes());

    EXPECT_EQ(number("score"), 5);
    EXPECT_TRUE(value("hook").isNone());
    ASSERT_TRUE(value("lamp").is(ValueType::Instance));
    EXPECT_EQ(value("lamp").as<ScriptInstance>()->members.get(intern("next")), nullptr);
    ArrayObject* items = findVariable(scene.scope, KindPlain, intern("items[]"), nullptr, false)->as<ArrayObject>();
    EXPECT_EQ(items->count(), 2);
    ASSERT_EQ(scene.scope.delayedCalls.size(), 1u);
    ASSERT_EQ(scene.scope.delayedCalls[0]->arguments.size(), 1u);
    EXPECT_TRUE(scene.scope.delayedCalls[0]->arguments[0].isNone());
}

TEST_F(SaveScopeTest, AnUnchangedScopeWritesOnlyItsTerminators) {
    SaveStream s;
    ASSERT_TRUE(s.beginWrite("", 114));
    ASSERT_TRUE(scopeRecord(s, &scene.scope));
    // Five absent names (variables, array members, tasks, signals,
    // functions) and no delayed calls.
    EXPECT_EQ(s.size(), 16u + 6u);
}

TEST_F(SaveScopeTest, ProfileInformationAndItsKeyLookup) {
    Scope& global = system.global();
    *findVariable(global, KindPlain, intern("?best"), nullptr, true) = Value::fromNumber(12);
    *findVariable(global, KindPlain, intern("?Hidden"), nullptr, true) = Value::fromNumber(1);
    *findVariable(global, KindPlain, intern("plain"), nullptr, true) = Value::fromNumber(1);
    std::vector<uint8_t> bytes = write(true);

    Value result;
    Symbol* key = intern("best");
    SaveKeyLookup lookup{key, &result};
    *findVariable(global, KindPlain, intern("?best"), nullptr, false) = Value();
    SaveStream s;
    ASSERT_EQ(s.openBytes(bytes), kSaveOpened);
    ASSERT_TRUE(variableSection(s, &global, true, false, &lookup));
    EXPECT_EQ(result.number, 12);
    EXPECT_FALSE(result.unchanged());
    EXPECT_TRUE(findVariable(global, KindPlain, intern("?best"), nullptr, false)->isNone()) << "a lookup applies nothing";

    SaveStream applied;
    ASSERT_EQ(applied.openBytes(bytes), kSaveOpened);
    ASSERT_TRUE(variableSection(applied, &global, true, false));
    EXPECT_EQ(findVariable(global, KindPlain, intern("?best"), nullptr, false)->number, 12);
    ASSERT_TRUE(applied.checkpoint());
    EXPECT_EQ(static_cast<size_t>(applied.position()), applied.size()) << "?Hidden and plain are not written";
}

} // namespace
