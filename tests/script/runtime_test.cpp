#include <cmath>
#include <cstdlib>
#include <ctime>

#include "script_fixture.h"

using namespace glint;
using glint::test::ScriptFixture;

TEST_F(ScriptFixture, RecursionStopsAtTheSixtySixthLevel) {
    load("fun deep %n {\n  set #max %n\n  add %n 1\n  call &deep %n\n  add #returned 1\n}\n"
         "init {\n  call &deep 1\n}\n");
    EXPECT_EQ(number("max"), 65);
    EXPECT_EQ(number("returned"), 65); // every level below the refused one goes on
    EXPECT_EQ(tracedCount("ERROR in script room: STACK OVERFLOW"), 1) << traceText();
    EXPECT_EQ(tracedCount("   called from room:deep"), 16);
    EXPECT_EQ(system.callStack->count(), 0);
}

TEST_F(ScriptFixture, CallStackHoldsTheRunningFunctions) {
    load("fun inner {\n  set #depth ##Call_stack[].count\n  set #top ##Call_stack[-1]\n}\n"
         "fun outer {\n  call &inner\n}\n"
         "init {\n  call &outer\n}\n");
    EXPECT_EQ(number("depth"), 2);
    EXPECT_EQ(text("top"), "&room:inner");
}

TEST_F(ScriptFixture, ParametersAreCopies) {
    load("fun change %p {\n  set %p 99\n}\n"
         "init {\n  set #keep 1\n  call &change #keep\n}\n");
    EXPECT_EQ(number("keep"), 1);
}

TEST_F(ScriptFixture, CallFxTimingAndOrder) {
    load("fun note %what {\n  set_str #log #log %what\n}\n"
         "init {\n"
         "  call_fx 0 &note now\n"
         "  call_fx 0.5 &note half\n"
         "  call_fx 0.02 &note a\n"
         "  call_fx 0.02 &note b\n"
         "  call_fx 0.3 &gone x\n"
         "  abort &gone\n"
         "}\n"
         "fun gone %x {\n  set #gone 1\n}\n");
    EXPECT_EQ(text("log"), "now");
    update(1);
    EXPECT_EQ(text("log"), "now");
    update(1);
    EXPECT_EQ(text("log"), "nowba"); // same update: the last one found first
    update(47);
    EXPECT_EQ(text("log"), "nowba");
    update(1);
    EXPECT_EQ(text("log"), "nowbahalf"); // the 50th update
    update(100);
    EXPECT_TRUE(value("gone").isNone());
}

TEST_F(ScriptFixture, AfterBlocksKeepTheirFrameAndRunInReverseOrder) {
    load("init {\n"
         "  set %x first\n"
         "  after 0.01 {\n    set_str #log #log %x\n  }\n"
         "  set %x second\n"
         "  after 0.01 {\n    set_str #log #log \"-\" %x\n  }\n"
         "  after 0 {\n    set #at_once 1\n  }\n"
         "}\n");
    EXPECT_EQ(number("at_once"), 1);
    EXPECT_TRUE(value("log").isNone());
    update(1);
    EXPECT_EQ(text("log"), "-secondfirst");
}

// An after written inside a running after block, or inside a function's
// delayed block, keeps the locals of the frame it was written in.
TEST_F(ScriptFixture, NestedAfterBlocksKeepTheirLocals) {
    load("fun blink %e {\n"
         "  after 0.01 {\n    set_str #log #log \"hide \" %e \";\"\n"
         "    after 0.01 {\n      set_str #log #log \"show \" %e \";\"\n    }\n  }\n"
         "}\n"
         "init {\n"
         "  set %x kept\n"
         "  after 0.01 {\n    after 0.02 {\n      set #inner %x\n    }\n  }\n"
         "  call &blink lamp\n"
         "}\n");
    update(1);
    EXPECT_EQ(text("log"), "hide lamp;");
    update(1);
    EXPECT_EQ(text("log"), "hide lamp;show lamp;");
    update(1);
    EXPECT_EQ(text("inner"), "kept");
}

