#include <cstring>

#include "script_fixture.h"

using namespace glint;
using glint::test::ScriptFixture;

TEST_F(ScriptFixture, FunctionsWithParametersAndDuplicates) {
    load("fun add3 %a %b %c {\n  set #sum %a\n  add #sum %b\n  add #sum %c\n  set %a 100\n}\n"
         "fun add3 {\n  set #sum -1\n}\n"
         "fun &twice %x {\n  set #twice %x\n  mul #twice 2\n}\n"
         "init {\n  call &add3 1 2\n  call &twice 4\n}\n");
    EXPECT_EQ(number("sum"), 3); // the third parameter is none: adds 0
    EXPECT_EQ(number("twice"), 8);
    EXPECT_TRUE(traced("DUPLICATE FUNCTION in script room -> add3")) << traceText();
}

uint32_t writeFortyTwo(Value* args, int) {
    args[0] = Value::fromNumber(42);
    return 1;
}

TEST_F(ScriptFixture, BareWordStatementsCallGlobalFunctions) {
    registerCommand("test_write", writeFortyTwo, 1, 0);
    load("init {\n  test_write #out\n  abs #neg -3\n}\n");
    EXPECT_EQ(number("out"), 42); // written back through call's shifted mask
    EXPECT_EQ(number("neg"), 3);
    EXPECT_FALSE(traced("Function not defined: game:test_write")) << traceText();
}

TEST_F(ScriptFixture, CallNamesSceneFunctionsBareWordsGlobalOnes) {
    registerCommand("test_write", writeFortyTwo, 1, 0);
    load("fun test_write %x {\n  set #scene_version 1\n}\ninit {\n  call test_write\n  test_write #g\n}\n");
    EXPECT_EQ(number("scene_version"), 1);
    EXPECT_EQ(number("g"), 42);
}

TEST_F(ScriptFixture, SetWithOneArgumentClears) {
    load("init {\n  set #a 5\n  set #a\n}\n");
    EXPECT_TRUE(value("a").isNone());
}

TEST_F(ScriptFixture, TasksWithElementsInstancesAndHandlers) {
    element("door");
    for (const char* n : {"lamp_1", "lamp_2", "lamp_3"}) element(n);
    load("task open_door hand $door ? {\n  do {\n    add #opened 1\n    complete\n  }\n}\n"
         "action look_lamp eye $lamp[] ? {\n  do {\n    set_str #looked #looked #$\n  }\n  fun .check {\n  }\n}\n"
         "action idle hand $door ? {\n  do {\n  }\n}\n");
    ScriptTask* door = task("open_door");
    ASSERT_NE(door, nullptr);
    EXPECT_EQ(door->pointerName, intern("hand"));
    ASSERT_NE(door->element, nullptr);
    EXPECT_EQ(door->description->mandatory, 1);
    ASSERT_NE(door->handler, nullptr);
    EXPECT_EQ(door->handler->name, intern("@open_door.handler"));

    ScriptTask* look = task("look_lamp");
    ASSERT_NE(look, nullptr);
    ASSERT_NE(look->instances, nullptr);
    ASSERT_EQ(look->instances->count(), 3);
    ScriptTask* second = look->instances->at(2)->as<ScriptTask>();
    EXPECT_EQ(second->name, intern("look_lamp$lamp_2"));
    EXPECT_EQ(second->parent, look);
    ASSERT_NE(second->handler, nullptr);
    EXPECT_EQ(second->handler->name, intern("@look_lamp$lamp_2.handler"));
    EXPECT_NE(second->members.get(intern("check")), nullptr);
    EXPECT_EQ(look->members.get(sym::sub_tasks())->as<ArrayObject>(), look->instances);
    EXPECT_NE(task("idle")->members.get(sym::Is_empty_task()), nullptr);
    EXPECT_FALSE(traced("ERROR")) << traceText();

    // Executing: an instance handler sees its own element.
    executeTask(second);
    EXPECT_EQ(text("looked"), "$room:lamp_2");
    EXPECT_EQ(second->state, TaskEnabled); // an action returns to Enabled
}

