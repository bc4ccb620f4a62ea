// Scripts working on the elements and groups of a real scene: members,
// element arrays, tasks and their instances, dynamic elements, include
// loops and when cues.
#include "element_fixture.h"
#include "scene/time_triggers.h"
#include "script/collector.h"

using namespace glint;
using namespace glint::test;

namespace {

// One update of the scene's script passes with the given element clicked.
void click(MScene& scene, ScriptElement* element) {
    PointerInput& pointer = script().pointer;
    pointer.clicked = element;
    pointer.handled = false;
    runScenePasses(scene.scope);
    pointer.clicked = nullptr;
}

void callScene(MScene& scene, const char* name) {
    Value* f = findVariable(scene.scope, KindFunction, intern(name), nullptr, false);
    ASSERT_TRUE(f && f->is(ValueType::Function)) << name;
    callFunction(f->as<ScriptFunction>(), nullptr, script().stack + script().top, 0, false);
}

} // namespace

TEST_F(ElementFixture, MembersReachRelatedVariablesOwnVariablesAndSubFunctions) {
    MElement* lamp = make("lamp");
    MElement* glow = make("lamp$glow");
    MElement* vase = make("vase_1");
    MGroup* parts = room.createGroup(intern("lamp$parts"));
    run("fun $lamp.check {\n  set #checked #$\n}\n"
        "init {\n"
        "  set #glow $lamp.$glow\n  set #parts $lamp.~parts\n"
        "  set #none 1\n  set #none $lamp.$shade\n"
        "  set #missing 1\n  set #missing $lamp.mood\n"
        "  set $lamp.mood 3\n  add $lamp.mood 1\n  set #mood $lamp.mood\n"
        "  set $lamp.$glow $vase_1\n"
        "  set $vase_ALL[1].alpha 0.25\n"
        "  set #vase_x $vase_1.x\n"
        "  call $lamp.check\n"
        "}\n");
    EXPECT_EQ(value("glow").as<MElement>(), glow) << "lamp.$glow is the element lamp$glow";
    EXPECT_EQ(value("parts").as<MGroup>(), parts);
    EXPECT_TRUE(value("none").isNone());
    EXPECT_TRUE(value("missing").isNone()) << "a member never written reads none";
    EXPECT_EQ(number("mood"), 4) << "written members become the element's own variables";
    EXPECT_TRUE(trace.contains("Invalid property glow"));
    Value* glowCell = findVariable(room.scope, KindElement, intern("lamp$glow"), nullptr, false);
    EXPECT_EQ(glowCell->as<MElement>(), glow) << "related elements cannot be replaced through a member";
    EXPECT_EQ(vase->alpha, 256) << "a member written through an array slot";
    EXPECT_EQ(value("checked").as<MElement>(), lamp) << "a sub-function runs with its element current";

    // The savegame keeps only what scripts wrote; reading changes nothing.
    EXPECT_TRUE(lamp->hasFlag(kElementChangedByScript));
    EXPECT_TRUE(vase->hasFlag(kElementChangedByScript));
    EXPECT_FALSE(glow->hasFlag(kElementChangedByScript));
}

TEST_F(ElementFixture, ElementsJoinTheArraysTheirNamesGive) {
    MElement* second = make("lamp_2");
    MElement* first = make("lamp_1");
    make("lamp_red");
    make("room$bulb_3");
    make("bulb");
    run("init {\n"
        "  set #all $lamp_ALL[].count\n  set #numbered $lamp[].count\n"
        "  set #first $lamp_ALL[1]\n  set #slot1 $lamp[1]\n  set #array $lamp_2.array\n"
        "  set #bulbs $room$bulb_ALL[].count\n"
        "  set #sum 0\n"
        "  for_each %e $lamp_ALL[] {\n    add #sum %e.index\n  }\n"
        "}\n");
    EXPECT_EQ(number("all"), 3) << "every lamp_ name, in creation order";
    EXPECT_EQ(value("first").as<MElement>(), second);
    EXPECT_EQ(number("numbered"), 2) << "only numbered names take array slots";
    EXPECT_EQ(value("slot1").as<MElement>(), first);
    ASSERT_TRUE(value("array").is(ValueType::Array));
    EXPECT_STREQ(value("array").as<ArrayObject>()->name->text, "lamp[]");
    EXPECT_EQ(number("bulbs"), 1) << "the array name keeps what precedes the $";
    EXPECT_EQ(number("sum"), 3);
}

