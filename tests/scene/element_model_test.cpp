// The element tree, kinds from names, copies, the per-scene limit and the
// dynamic elements scripts make and delete.
#include "element_fixture.h"

#include "script/script_error.h"

using namespace glint;
using namespace glint::test;

TEST_F(ElementFixture, ParentsNeverFormALoop) {
    MElement* a = make("a");
    MElement* b = make("b");
    MElement* c = make("c");
    b->setParent(a);
    c->setParent(b);
    for (MElement* e : {a, b, c}) e->flags &= ~kElementParentChanged;

    a->setParent(c); // c is a's grandchild
    EXPECT_EQ(a->parent, c);
    EXPECT_EQ(c->parent, b);
    EXPECT_EQ(b->parent, nullptr) << "a's child on the new chain lets go of a instead of closing the loop";
    EXPECT_TRUE(a->hasFlag(kElementParentChanged));
    EXPECT_TRUE(b->hasFlag(kElementParentChanged));
    EXPECT_FALSE(c->hasFlag(kElementParentChanged));

    b->setParent(b);
    EXPECT_EQ(b->parent, nullptr) << "an element is not its own parent";

    a->flags &= ~kElementParentChanged;
    a->setParent(c);
    EXPECT_FALSE(a->hasFlag(kElementParentChanged)) << "an unchanged parent changes nothing";

    run("init {\n  set $b.parent $c\n  set #p $b.parent\n  set $a.parent 3\n}\n");
    EXPECT_EQ(value("p").as<MElement>(), c);
    EXPECT_EQ(a->parent, nullptr) << "a value that is no element clears the parent";
}

