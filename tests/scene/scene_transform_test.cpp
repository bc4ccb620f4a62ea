// Absolute transforms: parents, records, parallax, the carried object and
// which elements an update recomputes.
#include <functional>

#include "update_fixture.h"

namespace glint::test {
namespace {

using TransformFixture = UpdateFixture;

struct Expected {
    float x, y, angle, scaleX, scaleY, w;
};

TEST_F(TransformFixture, ChildFollowsItsParentsTurnScaleAndMirror) {
    struct Case {
        const char* what;
        std::function<void(MElement& parent, MElement& child)> setUp;
        Expected child;
    };
    const Case cases[] = {
        {"turned and scaled parent", [](MElement&, MElement&) {}, {100, 80, 105, 2, 2, 20}},
        {"no inheritance flags",
         [](MElement&, MElement& child) { child.visual->kindFlags = 0; },
         {100, 80, 15, 1, 1, 10}},
        {"mirrored parent negates the own angle",
         [](MElement& parent, MElement&) {
             parent.channels[kChannelAngle] = 0;
             parent.channels[kChannelScaleX] = -1;
             parent.channels[kChannelScaleY] = 1;
         },
         {90, 100, -15, -1, 1, -10}},
        {"offset and scale records of the child",
         [](MElement&, MElement& child) {
             child.setOffsetComponent(0, 5);
             child.setScaleComponent(0, 0.5f);
             child.setScaleComponent(2, 3);
         },
         {100, 70, 105, 1, 3, 10}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        room.releaseElements();
        MElement* parent = box("parent", 50, 50, 100, 100);
        parent->channels[kChannelAngle] = 90;
        parent->channels[kChannelScaleX] = parent->channels[kChannelScaleY] = 2;
        parent->channels[kChannelZ] = 4;
        MElement* child = box("child", 10, 10, 10, 0);
        child->channels[kChannelAngle] = 15;
        child->channels[kChannelZ] = 1;
        child->setParent(parent);
        c.setUp(*parent, *child);
        tick();
        EXPECT_NEAR(child->absX, c.child.x, 1e-3);
        EXPECT_NEAR(child->absY, c.child.y, 1e-3);
        EXPECT_NEAR(child->absAngle, c.child.angle, 1e-4);
        EXPECT_FLOAT_EQ(child->absScaleX, c.child.scaleX);
        EXPECT_FLOAT_EQ(child->absScaleY, c.child.scaleY);
        EXPECT_FLOAT_EQ(child->absW, c.child.w);
        EXPECT_FLOAT_EQ(child->absZ, 5);
    }
}

TEST_F(TransformFixture, ParentCreatedAfterItsChildIsPlacedFirst) {
    MElement* leaf = box("leaf", 1, 1, 1, 0);
    MElement* middle = box("middle", 1, 1, 10, 0);
    MElement* top = box("top", 1, 1, 100, 0);
    leaf->setParent(middle);
    middle->setParent(top);
    tick();
    EXPECT_FLOAT_EQ(leaf->absX, 111);
    ASSERT_EQ(room.updateList.size(), 3u);
    for (size_t i = 0; i < room.updateList.size(); ++i) EXPECT_EQ(room.updateList[i]->updateIndex, int16_t(i));
    EXPECT_LT(top->updateIndex, middle->updateIndex);
    EXPECT_LT(middle->updateIndex, leaf->updateIndex);
}

TEST_F(TransformFixture, OnlyMarkedElementsAndTheirChildrenAreRecomputed) {
    MElement* parent = box("parent", 1, 1, 100, 0);
    MElement* child = box("child", 1, 1, 10, 0);
    MElement* other = box("other", 1, 1, 7, 0);
    child->setParent(parent);
    tick();
    EXPECT_EQ(room.recomputed.size(), 3u);

    parent->channels[kChannelX] = 200;
    other->channels[kChannelX] = 8; // changed without a mark: kept as it was
    parent->markTransformDirty();
    tick();
    EXPECT_EQ(room.recomputed, (std::vector<MElement*>{parent, child}));
    EXPECT_FLOAT_EQ(child->absX, 210);
    EXPECT_FLOAT_EQ(other->absX, 7);
    EXPECT_EQ(child->transformDirty, 0);

    tick();
    EXPECT_TRUE(room.recomputed.empty());
}

TEST_F(TransformFixture, EffectiveOpacityFromAlphaAndChannel) {
    MElement* e = box("e", 1, 1, 0, 0);
    e->alpha = 512;
    e->channels[kChannelAlpha] = 0.5f;
    tick();
    EXPECT_EQ(e->effectiveAlpha, 256);
    e->flags &= ~kElementVisible;
    e->markTransformDirty();
    tick();
    EXPECT_EQ(e->effectiveAlpha, 0);
}

TEST_F(TransformFixture, ParallaxFollowsLastTicksCamera) {
    MElement* far = box("far", 10, 10, 400, 300);
    far->parallaxX = 128; // 0.5
    far->parallaxY = -256;
    cameraX = Value::fromNumber(40);
    tick(); // the camera of this tick is derived after the transforms
    EXPECT_FLOAT_EQ(far->absX, 400 + (0 - 320) * 0.5f);
    EXPECT_FLOAT_EQ(far->absY, 300 + 240);
    EXPECT_FLOAT_EQ(room.camera.offsetX, -40);
    tick(); // still marked: follows the camera without being touched
    EXPECT_FLOAT_EQ(far->absX, 400 + (-40 - 320) * 0.5f);
    EXPECT_EQ(far->transformDirty, 1);
}

TEST_F(TransformFixture, CarriedObjectFollowsThePointer) {
    MElement* cup = box("cup", 20, 20, 50, 50);
    cup->channels[kChannelZ] = 3;
    MElement* tray = box("tray", 200, 100, 320, 240);
    setGlobal(sym::Taken_object(), Value::fromPointer(ValueType::Element, cup));
    SceneEngineState& state = sceneEngineState();
    state.pointerX = 100;
    state.pointerY = 150;
    state.dragOffsetX = 5;
    state.dragOffsetY = -5;

    struct Case {
        const char* what;
        int mode;
        std::function<void()> setUp;
        Expected cup;
        float z;
    };
    const Case cases[] = {
        {"under the pointer plus the drag offset", 5, [] {}, {105, 145, 0, 1, 1, 20}, 3 - 10000},
        {"configured and own offsets, own scale, set depth offset", 3,
         [&] {
             state.takenOffsetX = 10;
             state.takenOffsetZ = 100;
             cup->members.set(sym::Taken_offset_x(), Value::fromNumber(1));
             cup->members.set(sym::Taken_offset_y(), Value::fromSymbol(intern("text")));
             cup->members.set(sym::taken_scale(), Value::fromNumber(2));
         },
         {116, 145, 0, 2, 2, 40}, 3 - 100},
        {"through the camera that shows it", 5,
         [&] {
             cameraScale = Value::fromNumber(2);
             tick(); // the camera it goes through is last tick's
         },
         {(105 - 320) / 2.0f + 320, (145 - 240) / 2.0f + 240, 0, 1, 1, 20}, 3 - 10000},
        {"kept inside its move area", 3,
         [&] { cup->members.set(sym::move_area(), Value::fromPointer(ValueType::Element, tray)); },
         {220, 190, 0, 1, 1, 20}, 3 - 10000},
        {"selected: in place, larger", 2, [] {}, {50, 50, 0, 1.2f, 1.2f, 24}, 3 - 10000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        state = SceneEngineState{};
        state.pointerX = 100;
        state.pointerY = 150;
        state.dragOffsetX = 5;
        state.dragOffsetY = -5;
        cup->members.clear();
        cameraScale = Value::fromNumber(1);
        tick();
        state.takeMode = c.mode;
        c.setUp();
        tick();
        EXPECT_NEAR(cup->absX, c.cup.x, 1e-3);
        EXPECT_NEAR(cup->absY, c.cup.y, 1e-3);
        EXPECT_FLOAT_EQ(cup->absScaleX, c.cup.scaleX);
        EXPECT_FLOAT_EQ(cup->absW, c.cup.w);
        EXPECT_FLOAT_EQ(cup->absZ, c.z);
    }
}

TEST_F(TransformFixture, ClockRunsForOneUpdate) {
    MElement* e = box("e", 1, 1, 0, 0);
    e->visual->loopTime = 1; // an idle loop: the open-ended clock keeps running
    e->setAnimSpeed(2);
    tick();
    EXPECT_EQ(room.tickCounter, 0);
    EXPECT_FLOAT_EQ(e->time, 0);
    room.clockRuns = true;
    tick(2);
    EXPECT_FALSE(room.clockRuns);
    EXPECT_EQ(room.tickCounter, 1);
    EXPECT_FLOAT_EQ(e->time, 2);
    EXPECT_FLOAT_EQ(e->previousTime, 0);
}

} // namespace
} // namespace glint::test