TEST_F(ScriptFixture, SignalsCountDownAndRunHandlers) {
    element("bell");
    load("on !ring {\n  add #rung 1\n}\n"
         "on !ring if #armed = 1 {\n  add #armed_rung 1\n}\n"
         "task t hand $bell ? {\n  on !ring {\n    set #task_seen #@\n  }\n}\n"
         "init {\n  signal !ring 0.03\n}\n");
    update(2);
    EXPECT_TRUE(value("rung").isNone());
    update(1);
    EXPECT_EQ(number("rung"), 1);
    EXPECT_TRUE(value("armed_rung").isNone());
    EXPECT_EQ(text("task_seen"), "@room:t");
    *cell("armed") = Value::fromNumber(1);
    ScriptSignal* ring = cell("ring", KindSignal)->as<ScriptSignal>();
    ring->countdown = 1;
    ring->members.set(sym::paused(), Value::fromNumber(1));
    update(5);
    EXPECT_EQ(number("rung"), 1); // paused
    ring->members.set(sym::paused(), Value::fromNumber(0));
    update(1);
    EXPECT_EQ(number("rung"), 2);
    EXPECT_EQ(number("armed_rung"), 1);
    // signal with zero seconds still waits one update; abort cancels it.
    raiseSignal(ring);
    EXPECT_EQ(number("rung"), 3);
}

TEST_F(ScriptFixture, TaskStatesExecutionAndEvents) {
    element("door");
    element("lamp");
    loadGame("fun on_task_executed %t {\n  set_str #events #events x\n}\n"
             "fun on_task_state %t {\n  set_str #states #states %t.name\n}\n");
    load("task must hand $door ? {\n  do {\n    add #must_runs 1\n  }\n}\n"
         "action act hand $lamp ? {\n  do {\n    set #seen_state #@.state\n  }\n}\n"
         "task done hand $door ? {\n  do {\n    complete\n  }\n}\n");
    ScriptTask* must = task("must");
    ScriptTask* act = task("act");
    executeTask(must);
    EXPECT_EQ(must->state, TaskCompleted);
    EXPECT_TRUE(traced("State of task must in script room is invalid!"));
    executeTask(act);
    EXPECT_EQ(act->state, TaskEnabled);
    EXPECT_EQ(text("seen_state"), "Executed");
    executeTask(task("done"));
    EXPECT_EQ(task("done")->state, TaskCompleted);
    EXPECT_EQ(tracedCount("is invalid!"), 1);
    Value events = *findVariable(system.global(), KindPlain, intern("events"), nullptr, false);
    EXPECT_EQ(valueText(events), "xxx");
    Value states = *findVariable(system.global(), KindPlain, intern("states"), nullptr, false);
    EXPECT_EQ(valueText(states), "mustactdone");
    EXPECT_EQ(must->oldState, TaskDisabled);
}

// A task without element runs its handlers with no current element, even
// when the caller had one.
TEST_F(ScriptFixture, HandlersOfATaskWithoutElementHaveNoCurrentElement) {
    element("door");
    load("action lone hand ? ? {\n  do {\n    set #in_do #$\n    set #did 1\n  }\n"
         "  on !ring {\n    set #in_on #$\n    set #rang 1\n  }\n}\n"
         "action knock hand $door ? {\n  do {\n    call @lone\n    call !ring\n    set #after #$\n  }\n}\n");
    executeTask(task("knock"));
    EXPECT_EQ(number("did"), 1);
    EXPECT_EQ(number("rang"), 1);
    EXPECT_TRUE(value("in_do").isNone()) << text("in_do");
    EXPECT_TRUE(value("in_on").isNone()) << text("in_on");
    EXPECT_EQ(text("after"), "$room:door"); // the caller's own element comes back
}

TEST_F(ScriptFixture, InstanceStatesPropagate) {
    for (const char* n : {"cup_1", "cup_2", "cup_3"}) element(n);
    load("task cups hand $cup[] ? {\n  do {\n  }\n}\n");
    ScriptTask* parent = task("cups");
    ASSERT_NE(parent->instances, nullptr);
    ScriptTask* c[3];
    for (int i = 0; i < 3; ++i) c[i] = parent->instances->at(i + 1)->as<ScriptTask>();

    setTaskState(parent, TaskEnabled);
    for (ScriptTask* t : c) EXPECT_EQ(t->state, TaskEnabled);
    setTaskState(c[0], TaskCompleted);
    EXPECT_EQ(parent->state, TaskEnabled);
    setTaskState(c[1], TaskIgnored);
    EXPECT_EQ(parent->state, TaskEnabled);
    setTaskState(c[2], TaskCompleted);
    EXPECT_EQ(parent->state, TaskCompleted); // every non-ignored instance agrees
    setTaskState(c[1], TaskEnabled);
    EXPECT_EQ(parent->state, TaskEnabled);
    EXPECT_EQ(parent->oldState, TaskCompleted);
}

