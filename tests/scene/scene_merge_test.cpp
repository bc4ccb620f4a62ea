// Templates, sub-scenes and instances merged into a loading scene.
#include "loader_fixture.h"

#include "script/array_object.h"

using namespace glint;
using namespace glint::test;

namespace {

Value elementVariable(MScene* s, const char* name) {
    Value* cell = findVariable(s->scriptClass(), KindElement, intern(name), nullptr, false);
    return cell ? *cell : Value();
}

} // namespace

TEST_F(LoaderFixture, TwoTemplatesRenameTheRootsTheyReplace) {
    // A top-level gameplay scene is a main play scene: template_play, then
    // template_gameplay.
    sceneFile("data/s/room", R"({"elements": {"root": {"C": {"table": {}}}}})");
    sceneFile("data/_interface/template_play", R"({"elements": {"root": {"C": {"_template_root": {}, "hud": {}}}}})");
    sceneFile("data/_interface/template_gameplay", R"({"elements": {"root": {}, "menu": {}}})");
    registerScenes("data/s/room\ndata/_interface/template_play\ndata/_interface/template_gameplay\n");
    MScene* room = load("room");

    EXPECT_EQ(elementNames(room), "root$1 table root$2 _template_root$2 hud root menu");
    EXPECT_EQ(room->templatesApplied, 2);
    EXPECT_EQ(room->staticElementCount, 2);
    EXPECT_EQ(room->rootElement, element(room, "root$1")) << "the scene's own root, renamed";
    EXPECT_EQ(element(room, "table")->parent, element(room, "root$1"));
    EXPECT_EQ(element(room, "hud")->parent, element(room, "root$2")) << "parents follow the copies";
    EXPECT_EQ(element(room, "root")->visual, element(scene("template_gameplay"), "root")->visual)
        << "copies share the template's visual";

    Value root = elementVariable(room, "root");
    ASSERT_TRUE(root.is(ValueType::Element));
    EXPECT_EQ(root.pointer, element(room, "root"));
    EXPECT_EQ(elementVariable(room, "root$1").pointer, element(room, "root$1"));
    EXPECT_TRUE(trace.contains("ERROR: Missing element '_template_root' in template scene template_gameplay"));
    EXPECT_FALSE(trace.contains("template scene template_play"));
}

TEST_F(LoaderFixture, ZoomZonesPickTheirOwnTemplateOrTheCommonOne) {
    sceneFile("data/s/kitchen", "{}");
    sceneFile("data/s/kitchen/zz_kitchen_drawer", R"({"elements": {"knob": {}}})");
    sceneFile("data/s/kitchen/zz_kitchen_shelf_top", "{}");
    sceneFile("data/s/kitchen/zz_attic", "{}");
    sceneFile("data/_interface/template_zz_kitchen", R"({"elements": {"_template_root": {}, "frame": {}}})");
    sceneFile("data/_interface/template_zz", R"({"elements": {"_template_root": {}, "plain": {}}})");
    registerScenes(
        "data/s/kitchen\ndata/s/kitchen/zz_kitchen_drawer\ndata/s/kitchen/zz_kitchen_shelf_top\n"
        "data/s/kitchen/zz_attic\ndata/_interface/template_zz_kitchen\ndata/_interface/template_zz\n");
    EXPECT_EQ(elementNames(load("zz_kitchen_drawer")), "knob _template_root frame");
    EXPECT_EQ(elementNames(load("zz_kitchen_shelf_top")), "_template_root frame");
    EXPECT_EQ(elementNames(load("zz_attic")), "_template_root plain");
}

TEST_F(LoaderFixture, InstancesPrefixNamesAndSubScenesKeepThem) {
    sceneFile("data/s/room", R"({"elements": {"slot": {}, "shelf": {}, "jar_1": {}, "jar_2": {}}})");
    file("data/s/room/_room.sxcfg", "instance:slot=coin\r\nscene:shelf=coin\r\ninstance:jar[]=coin\r\n");
    sceneFile("data/s/coin", R"({"elements": {"root": {"C": {"shine": {"X": 5}}}, "rim": {}},
                                 "groups": {"sparkle": ["shine", "rim"]}})");
    registerScenes("data/s/room\ndata/s/coin\n");
    MScene* room = load("room");
    EXPECT_TRUE(scene("coin")->loaded) << "the source is loaded on demand";

    MElement* slot = element(room, "slot");
    MElement* shine = element(room, "slot$shine");
    ASSERT_NE(shine, nullptr);
    EXPECT_EQ(shine->parent, slot) << "its root was not copied, so it hangs under the slot";
    EXPECT_FLOAT_EQ(shine->channels[kChannelX], 5);
    EXPECT_EQ(element(room, "slot$root"), nullptr);
    Value* anchor = shine->members.get(sym::template_root());
    ASSERT_TRUE(anchor && anchor->is(ValueType::Element));
    EXPECT_EQ(anchor->pointer, slot);
    MGroup* sparkle = room->findGroup(intern("slot$sparkle"));
    ASSERT_NE(sparkle, nullptr);
    ASSERT_EQ(sparkle->elements.size(), 2u);
    EXPECT_EQ(sparkle->elements[1], element(room, "slot$rim"));
    EXPECT_EQ(sparkle->sourceScene, scene("coin"));

    EXPECT_EQ(element(room, "shine")->parent, element(room, "shelf")) << "a sub-scene keeps the names";
    EXPECT_NE(room->findGroup(intern("sparkle")), nullptr);
    EXPECT_NE(element(room, "jar_1$shine"), nullptr) << "an array variable copies under each member";
    EXPECT_NE(element(room, "jar_2$rim"), nullptr);
}

TEST_F(LoaderFixture, MergedScenesBringTheirOwnRequestsAndCyclesEnd) {
    sceneFile("data/s/room", R"({"elements": {"slot": {}}})");
    file("data/s/room/_room.sxcfg", "instance:slot=box\r\nscene:slot=nowhere\r\n");
    sceneFile("data/s/box", R"({"elements": {"lid": {}}})");
    file("data/s/box/_box.sxcfg", "scene:lid=room\r\n");
    registerScenes("data/s/room\ndata/s/box\n");
    MScene* room = load("room");
    EXPECT_EQ(elementNames(room), "slot slot$lid") << "box's request finds no lid here; the cycle stops";
    EXPECT_EQ(elementNames(scene("box")), "lid slot slot$lid")
        << "room, still loading, gave box what it had parsed, and its request ran in box as well";
    EXPECT_EQ(element(room, "slot$lid")->parent, element(room, "slot"));
    EXPECT_TRUE(trace.contains("ERROR: Scene 'nowhere' does not exist!"));
    EXPECT_TRUE(room->loaded && scene("box")->loaded);
}