TEST_F(ScriptFixture, DoClickTypesAndTake) {
    element("key");
    element("box");
    load("task take_key hand $key ? {\n  do {\n    take $key 1\n  }\n}\n"
         "task open_box hand $box ? {\n  do on release {\n  }\n}\n"
         "task bad_type hand $box ? {\n  do on hover {\n  }\n}\n"
         "task no_on hand $box ? {\n  do at {\n  }\n}\n"
         "task no_type hand $box ? {\n  do on {\n  }\n}\n"
         "task twice hand $box ? {\n  do {\n  }\n  do {\n  }\n}\n");
    EXPECT_EQ(task("take_key")->description->clickType, sym::press());
    EXPECT_EQ(task("open_box")->description->clickType, sym::release());
    EXPECT_EQ(task("bad_type")->description->clickType, sym::click());
    EXPECT_TRUE(traced("Invalid click type (click, press, release, drag)"));
    EXPECT_TRUE(traced("Invalid parameter - expected 'on'"));
    EXPECT_TRUE(traced("Expected click type after 'on' (click, press, release)"));
    EXPECT_TRUE(traced("Duplicate command 'do' inside task/action block!"));
    ScriptElement* key = findVariable(scene.scope, KindElement, intern("key"), nullptr, false)->as<ScriptElement>();
    EXPECT_EQ(key->members.get(sym::Take_task())->as<ScriptTask>(), task("take_key"));
}

TEST_F(ScriptFixture, DeclarationErrors) {
    struct Case {
        const char* script;
        const char* message;
    } cases[] = {
        {"task a hand ? ? {\n  task b hand ? ? {\n  }\n}\n", "ERROR in script room: "},
        {"task a hand ? ? {\n}\ntask a hand ? ? {\n}\n", "DUPLICATE TASK in script room -> a"},
        {"task a 5 ? ? {\n}\n", "Invalid task pointer in script room, task a"},
        {"class c {\n  task t hand ? ? {\n  }\n}\n", "Tasks inside classes are not supported!"},
        {"class c {\n}\nclass c {\n}\n", "DUPLICATE CLASS in script room -> c)"},
        {"task a hand ? ? {\n  class c {\n  }\n}\n", "Classes inside tasks are not supported!"},
        {"class c {\n  init {\n  }\n  init {\n  }\n}\n", "Duplicate command 'init' inside class block!"},
        {"task a hand ? ? {\n  always {\n  }\n}\n", "Command 'always' cannot be used inside task/action block!"},
        {"do {\n}\n", "Command 'do' cannot be used outside task/action block!"},
        {"fun $nothing.f {\n}\n", "Invalid owner of sub-function"},
        {"fun .check {\n}\n", "Invalid owner of sub-function"},
        {"task a hand ? ? {\n  fun b.check {\n  }\n}\n", "Sub-function inside task should be named .function-name"},
        {"class c {\n  fun .m {\n  }\n}\n", "Sub-functions inside classes are not supported!"},
        {"fun #x. {\n}\n", "Invalid sub-function name"},
        {"task a hand ? ? {\n  fun inner {\n  }\n}\n", "Functions inside tasks are not supported"},
        {"fun 5 {\n}\n", "Invalid function declaration"},
        {"on 5 {\n}\n", "Invalid signal, already defined as 5"},
        {"on !s x {\n}\n", "Missing 'if' after signal name"},
        {"when 5 1 {\n}\n", "Invalid element!"},
        {"task 5 hand ? ? {\n}\n", "Invalid task declaration"},
        {"def #used 1\ntask #used hand ? ? {\n}\n", "Invalid task used, already defined as 1"},
        {"def @taken 1\ntask taken hand ? ? {\n}\n", "Invalid task taken, already defined as 1"},
        {"fun #empty {\n}\n", "Invalid function empty"},
        {"def #k 1\nclass #k {\n}\n", "Invalid class k, already defined as 1"},
        {"def -kept 1\nclass kept {\n}\n", "Invalid class kept, already defined as 1"},
        {"class #nothing {\n}\n", "Invalid class nothing"},
        {"class 5 {\n}\n", "Invalid Class declaration"},
        {"init {\n  call &nobody\n}\n", "Function not defined: room:nobody"},
        {"init {\n  call @nobody\n}\n", "Task not defined: room:nobody"},
        {"init {\n  signal !nobody 1\n}\n", "Signal not defined: room:nobody"},
        {"init {\n  new #i -nobody\n}\n", "Class not defined: room:nobody"},
        {"init {\n  set #v 1\n  set #v[1] 2\n}\n", "Variable #v used both as normal and array variable"},
    };
    for (const Case& c : cases)
        EXPECT_TRUE(glint::test::freshSceneReports(c.script, c.message, true)) << c.script;
}