TEST_F(ScriptFixture, StateCommandsAndTaskMembers) {
    element("door");
    element("lamp_1");
    element("lamp_2");
    load("task a hand $door ? {\n  do {\n  }\n}\n"
         "action b hand $lamp[] ? {\n  do {\n  }\n}\n"
         "init {\n"
         "  enable @a\n"
         "  set #list[1] @a\n  set #list[2] @b\n"
         "  disable #list[]\n"
         "  set #state @a.state\n"
         "  set #mandatory @a.is_mandatory\n"
         "  set #name @b.name\n"
         "  set #subs @b.sub_tasks.count\n"
         "  set #inst @b.$lamp_2\n"
         "  set #inst2 @b[$lamp_1]\n"
         "  set @a.pointer eye\n"
         "  set #pointer @a.pointer\n"
         "  set @a.state Enabled\n"
         "  set @a.custom 5\n"
         "  set #custom @a.custom\n"
         "}\n");
    EXPECT_EQ(text("state"), "Disabled");
    EXPECT_EQ(number("mandatory"), 1);
    EXPECT_EQ(text("name"), "b");
    EXPECT_EQ(number("subs"), 2);
    EXPECT_EQ(text("inst"), "@room:b$lamp_2");
    EXPECT_EQ(text("pointer"), "eye");
    EXPECT_EQ(number("custom"), 5);
    EXPECT_TRUE(traced("Invalid property state")) << traceText();
    EXPECT_EQ(task("a")->state, TaskDisabled);
}

TEST_F(ScriptFixture, PointerPassClickHoverUseAndTargets) {
    ScriptElement* door = element("door");
    ScriptElement* chest = element("chest");
    ScriptItem key(intern("key"));
    ScriptItem stone(intern("stone"));
    *findVariable(system.global(), KindItem, intern("key"), nullptr, true) =
        Value::fromPointer(ValueType::Item, &key);
    loadGame("fun on_invalid_use %t {\n  set ##invalid %t\n}\n");
    load("task open hand $door ? {\n  do {\n    add #opened 1\n    complete\n  }\n"
         "  fun .on_hover_begin {\n    add #hover_begin 1\n  }\n"
         "  fun .on_hovering %held {\n    set #held %held\n  }\n"
         "  fun .on_hover_end {\n    add #hover_end 1\n  }\n}\n"
         "task unlock hand $chest ^key {\n  do {\n    set #used #^\n    complete\n  }\n}\n"
         "init {\n  enable @open\n  enable @unlock\n}\n");
    PointerInput& in = system.pointer;
    in.hovered = door;
    in.buttonHeld = true;
    update();
    EXPECT_EQ(number("hover_begin"), 1);
    EXPECT_EQ(number("held"), 1);
    update();
    EXPECT_EQ(number("hover_begin"), 1); // once
    in.hovered = nullptr;
    update();
    EXPECT_EQ(number("hover_end"), 1);

    updateTasks(scene.scope, TaskPass::CollectTargets);
    ASSERT_EQ(scene.scope.targets.size(), 2u);
    EXPECT_EQ(scene.scope.targets[0].task, task("open"));
    EXPECT_EQ(scene.scope.targets[1].interaction, 3);

    in.dropTarget = chest;
    in.dropped = Value::fromPointer(ValueType::Item, &stone);
    update();
    EXPECT_EQ(valueText(*findVariable(system.global(), KindPlain, intern("invalid"), nullptr, false)), "@room:unlock");
    EXPECT_EQ(task("unlock")->state, TaskEnabled);
    in.dropped = Value::fromPointer(ValueType::Item, &key);
    update();
    EXPECT_EQ(text("used"), "^key");
    EXPECT_EQ(task("unlock")->state, TaskCompleted);
    in.dropTarget = nullptr;

    in.clicked = door;
    update();
    EXPECT_EQ(number("opened"), 1);
    update();
    EXPECT_EQ(number("opened"), 1); // completed: no longer offered
}

