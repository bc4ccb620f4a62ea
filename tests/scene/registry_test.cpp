#include "registry_fixture.h"

#include "script/trace_capture.h"

using namespace glint;
using namespace glint::test;

namespace {

std::string text(Symbol* s) { return s ? s->text : "(null)"; }

} // namespace

TEST_F(RegistryFixture, LinesFindParentsAndJoinHiddenObjectScreensToTheirRoom) {
    const std::string lines =
        "data/s/kitchen\r\n"
        "\r\n"
        "no slash here\r\n"
        "data/s/kitchen/zz_drawer\r\n"
        "data/s/kitchen/ho\r\n"
        "data/s/kitchen/ho/zz_box\r\n"
        "data/s/kitchen/ho_x\r\n"
        "data/s/cellar/zz_lost\r\n"
        "data/lonely\n";
    contentFor(lines);
    build(lines);
    EXPECT_EQ(names(), "game kitchen zz_drawer kitchen_ho zz_box kitchen_ho_x zz_lost lonely");

    MScene* kitchen = scene("kitchen");
    MScene* drawer = scene("zz_drawer");
    MScene* ho = scene("kitchen_ho");
    ASSERT_TRUE(kitchen && drawer && ho);
    EXPECT_EQ(drawer->parent, kitchen);
    EXPECT_EQ(text(drawer->folder), "data/s/kitchen/zz_drawer");
    EXPECT_EQ(ho->parent, kitchen);
    EXPECT_EQ(text(ho->baseName), "ho");
    EXPECT_EQ(text(ho->folder), "data/s/kitchen/ho");
    EXPECT_EQ(scene("zz_box")->parent, ho) << "a folder ending in /ho names the room's hidden-object scene";
    EXPECT_EQ(scene("kitchen_ho_x")->parent, kitchen);
    EXPECT_EQ(scene("zz_lost")->parent, nullptr) << "cellar was never registered";
    EXPECT_EQ(scene("lonely")->parent, nullptr);
    EXPECT_EQ(scene("ho"), nullptr) << "lookups need the full name";

    const auto& all = engine->scenes.scenes();
    const auto& scripted = engine->scriptSystem().scenes;
    ASSERT_EQ(scripted.size(), all.size());
    for (size_t i = 0; i < all.size(); ++i) {
        EXPECT_EQ(all[i]->index, static_cast<int32_t>(i));
        EXPECT_EQ(scripted[i], all[i]) << "the script system walks the scenes in registry order";
    }
    EXPECT_EQ(all[0], engine->scenes.gameScene);
    EXPECT_EQ(text(all[0]->folder), "data/_interface");
}

TEST_F(RegistryFixture, VariantSearchPrefersThePlatformTagThenThePlainSceneThenTools) {
    file("data/game.cfg", "BuildSceneExt=json\r\n");
    content("data/s/hall~win", "hall~win", "json");
    content("data/s/hall", "hall", "json");
    content("tools/data/s/attic~win", "attic~win", "json");
    content("data/s/attic", "attic", "json");
    content("data/s/porch", "porch", "json");
    content("tools/data/s/porch", "porch", "json");
    content("tools/data/s/shed", "shed", "json");
    file("data/s/bare~win/_bare~win.json", "");
    content("data/s/bare", "bare", "json");
    file("data/s/void/_void.json", "");
    content("data/s/wrongext", "wrongext", "scene");
    content("data/s/hall~win/ho~win", "ho~win", "json");
    build("data/s/hall\ndata/s/attic\ndata/s/porch\ndata/s/shed\ndata/s/bare\ndata/s/void\ndata/s/wrongext\n"
          "data/s/hall/ho\n");

    struct Case {
        const char* name;
        const char* folder;
        const char* baseName;
    } cases[] = {
        {"hall", "data/s/hall~win", "hall~win"},
        {"attic", "tools/data/s/attic~win", "attic~win"},
        {"porch", "data/s/porch", "porch"},
        {"shed", "tools/data/s/shed", "shed"},
        {"bare", "data/s/bare", "bare"}, // an empty variant file does not count
        {"hall_ho", "data/s/hall~win/ho~win", "ho~win"},
    };
    for (const Case& c : cases) {
        MScene* s = scene(c.name);
        ASSERT_NE(s, nullptr) << c.name;
        EXPECT_EQ(text(s->folder), c.folder) << c.name;
        EXPECT_EQ(text(s->baseName), c.baseName) << c.name;
    }
    EXPECT_EQ(scene("void"), nullptr) << "only an empty content file";
    EXPECT_EQ(scene("wrongext"), nullptr) << "content files use BuildSceneExt";
    MScene* ho = scene("hall_ho");
    EXPECT_EQ(ho->parent, scene("hall"));
    EXPECT_TRUE(ho->flags.hiddenObject && ho->flags.play) << "the variant is the same kind of scene";
}