TEST_F(ElementFixture, TasksBindToElementsAndEachInstanceAnswersItsOwn) {
    MElement* door = make("door");
    MElement* lamps[] = {make("lamp_1"), make("lamp_2"), make("lamp_3")};
    MElement* bookA = make("book_a");
    MElement* bookB = make("book_b");
    MElement* lock = make("lock");
    MElement* rustyKey = make("key_rusty");
    MGroup* books = room.createGroup(intern("books"));
    books->elements = {bookA, bookB};
    room.createGroup(intern("keys"))->elements = {rustyKey};
    run("task open hand $door ? {\n  do {\n    set #opened #$\n    complete\n  }\n}\n"
        "task fit hand $lock ~keys {\n  do {\n    set #fitted #^\n    complete\n  }\n}\n"
        "action light hand $lamp_ALL[] ? {\n  do {\n    set #lit #$\n    add #lights 1\n  }\n}\n"
        "task read hand ~books ? {\n  do {\n    set #read #@\n    complete\n  }\n}\n"
        "init {\n"
        "  enable @open\n  enable @light\n  enable @read\n  enable @fit\n"
        "  set #second @light.$lamp_2\n  set #instances @light.sub_tasks.count\n"
        "  set #shelved 0\n  for_each %b ~books {\n    add #shelved 1\n  }\n"
        "}\n");
    EXPECT_EQ(number("shelved"), 2);
    Value* openCell = findVariable(room.scope, KindTask, intern("open"), nullptr, false);
    EXPECT_EQ(openCell->as<ScriptTask>()->element, door);
    EXPECT_EQ(number("instances"), 3);
    ASSERT_TRUE(value("second").is(ValueType::Task));
    ScriptTask* second = value("second").as<ScriptTask>();
    EXPECT_STREQ(second->name->text, "light$lamp_2");
    EXPECT_EQ(second->element, lamps[1]);

    click(room, lamps[1]);
    EXPECT_EQ(value("lit").as<MElement>(), lamps[1]);
    EXPECT_EQ(number("lights"), 1);
    EXPECT_EQ(second->state, TaskEnabled) << "an action is offered again";

    click(room, bookB);
    ASSERT_TRUE(value("read").is(ValueType::Task));
    ScriptTask* readB = value("read").as<ScriptTask>();
    EXPECT_STREQ(readB->name->text, "read$book_b");
    EXPECT_EQ(readB->state, TaskCompleted);
    EXPECT_EQ(readB->parent->state, TaskEnabled) << "book_a is still to read";
    click(room, door);
    EXPECT_EQ(value("opened").as<MElement>(), door);

    // A use task takes any element of the group it names.
    PointerInput& pointer = system.pointer;
    pointer.dropTarget = lock;
    pointer.dropped = Value::fromPointer(ValueType::Element, door);
    runScenePasses(room.scope);
    EXPECT_TRUE(value("fitted").isNone()) << "the door is no key";
    pointer.dropped = Value::fromPointer(ValueType::Element, rustyKey);
    pointer.handled = false;
    runScenePasses(room.scope);
    EXPECT_EQ(value("fitted").as<MElement>(), rustyKey);
    pointer.dropTarget = nullptr;

    // Only shown and active elements are offered to the pointer.
    lamps[2]->flags &= ~kElementVisible;
    updateTasks(room.scope, TaskPass::CollectTargets);
    std::vector<std::string> offered;
    for (const PointerTarget& target : room.scope.targets) offered.push_back(target.task->name->text);
    EXPECT_EQ(offered, (std::vector<std::string>{"light$lamp_1", "light$lamp_2", "read$book_a"}));
}

TEST_F(ElementFixture, NewElementsTakeRuntimeInstancesThatLetGoWhenDeleted) {
    make("coin");
    *findVariable(system.global(), KindPlain, sym::q_dynamic_elements_count(), nullptr, true) = Value::fromNumber(0);
    run("action grab hand $coin ? {\n  do {\n    add #grabs 1\n    set #who #$\n  }\n}\n"
        "fun spawn {\n  new #c $coin\n  new #t @grab #c\n  enable #t\n}\n"
        "fun drop {\n  delete #c\n}\n");
    callScene(room, "spawn");
    MElement* made = room.findElement(intern("ELEMENT000000000"));
    ASSERT_NE(made, nullptr);
    ASSERT_TRUE(value("t").is(ValueType::Task));
    ScriptTask* instance = value("t").as<ScriptTask>();
    EXPECT_STREQ(instance->name->text, "grab$ELEMENT000000000");
    EXPECT_TRUE(instance->runtimeInstance);
    EXPECT_EQ(instance->element, made);

    click(room, made);
    EXPECT_EQ(number("grabs"), 1);
    EXPECT_EQ(value("who").as<MElement>(), made) << "the instance's handler runs for its element";

    // The freed element comes back from the pool as another one; the
    // instance must not answer for it.
    callScene(room, "drop");
    EXPECT_EQ(instance->element, nullptr);
    MElement* reused = room.createElement(nullptr, intern("other"), true);
    ASSERT_EQ(reused, made) << "the dynamic pool hands the freed element out first";
    click(room, reused);
    EXPECT_EQ(number("grabs"), 1);
}