TEST_F(ScriptFixture, AlwaysBlocksRunEveryUpdate) {
    load("always {\n  add #frames 1\n}\n");
    update(3);
    EXPECT_EQ(number("frames"), 3);
    updateTasks(scene.scope, TaskPass::CollectTargets);
    EXPECT_EQ(number("frames"), 3);
}

TEST_F(ScriptFixture, ScriptErrorTexts) {
    load("init {\n  error \"bad thing\" 7 2.5\n}\n");
    EXPECT_TRUE(traced("ERROR in script room: bad thing 7 2.50")) << traceText();
    EXPECT_STREQ(lastScriptError(), "ERROR in script room");
    setScriptErrorScope(nullptr);
    scriptError("outside");
    EXPECT_TRUE(traced("ERROR: outside"));
}

TEST_F(ScriptFixture, BlockCommandsReachedThroughCallHaveNoBlock) {
    load("init {\n  call &&if 1\n  call &&for %i 1 3\n  call &&after 0\n  call_fx 0.01 &&if 1\n  set #fine 1\n}\n"
         "init {\n  set #second 1\n}\n");
    update(2);
    EXPECT_EQ(number("fine"), 1);
    EXPECT_EQ(number("second"), 1);
    EXPECT_FALSE(traced("not defined")) << traceText();
}

TEST_F(ScriptFixture, StatementStoreChunksAndLimits) {
    StatementStore store;
    NodeRef first = store.allocate(1000);
    EXPECT_FALSE(first.empty()); // (0, 0) is never handed out
    NodeRef second = store.allocate(100); // does not fit chunk 0 any more
    EXPECT_EQ(second.chunk, 1);
    EXPECT_EQ(second.offset, 0);
    EXPECT_EQ(store.cell(second), store.cell(second)); // stable addresses
    EXPECT_TRUE(store.allocate(1025).empty());
    EXPECT_TRUE(traced("Request for too much objects!"));
}

TEST_F(ScriptFixture, ValueCommands) {
    load("init {\n"
         "  set #a 7\n  idiv #a 2\n"
         "  set #m 7\n  imod #m -2\n"
         "  set #d 7\n  div #d 0.00005\n"
         "  set_str #s \"a\" 1.5 #nothing\n"
         "  set #arr[1] \"a\"\n  set #arr[2] \"b\"\n  in_array #pos \"b\" #arr[]\n"
         "  in_array #absent \"z\" #arr[]\n"
         "  set #c \"abc\"\n  set_char #c 4 100\n"
         "  set #c5 \"abc\"\n  set_char #c5 5 100\n"
         "  set #cut \"abcdef\"\n  set_char #cut 3 0\n"
         "  get_angle #angle 0 0 10 -10\n"
         "  get_distance #dist 0 0 3 4\n"
         "  str_cmp #cmp \"abc\" \"abd\"\n"
         "  set_number #num \"12.5kg\"\n"
         "  round #r -2.5\n"
         "  get_type #t #arr[]\n"
         "  sin #sin 90\n  cos #cos 180\n"
         "  clear #arr[]\n  set #cleared #arr[].count\n"
         "}\n");
    EXPECT_EQ(number("a"), 3);
    EXPECT_EQ(number("m"), 1);
    EXPECT_EQ(number("d"), 0);
    EXPECT_EQ(text("s"), "a1.50");
    EXPECT_EQ(number("pos"), 2);
    EXPECT_EQ(number("absent"), 0);
    EXPECT_EQ(text("c"), "abcd");
    EXPECT_EQ(text("c5"), "abc");
    EXPECT_EQ(text("cut"), "ab");
    EXPECT_NEAR(number("angle"), 45, 1e-9);
    EXPECT_NEAR(number("dist"), 5, 1e-9);
    EXPECT_EQ(number("cmp"), -1);
    EXPECT_EQ(number("num"), 12.5);
    EXPECT_EQ(number("r"), -3);
    EXPECT_EQ(text("t"), "array");
    EXPECT_NEAR(number("sin"), 1, 1e-6);
    EXPECT_NEAR(number("cos"), -1, 1e-6);
    EXPECT_EQ(number("cleared"), 0);
}