TEST_F(ScriptFixture, UndefinedObjectsAreClearedSilentSignalsToo) {
    load("init {\n  signal !opened 1\n  call &on_close\n}\n");
    EXPECT_FALSE(traced("Signal not defined")) << traceText();
    EXPECT_TRUE(cell("opened", KindSignal)->isNone());
    EXPECT_FALSE(traced("Function not defined")) << traceText();
}

TEST_F(ScriptFixture, ElementOfAnotherScene) {
    ScriptScene hall(intern("hall"));
    system.addScene(&hall);
    ScriptElement stranger(intern("stranger"), &hall);
    *findVariable(scene.scope, KindElement, intern("foreign"), nullptr, true) =
        Value::fromPointer(ValueType::Element, &stranger);
    load("task t hand $foreign ? {\n}\nwhen $foreign 1 {\n}\n");
    EXPECT_TRUE(traced("Invalid element in script room, task t - scene hall, element stranger")) << traceText();
    EXPECT_TRUE(traced("Invalid element scene!"));
    EXPECT_EQ(task("t")->element, nullptr);
}

TEST_F(ScriptFixture, NonSerializableSceneVariables) {
    system.reportNonSerializable = true;
    Value no = Value::fromNumber(0);
    declareVariable(scene.scope, KindPlain, sym::Is_serializable(), scriptHeap().newCell(no));
    load("def #saved 1\ndef #Unsaved 1\ndef #list[] []\n");
    EXPECT_TRUE(traced("Global variable in non-serializable scene - #room:saved")) << traceText();
    EXPECT_FALSE(traced("Unsaved"));
    EXPECT_FALSE(traced("Is_serializable"));
    EXPECT_FALSE(traced("room:list"));
}

TEST_F(ScriptFixture, AnimationCuesAndInitInsideTasks) {
    element("clock");
    for (const char* n : {"bell_1", "bell_2"}) element(n);
    load("when $clock 0.125 {\n  set #rang 1\n}\n"
         "action ring hand $bell[] ? {\n  init {\n    add #inits 1\n    set_str #who #who #$\n  }\n}\n"
         "init {\n  add #inits 10\n}\n");
    ASSERT_EQ(scene.scope.cues.size(), 1u);
    EXPECT_EQ(scene.scope.cues[0]->time, 13);
    EXPECT_EQ(number("inits"), 12);
    EXPECT_EQ(text("who"), "$room:bell_1$room:bell_2");
}

TEST_F(ScriptFixture, ClassesInstancesAndMethods) {
    load("class counter {\n"
         "  init {\n    set this.count %start\n  }\n"
         "  fun bump %by {\n    add this.count %by\n    set #last_class this.class\n  }\n"
         "}\n"
         "init {\n"
         "  new #c -counter 5\n"
         "  call #c.bump 2\n"
         "  set #count #c.count\n"
         "  set #ctext #c\n"
         "  new #list []\n"
         "  set #listname #list.name\n"
         "}\n");
    EXPECT_EQ(number("count"), 7) << traceText();
    EXPECT_EQ(text("ctext"), "{room:counter}");
    EXPECT_EQ(text("last_class"), "-room:counter");
    EXPECT_EQ(text("listname"), "ARRAY000000001[]");
}