TEST_F(ElementFixture, IncludeForEachWalksAGroupsElements) {
    MElement* red = make("lamp_red");
    MElement* hidden = make("lamp_h");
    MElement* copy = make("room$shade_tall_2");
    copy->templateName = intern("shade");
    copy->templateInstance = true;
    MElement* model = make("shade_9");
    model->templateName = intern("shade");
    MElement* plain = make("bulb");
    room.createGroup(intern("lights"))->elements = {red, hidden, copy, model, plain};
    const std::string part = "def #seen_<BASE_NAME> <NAME>/<GROUP_NAME>\ndef #<GROUP_NAME>_n 1\n";
    system.sources.add(intern("part"), part.data(), part.size());
    run("include_for_each ~lights part\n");
    EXPECT_EQ(valueText(value("seen_red")), "lamp_red/lamp_red");
    EXPECT_EQ(valueText(value("seen_tall")), "room$shade_tall/shade");
    EXPECT_EQ(valueText(value("seen_BASE_NAME")), "bulb/bulb") << "no underscore: BASE_NAME stays unset";
    EXPECT_TRUE(value("lamp_h_n").isNone()) << "elements ending in _h are skipped";
    EXPECT_EQ(number("shade_n"), 1) << "the template's own element is skipped, its instance is not";
}

TEST_F(ElementFixture, WhenCuesFireAsTheElementClockPassesTheirTime) {
    MElement* clock = make("clock");
    clock->visual->loopTime = 2; // a loop of 200 ticks
    MElement* bell = make("bell"); // no loop: its cues sit in scripted segments
    run("when $clock 0.5 {\n  add #rings 1\n  set #scene #+\n}\n"
        "when $bell -0.3 {\n  add #dings 1\n}\n"
        "init {\n  set #rings 0\n  set #dings 0\n}\n");
    struct Step {
        float previous, now;
        double rings;
    } steps[] = {
        {48, 49, 0},   // not yet
        {49, 50, 1},   // passes 50
        {50, 50, 1},   // the clock stood still
        {50, 51, 1},   // already past
        {249, 250, 2}, // the next round of the loop
    };
    for (const Step& step : steps) {
        clock->previousTime = step.previous;
        clock->time = step.now;
        fireTimeTriggers(room);
        EXPECT_EQ(number("rings"), step.rings) << step.previous << " -> " << step.now;
    }
    EXPECT_EQ(value("scene").as<MScene>(), &room) << "the cue runs in its scene";

    clock->previousTime = clock->time; // stands still from here on
    bell->previousTime = -31;
    bell->time = -30;
    fireTimeTriggers(room);
    bell->previousTime = 30; // positive times of an element without loop all fall on 0
    bell->time = 31;
    fireTimeTriggers(room);
    EXPECT_EQ(number("dings"), 1);
    EXPECT_EQ(number("rings"), 2);
}

// Without "?dynamic_elements_count" every new element is named ELEMENT and
// the variable of that name holds only the last one; the members of the
// others belong to their elements all the same.
TEST_F(ElementFixture, ElementMembersLiveAsLongAsTheirElement) {
    make("coin");
    run("fun spawn %n {\n  new %e $coin\n  set %e.worth %n\n  set_str %e.tag coin %n\n}\n"
        "fun churn {\n  for %i 1 20000 {\n    new %a []\n    set %a.k %i\n  }\n}\n");
    for (double n : {1, 2, 3}) {
        Value* stack = script().stack + script().top;
        stack[0] = Value::fromNumber(n);
        Value* f = findVariable(room.scope, KindFunction, intern("spawn"), nullptr, false);
        callFunction(f->as<ScriptFunction>(), nullptr, stack, 1, false);
    }
    Collector collector(system.heap);
    collector.clearMarks();
    collector.markSystem(system);
    collector.releaseUnmarked();
    callScene(room, "churn");
    int n = 0;
    for (MElement* element : room.elements) {
        if (element->name != intern("ELEMENT")) continue;
        ++n;
        EXPECT_EQ(numberProperty(element, "worth"), n);
        EXPECT_EQ(valueText(property(element, "tag")), "coin" + std::to_string(n));
    }
    EXPECT_EQ(n, 3);
}
