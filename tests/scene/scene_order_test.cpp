// Draw order by depth, list upkeep when elements go, hover links and the
// timers of an opening scene.
#include <string>
#include <vector>

#include "update_fixture.h"

namespace glint::test {
namespace {

using OrderFixture = UpdateFixture;

std::vector<std::string> names(const std::vector<MElement*>& list) {
    std::vector<std::string> out;
    for (const MElement* e : list) out.push_back(e->name->text);
    return out;
}

TEST_F(OrderFixture, DrawListAscendsByDepthKeepingCreationOrderForTies) {
    const std::pair<const char*, float> depths[] = {{"a", 5}, {"b", 0}, {"c", 5}, {"d", -3}, {"e", 0}, {"f", 5}};
    for (const auto& [name, z] : depths) box(name, 1, 1, 0, 0)->channels[kChannelZ] = z;

    room.update(false); // only callers that ask for it sort
    EXPECT_EQ(names(room.drawList), (std::vector<std::string>{"a", "b", "c", "d", "e", "f"}));
    EXPECT_TRUE(room.drawOrderDirty);

    tick();
    EXPECT_EQ(names(room.drawList), (std::vector<std::string>{"d", "b", "e", "a", "c", "f"}));
    EXPECT_FALSE(room.drawOrderDirty);
    for (size_t i = 0; i < room.drawList.size(); ++i) EXPECT_EQ(room.drawList[i]->drawIndex, int16_t(i));

    MElement* a = room.findElement(intern("a"));
    a->channels[kChannelZ] = -10;
    a->markTransformDirty();
    tick();
    EXPECT_EQ(names(room.drawList), (std::vector<std::string>{"a", "d", "b", "e", "c", "f"}));
}

TEST_F(OrderFixture, ChildDepthAddsToItsParents) {
    MElement* front = box("front", 1, 1, 0, 0);
    front->channels[kChannelZ] = 1;
    MElement* parent = box("parent", 1, 1, 0, 0);
    parent->channels[kChannelZ] = 2;
    MElement* child = box("child", 1, 1, 0, 0);
    child->channels[kChannelZ] = -1.5f; // 0.5 in all: in front of front
    child->setParent(parent);
    tick();
    EXPECT_EQ(names(room.drawList), (std::vector<std::string>{"child", "front", "parent"}));
}

TEST_F(OrderFixture, DeletedElementLeavesBothListsAndItsHoverLinks) {
    MElement* model = box("model", 1, 1, 0, 0);
    ScriptElement* made = room.createDynamicElement(model, intern("made"));
    auto* copy = static_cast<MElement*>(made);
    MElement* last = box("last", 1, 1, 0, 0);
    room.addHoverLink(copy, last, 1.5f);
    room.addHoverLink(last, copy, 1);
    room.addHoverLink(model, last, 2);
    size_t linksBefore = recordsInUse<MHoverLink>();
    tick();

    ASSERT_TRUE(room.deleteDynamicElement(copy));
    EXPECT_EQ(names(room.drawList), (std::vector<std::string>{"model", "last"}));
    EXPECT_EQ(names(room.updateList), (std::vector<std::string>{"model", "last"}));
    EXPECT_EQ(last->drawIndex, 1);
    EXPECT_EQ(last->updateIndex, 1);
    ASSERT_EQ(room.hoverLinks.size(), 1u);
    EXPECT_EQ(room.hoverLinks[0]->element, model);
    EXPECT_EQ(recordsInUse<MHoverLink>(), linksBefore - 2);
    tick();
}

struct HoverFixture : UpdateFixture {
    MElement* lamp = box("lamp", 100, 100, 320, 240);
    MElement* shade = box("shade", 10, 10, 0, 0);
    MElement* glow = box("glow", 100, 100, 320, 240);

    HoverFixture() {
        shade->channels[kChannelX] = 20; // on the lamp, 20 to the right of its centre
        shade->setParent(lamp);
        room.addHoverLink(lamp, glow, 1.5f);
    }
    void pointAt(ScriptElement* element) { system.pointer.hovered = element; }
};

TEST_F(HoverFixture, HighlightFadesAndElementGrowsOverTenTicks) {
    pointAt(lamp);
    tick(5);
    EXPECT_EQ(glow->effectiveAlpha, 512);
    EXPECT_FLOAT_EQ(lamp->absScaleX, 1.25f);
    EXPECT_FLOAT_EQ(lamp->absW, 125);
    EXPECT_FLOAT_EQ(shade->absX, 320 + 20 * 1.25f); // children grow with it
    tick(10);
    EXPECT_EQ(glow->effectiveAlpha, 1024);
    EXPECT_FLOAT_EQ(lamp->absScaleY, 1.5f);

    pointAt(nullptr);
    tick(10);
    EXPECT_EQ(glow->effectiveAlpha, 0);
    EXPECT_FLOAT_EQ(lamp->absScaleX, 1);
    EXPECT_EQ(room.hoverLinks.size(), 1u); // still in force
}

TEST_F(HoverFixture, HiddenElementFadesOutUnderThePointer) {
    pointAt(lamp);
    tick(10);
    lamp->flags &= ~kElementVisible;
    tick(4);
    EXPECT_EQ(glow->effectiveAlpha, 614); // 0.6
}

TEST_F(HoverFixture, ReplacedLinkFadesOutThenGoes) {
    size_t before = recordsInUse<MHoverLink>();
    pointAt(lamp);
    tick(10);
    room.addHoverLink(lamp, nullptr, 0); // removes only
    EXPECT_EQ(recordsInUse<MHoverLink>(), before);
    tick(3);
    EXPECT_EQ(glow->effectiveAlpha, 717); // fading out though still pointed at
    tick(7);
    EXPECT_TRUE(room.hoverLinks.empty());
    EXPECT_EQ(recordsInUse<MHoverLink>(), before - 1);

    room.addHoverLink(lamp, nullptr, 2); // growth alone is a link too
    tick(10);
    EXPECT_FLOAT_EQ(lamp->absScaleX, 2);
}

TEST_F(HoverFixture, OpeningResetsHoverLevelsAndIdleClocks) {
    pointAt(lamp);
    tick(10);
    lamp->time = 50;
    shade->time = -20; // inside a scripted segment: kept
    room.resetTimers();
    EXPECT_FLOAT_EQ(room.hoverLinks[0]->level, 0);
    EXPECT_FLOAT_EQ(lamp->time, 0);
    EXPECT_FLOAT_EQ(lamp->previousTime, 0);
    EXPECT_FLOAT_EQ(shade->time, -20);
    EXPECT_FLOAT_EQ(shade->previousTime, -20);
}

} // namespace
} // namespace glint::test