TEST_F(RegistryFixture, DevScenesAndOtherEditionsAreDroppedAndDistrictsFollowTheTopAncestor) {
    file("data/game.cfg", "is_dev_scene=:lab:lab2:\r\n");
    const std::string lines =
        "data/s/lab\ndata/s/bonus_ce\ndata/s/bonus_ce/room\ndata/s/bonus_ce/room/zz_chest\n"
        "data/s/extra_ec\ndata/s/extra_ec/yard\ndata/s/plain\ndata/_interface/menu_ce\n";
    contentFor(lines);
    content("data/s/lab2~win", "lab2~win");
    build(lines + "data/s/lab2\n");
    EXPECT_EQ(names(), "game bonus_ce room zz_chest extra_ec yard plain menu_ce lab2")
        << "the dev list names registered names: lab2~win is not :lab2:";
    struct Case {
        const char* name;
        int district;
    } cases[] = {{"bonus_ce", 1}, {"room", 1}, {"zz_chest", 1}, {"extra_ec", 2},
                 {"yard", 2},     {"plain", 0}, {"menu_ce", 0}, {"game", 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(scene(c.name)->district, c.district) << c.name;
        EXPECT_EQ(scene(c.name)->cells.districtIndex.number, c.district) << c.name;
    }
    EXPECT_EQ(engine->registerScene(intern("data/s/lab"), nullptr, intern("lab")), nullptr);

    build(lines, [](MApplication& a) { a.build.collectorsEdition = false; });
    EXPECT_EQ(names(), "game plain") << "outside the collector's edition";
}

namespace {

std::string flagText(const SceneFlags& f) {
    std::string s;
    auto add = [&s](bool on, const char* name) {
        if (on) s += std::string(s.empty() ? "" : " ") + name;
    };
    add(f.system, "system");
    add(f.gameplay, "gameplay");
    add(f.main, "main");
    add(f.sub, "sub");
    add(f.zoomZone, "zz");
    add(f.zoomScene, "zs");
    add(f.puzzle, "puzzle");
    add(f.matchThree, "m3");
    add(f.minishow, "ms");
    add(f.play, "play");
    add(f.hiddenObject, "ho");
    add(f.item, "item");
    return s;
}

} // namespace

TEST_F(RegistryFixture, ClassificationTableWithAndWithoutOldStyleScenes) {
    file("data/game.cfg",
         "is_main_scene_title=1\r\nis_main_scene_zz_zero=0\r\nis_play_scene=:map:\r\n"
         "is_gameplay_scene_shop=1\r\nis_gameplay_scene_zz_peek=1\r\n");
    struct Case {
        const char* line;
        const char* name;
        const char* flags;
        const char* oldStyleFlags; // null: the same
    } cases[] = {
        {"data/g/room", "room", "gameplay main play", nullptr},
        {"data/g/room/item_key", "item_key", "gameplay item", nullptr},
        {"data/_interface/item_box", "item_box", "system gameplay item", nullptr},
        {"data/g/room/zz_drawer", "zz_drawer", "gameplay zz", nullptr},
        {"data/g/room/zz_m3_tiles", "zz_m3_tiles", "gameplay zz m3", nullptr},
        {"data/g/zz_alone", "zz_alone", "gameplay", nullptr}, // a failed condition ends the table
        {"data/g/room/zs_close", "zs_close", "gameplay zs play", nullptr},
        {"data/g/room/pz_safe", "pz_safe", "gameplay puzzle play", nullptr},
        {"data/g/room/pz_show_ms", "pz_show_ms", "gameplay puzzle ms play", nullptr},
        {"data/g/room/ho", "room_ho", "gameplay play ho", nullptr},
        {"data/g/room/ho_extra", "room_ho_extra", "gameplay play ho", nullptr},
        {"data/g/m3_board", "m3_board", "gameplay main m3 play", nullptr},
        {"data/_interface/m3_sys", "m3_sys", "system", nullptr},
        {"data/g/room/mg_old", "mg_old", "gameplay", "gameplay puzzle play"},
        {"data/g/room/mg_game_ms", "mg_game_ms", "gameplay", "gameplay puzzle ms play"},
        {"data/g/cs_intro", "cs_intro", "gameplay main play", "gameplay zs play"},
        {"data/_interface/cs_sys", "cs_sys", "system", "system play"},
        {"data/g/sub_menu", "sub_menu", "gameplay sub", nullptr},
        {"data/_interface/sub_menu2", "sub_menu2", "system sub", nullptr},
        {"tools/data/_interface/hud", "hud", "system", nullptr},
        {"data/_interface/title", "title", "system main play", nullptr},
        {"data/_interface/map", "map", "system play", nullptr},
        {"data/_interface/shop", "shop", "system gameplay", nullptr},
        {"data/_interface/gate", "gate", "system", nullptr},
        {"data/_interface/gate/zz_peek", "zz_peek", "system gameplay zz", nullptr},
        {"data/g/room/zz_zero", "zz_zero", "gameplay zz", nullptr},
    };
    std::string lines;
    for (const Case& c : cases) lines += std::string(c.line) + "\n";
    contentFor(lines);
    content("data/g/room/ho", "ho");
    content("data/g/room/ho_extra", "ho_extra");
    for (bool oldStyle : {false, true}) {
        build(lines, [oldStyle](MApplication& a) { a.settings.supportOldStyleScenes = oldStyle; });
        for (const Case& c : cases) {
            MScene* s = scene(c.name);
            ASSERT_NE(s, nullptr) << c.line;
            const char* expected = oldStyle && c.oldStyleFlags ? c.oldStyleFlags : c.flags;
            EXPECT_EQ(flagText(s->flags), expected) << c.line << (oldStyle ? " (old style)" : "");
        }
    }
}

TEST_F(RegistryFixture, ShortcutsTemplatesAndAMissingRegistry) {
    const std::string lines =
        "data/_interface/hud\ndata/_interface/overlay\ndata/_interface/inventory\n"
        "data/_interface/template_zz_kitchen\ndata/_interface/template_zz\ndata/_interface/template_zz_hall\n";
    contentFor(lines);
    build(lines);
    const MSceneRegistry& r = engine->scenes;
    EXPECT_EQ(r.hud, scene("hud"));
    EXPECT_EQ(r.overlay, scene("overlay"));
    EXPECT_EQ(r.inventory, scene("inventory"));
    EXPECT_NE(r.hud, nullptr);
    EXPECT_EQ(r.guiImages, nullptr);
    EXPECT_EQ(r.overHud, nullptr);
    EXPECT_EQ(r.particles, nullptr);
    ASSERT_EQ(r.templateScenes().size(), 2u);
    EXPECT_EQ(r.templateScenes()[0], scene("template_zz_kitchen"));
    EXPECT_EQ(r.templateScenes()[1], scene("template_zz_hall"));

    std::filesystem::remove(game / "data/scenes.cfg");
    stop();
    startEngine();
    engine->buildSceneRegistry();
    EXPECT_EQ(names(), "game");
    EXPECT_EQ(engine->scenes.hud, nullptr);
}

TEST_F(RegistryFixture, SceneTextIsReadOnceUntilReleased) {
    file("data/s/kitchen/_kitchen.scene", "{\"elements\":{}}");
    content("data/s/hall~win", "hall~win");
    file("data/s/hall~win/_hall~win.scene", "variant");
    build("data/s/kitchen\ndata/s/hall\n");
    TraceCapture trace;

    const SceneText& first = engine->sceneText(intern("kitchen"));
    ASSERT_NE(first.text, nullptr);
    EXPECT_EQ(first.size, 15);
    EXPECT_STREQ(first.text.get(), "{\"elements\":{}}");
    file("data/s/kitchen/_kitchen.scene", "{}");
    EXPECT_EQ(&engine->sceneText(intern("kitchen")), &first) << "cached";
    EXPECT_STREQ(engine->sceneText(intern("kitchen")).text.get(), "{\"elements\":{}}");
    EXPECT_STREQ(engine->sceneText(intern("hall")).text.get(), "variant") << "the variant's own file";

    const SceneText& missing = engine->sceneText(intern("nowhere"));
    EXPECT_EQ(missing.text, nullptr);
    EXPECT_EQ(missing.size, 0);
    engine->sceneText(intern("nowhere"));
    ASSERT_EQ(trace.lines().size(), 1u);
    EXPECT_EQ(trace.lines()[0], "ERROR: Scene 'nowhere' does not exist!");

    engine->releaseSceneTexts();
    EXPECT_STREQ(engine->sceneText(intern("kitchen")).text.get(), "{}") << "read again after the release";
}

TEST_F(RegistryFixture, ExtraConfigurationIsHeldFromRegistrationOn) {
    content("data/s/kitchen", "kitchen");
    file("data/s/kitchen/_kitchen.sxcfg", "anim:lamp=glow.png\r\nlevel=7\r\n");
    content("data/s/hall~win", "hall~win");
    file("data/s/hall~win/_hall~win.sxcfg", "level=3\r\n");
    content("data/s/porch", "porch");
    build("data/s/kitchen\ndata/s/hall\ndata/s/porch\n");
    struct Case {
        const char* scene;
        const char* path;
        int level;
    } cases[] = {{"kitchen", "data/s/kitchen/_kitchen.sxcfg", 7},
                 {"hall", "data/s/hall~win/_hall~win.sxcfg", 3},
                 {"porch", "data/s/porch/_porch.sxcfg", 0}}; // missing: an empty configuration
    for (const Case& c : cases) {
        MConfiguration* config = scene(c.scene)->extraConfig;
        ASSERT_NE(config, nullptr) << c.scene;
        EXPECT_STREQ(config->path, c.path);
        EXPECT_EQ(config->refCount, 1) << c.scene;
        EXPECT_EQ(config->getInt(intern("level"), 0), c.level) << c.scene;
        EXPECT_EQ(resources->find(c.path), config);
    }
}