TEST_F(ElementFixture, KindsFollowTheNameAfterItsLastDollar) {
    struct Case {
        const char* name;
        uint16_t kind;
    } cases[] = {
        {"scene1$ps_smoke", kVisualParticleSystem}, {"portal_hall", kVisualPortal},
        {"movie_intro", kVisualMovie},              {"a$b$crop_window", kVisualCropWindow},
        {"ps_", kVisualParticleSystem},             {"ps_smoke$door", 0},
        {"my_ps_smoke", 0},                         {"ps", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(make(c.name)->visual->kindFlags, kVisualInheritAll | c.kind) << c.name;
}

TEST_F(ElementFixture, CopiesShareTheVisualAndTakeTheLookOfTheSource) {
    MElement* source = make("crop_window");
    source->members.set(sym::text_key(), Value::fromSymbol(intern("hello")));
    source->members.set(intern("mood"), Value::fromNumber(1));
    source->font = 2;
    source->textAlign = 31;
    source->textColor[1] = 9;
    source->flags |= kElementTextOutline | kElementHintable;
    source->pivotX = 0.1f;
    source->channels[kChannelX] = 40;
    source->channels[kChannelBlue] = 0.25f;
    source->alpha = 100;
    source->tint[0] = 3;
    source->visual->kindFlags = kVisualInheritAll; // as if made under another name

    MElement* copy = room.copyElement(*source, intern("inst$crop_window"), false);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->visual, source->visual);
    EXPECT_EQ(source->visual->users, 2);
    EXPECT_TRUE(copy->visual->kindFlags & kVisualCropWindow) << "the source's crop_ name marks the shared visual";
    ASSERT_NE(copy->members.get(sym::text_key()), nullptr);
    EXPECT_EQ(copy->members.get(sym::text_key())->symbol(), intern("hello"));
    EXPECT_EQ(copy->members.get(intern("mood")), nullptr) << "only the text key is copied";
    EXPECT_EQ(copy->font, 2);
    EXPECT_EQ(copy->textAlign, 31);
    EXPECT_EQ(copy->textColor[1], 9);
    EXPECT_TRUE(copy->hasFlag(kElementTextOutline));
    EXPECT_FALSE(copy->hasFlag(kElementHintable));
    EXPECT_EQ(copy->pivotX, 0.1f);
    EXPECT_EQ(copy->channels[kChannelX], 40);
    EXPECT_EQ(copy->channels[kChannelBlue], 0.25f);
    EXPECT_EQ(copy->alpha, 1024);
    EXPECT_EQ(copy->tint[0], 255);
    EXPECT_EQ(copy->position, 1);
}

TEST_F(ElementFixture, ScriptsMakeAndDeleteDynamicCopies) {
    MElement* tree = make("tree");
    tree->channels[kChannelY] = 12;
    Value* counter = findVariable(system.global(), KindPlain, sym::q_dynamic_elements_count(), nullptr, true);
    *counter = Value::fromNumber(0);
    run("init {\n  new #a $tree\n  new #b #a\n  set $tree.offset_x 1\n}\n"
        "fun drop {\n  delete #a\n  delete $tree\n}\n");
    MElement* a = room.findElement(intern("ELEMENT000000000"));
    MElement* b = room.findElement(intern("ELEMENT000000001"));
    ASSERT_TRUE(a && b);
    EXPECT_EQ(value("a").as<MElement>(), a);
    EXPECT_TRUE(a->hasFlag(kElementRuntime));
    EXPECT_EQ(a->visual, tree->visual);
    EXPECT_EQ(b->copiedFrom, tree) << "a copy of a dynamic element copies its source";
    EXPECT_EQ(a->channels[kChannelY], 12);
    EXPECT_EQ(tree->visual->users, 3);

    b->setParent(a);
    b->hotspot = a;
    Value* f = findVariable(room.scope, KindFunction, intern("drop"), nullptr, false);
    callFunction(f->as<ScriptFunction>(), nullptr, system.stack + system.top, 0, false);
    EXPECT_EQ(room.findElement(intern("ELEMENT000000000")), nullptr);
    EXPECT_EQ(room.findElement(intern("tree")), tree) << "elements from scene files stay";
    EXPECT_EQ(b->parent, nullptr);
    EXPECT_EQ(b->hotspot, nullptr);
    EXPECT_EQ(b->position, 1) << "later elements move up";
    EXPECT_EQ(room.drawList.size(), 2u);
    EXPECT_EQ(tree->visual->users, 2);
    EXPECT_TRUE(findVariable(room.scope, KindElement, intern("ELEMENT000000000"), nullptr, false)->isNone());

    MElement* reused = room.createElement(nullptr, intern("again"), true);
    EXPECT_EQ(reused, a) << "the dynamic pool reuses deleted elements";
    EXPECT_EQ(reused->offset, nullptr);
    EXPECT_EQ(reused->channels[kChannelY], 0);
}

// A deleted element goes back to the pool: nothing may drive it or point at
// it when the pool hands it out again.
TEST_F(ElementFixture, ADeletedElementLeavesFadesBlendsAndLinksFromOtherScenes) {
    MScene hall{intern("hall")};
    system.addScene(&hall);
    MElement* tree = make("tree");
    MElement* a = make("a", tree->visual, true);
    MElement* b = make("b", tree->visual, true);
    a->setShown(true);
    a->startFade(false, 50, true);
    b->startBlend(false, 50, true);
    MElement* window = hall.createElement(nullptr, intern("window"), false);
    window->hotspot = a;
    window->cropElement = b;
    ASSERT_EQ(room.fading.size(), 1u);
    ASSERT_EQ(room.blending.size(), 1u);

    ASSERT_TRUE(room.deleteDynamicElement(a));
    ASSERT_TRUE(room.deleteDynamicElement(b));
    EXPECT_TRUE(room.fading.empty());
    EXPECT_TRUE(room.blending.empty());
    EXPECT_EQ(window->hotspot, nullptr);
    EXPECT_EQ(window->cropElement, nullptr);

    // Reused, the element is not driven by the records of its former life.
    MElement* again = make("again", nullptr, true);
    room.clockRuns = true;
    room.update(false);
    EXPECT_TRUE(again == a || again == b);
    EXPECT_TRUE(room.fading.empty());
    EXPECT_TRUE(room.blending.empty());
    hall.releaseElements();
}

TEST_F(ElementFixture, AScenesElementsStopAtTheLimit) {
    for (int i = 0; i < kMaxSceneElements; ++i) ASSERT_NE(room.createElement(nullptr, nullptr, false), nullptr);
    EXPECT_EQ(room.elements.back()->position, kMaxSceneElements - 1);
    EXPECT_EQ(room.createElement(nullptr, intern("straw"), true), nullptr);
    EXPECT_TRUE(trace.contains("Too much elements in scene room"));
    EXPECT_EQ(room.elements.size(), static_cast<size_t>(kMaxSceneElements));
    EXPECT_EQ(findVariable(room.scope, KindElement, intern("straw"), nullptr, false), nullptr);

    room.releaseElements();
    EXPECT_NE(make("fresh"), nullptr);
    EXPECT_EQ(room.elements.front()->position, 0);
}