TEST_F(ScriptFixture, LocalTimeIsNormalised) {
    const char* saved = std::getenv("TZ");
    std::string previous = saved ? saved : "";
    setenv("TZ", "UTC", 1);
    tzset();
    load("init {\n"
         "  get_local_time #t \"2024:02:30:10:05:07\"\n"
         "  get_local_time #short \"3:4\"\n"
         "  get_local_time #clamped \"1800:13:00:25:61:-5\"\n"
         "  get_local_time #now\n"
         "}\n");
    EXPECT_EQ(text("t"), "2024:03:01:10:05:07+0");
    EXPECT_EQ(text("short"), "1900:01:01:00:03:04+0");
    EXPECT_EQ(text("clamped"), "1900:12:01:23:59:00+0");
    EXPECT_EQ(text("now").size(), 21u);
    if (saved) setenv("TZ", previous.c_str(), 1);
    else unsetenv("TZ");
    tzset();
}

TEST_F(ScriptFixture, RandomNumbersInRangeAndReproducibleFromAState) {
    load("fun roll {\n  get_random #r 1 6\n}\n"
         "fun seeded {\n  set_random #s 1 100 #state[]\n  set_str #seq #seq #s \",\"\n}\n"
         "init {\n  for %i 1 4 {\n    set #state[%i] 0\n  }\n}\n");
    bool seen[7] = {};
    for (int i = 0; i < 300; ++i) {
        call("roll");
        double r = number("r");
        ASSERT_GE(r, 1);
        ASSERT_LE(r, 6);
        ASSERT_EQ(r, std::trunc(r));
        seen[static_cast<int>(r)] = true;
    }
    for (int face = 1; face <= 6; ++face) EXPECT_TRUE(seen[face]) << face;

    ArrayObject* state = value("state[]").as<ArrayObject>();
    call("seeded"); // seeds the zero state from the global generator
    double saved[4];
    for (int i = 0; i < 4; ++i) saved[i] = state->at(i + 1)->number;
    EXPECT_TRUE(saved[0] || saved[1] || saved[2] || saved[3]);
    *cell("seq") = Value();
    call("seeded");
    call("seeded");
    std::string first = text("seq");
    for (int i = 0; i < 4; ++i) *state->at(i + 1) = Value::fromNumber(saved[i]);
    *cell("seq") = Value();
    call("seeded");
    call("seeded");
    EXPECT_EQ(text("seq"), first);

    // One step from the state 1: parts and result worked out by hand.
    for (int i = 0; i < 4; ++i) *state->at(i + 1) = Value::fromNumber(i == 0 ? 1 : 0);
    Value* out = system.stack + system.top;
    out[0] = Value();
    out[1] = Value::fromNumber(0);
    out[2] = Value::fromNumber(99);
    out[3] = value("state[]");
    keywords().callback[KwGetRandom](out, 4);
    EXPECT_EQ(out[0].number, 28);
    const double parts[4] = {56605, 35180, 52811, 18404};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(state->at(i + 1)->number, parts[i]) << i;
}

TEST_F(ScriptFixture, ValueStackLimitIsReportedNotOverrun) {
    std::string body = "fun wide %n {\n";
    for (int i = 0; i < 254; ++i) body += "  set %l" + std::to_string(i) + " %n\n";
    body += "  set #levels %n\n  add %n 1\n  call &wide %n\n}\ninit {\n  call &wide 1\n  set #after 1\n}\n";
    load(body);
    EXPECT_TRUE(traced("STACK OVERFLOW")) << traceText();
    EXPECT_LT(number("levels"), 65); // the frames ran out before the call cap
    EXPECT_EQ(number("after"), 1);
    EXPECT_EQ(system.top, 0);
}

TEST_F(ScriptFixture, ScriptIncludingItselfStops) {
    load("include room\ndef #x 1\n");
    EXPECT_TRUE(traced("ERROR: Script 'room' includes itself too deeply")) << traceText();
    EXPECT_EQ(number("x"), 1);
}
