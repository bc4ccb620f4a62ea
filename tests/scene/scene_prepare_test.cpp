// Preparing loaded scenes, crop groups, held resources and the baseline.
#include "loader_fixture.h"

using namespace glint;
using namespace glint::test;

TEST_F(LoaderFixture, PreparingCentresTopLevelElementsAndStartsClocks) {
    sceneFile("data/s/room", R"({"elements": {
        "door": {"X": 10, "Y": -20, "C": {"knob": {"X": 1}}},
        "door_h": {},
        "flame": {"I": ["flame.png", 0, 10, 0, 0, 0.5, 1]},
        "tide": {"Y": [[0, 0], [300, 5]]},
        "sign": {}
    }, "groups": {"loops": ["flame", "tide"]}})");
    file("data/s/room/_room.sxcfg", "anim:sign=data/common/sign.png 3\r\n#mood=grim\r\n");
    registerScenes("data/s/room\n");
    int updates = 0;
    hooks.firstUpdate = [&](MScene& s) {
        EXPECT_TRUE(s.paused);
        ++updates;
    };
    MScene* room = load("room");
    room->prepare(context());
    room->prepare(context());
    EXPECT_EQ(updates, 1) << "prepared once";
    EXPECT_TRUE(room->prepared && !room->paused);

    EXPECT_FLOAT_EQ(element(room, "door")->channels[kChannelX], 10 + app->settings.screenW / 2);
    EXPECT_FLOAT_EQ(element(room, "door")->channels[kChannelY], -20 + app->settings.screenH / 2);
    EXPECT_FLOAT_EQ(element(room, "knob")->channels[kChannelX], 1) << "children stay relative to their parent";
    EXPECT_FALSE(element(room, "knob")->hasFlag(kElementParentChanged));

    ASSERT_EQ(room->hoverLinks.size(), 1u);
    EXPECT_EQ(room->hoverLinks[0]->element, element(room, "door"));
    EXPECT_EQ(room->hoverLinks[0]->highlight, element(room, "door_h"));
    EXPECT_FLOAT_EQ(room->hoverLinks[0]->hoverScale, 1);

    for (const char* looping : {"flame", "tide"}) {
        MElement* e = element(room, looping);
        ASSERT_NE(e->timeControl, nullptr) << looping;
        EXPECT_FLOAT_EQ(e->timeControl->speed, 1);
        EXPECT_TRUE(e->hasFlag(kElementTimeRunning) && e->hasFlag(kElementClockLoops)) << looping;
    }
    EXPECT_EQ(element(room, "door")->timeControl, nullptr);
    EXPECT_EQ(room->animated.size(), room->elements.size()) << "every element once, for its first evaluation";
    EXPECT_FLOAT_EQ(room->findGroup(intern("loops"))->loopTime, 3);

    MElement* sign = element(room, "sign");
    ASSERT_NE(sign->visual->image.texture, nullptr);
    EXPECT_STREQ(sign->visual->image.texture->path, "data/common/sign.png");
    EXPECT_EQ(sign->blendMode, 3);
    Value* mood = findVariable(room->scriptClass(), KindPlain, intern("mood"), nullptr, false);
    ASSERT_TRUE(mood && mood->isString());
    EXPECT_STREQ(mood->symbol()->text, "grim");
}

TEST_F(LoaderFixture, CropGroupsLinkTheirWindowAndReportConflicts) {
    sceneFile("data/s/room", R"({"elements": {
        "crop_box": {"Hs": [[[0, 0], [5, 0], [5, 5]]]}, "crop_lid": {}, "a": {}, "b": {}, "slot": {}
    }, "groups": {"crop_box": ["a", "b"], "crop_lid": ["b"], "crop_gone": ["a"], "slot$crop_in": ["a"],
                  "xcrop_plain": ["a"]}})");
    registerScenes("data/s/room\n");
    MScene* room = load("room");
    room->prepare(context());
    MElement* box = element(room, "crop_box");
    EXPECT_EQ(element(room, "a")->cropElement, box);
    EXPECT_EQ(element(room, "b")->cropElement, box) << "the first crop window stays";
    EXPECT_TRUE(trace.contains("ERROR Element $room:b has multiple crop elements: $crop_box and $crop_lid"));
    EXPECT_TRUE(trace.contains("ERROR Crop element does not exist: $room:crop_gone"));
    EXPECT_TRUE(trace.contains("ERROR Crop element does not exist: $room:slot$crop_in"));
    EXPECT_FALSE(trace.contains("xcrop_plain"));
    EXPECT_TRUE(trace.contains("ERROR: Crop elements cannot have hotspot - $room:crop_box"));
    EXPECT_FALSE(trace.contains("hotspot - $room:crop_lid"));
}

TEST_F(LoaderFixture, OpeningHoldsTexturesOnceAndClosingGivesThemBack) {
    sceneFile("data/s/room", R"({"elements": {"a": {"I": ["wall.png"]}, "b": {"I": ["wall.png"]}}})");
    sceneFile("data/s/room/zz_safe", R"({"elements": {"dial": {"I": ["dial.png"]}}})");
    registerScenes("data/s/room\ndata/s/room/zz_safe\n");
    MScene* room = load("room");
    MScene* safe = load("zz_safe");
    MTexture* wall = resources->texture("data/s/room/wall.png", false, false);
    MTexture* dial = resources->texture("data/s/room/zz_safe/dial.png", false, false);

    room->acquireResources(context());
    room->acquireResources(context());
    EXPECT_EQ(wall->refCount, 2) << "one reference per element, and only once";
    EXPECT_EQ(dial->refCount, 1) << "zoom zones open with their scene";
    room->releaseResources(context());
    room->releaseResources(context());
    EXPECT_EQ(wall->refCount, 0);
    EXPECT_EQ(dial->refCount, 0);
    EXPECT_FALSE(safe->resourcesHeld);
}

TEST_F(LoaderFixture, TheBaselineRecordsWhatDiffersFromTheDefaults) {
    sceneFile("data/s/room", R"({"elements": {"a": {}, "b": {}}})");
    registerScenes("data/s/room\n");
    MScene* room = load("room");
    MElement* a = element(room, "a");
    MElement* b = element(room, "b");
    b->flags &= ~kElementVisible;
    b->alpha = 512;
    b->setOffsetComponent(0, 3);
    b->flags |= 1u << 30;
    room->snapshotFlags();
    EXPECT_EQ(a->flags & 0x1FFF0000u, 0x30000u);
    EXPECT_EQ(b->flags & 0x1FFF0000u, 0x20000u | 0x800000u | 0x8000000u);
    EXPECT_TRUE(b->flags & (1u << 30)) << "bits the baseline does not own are kept";
    b->flags |= kElementVisible;
    room->snapshotFlags();
    EXPECT_TRUE(b->flags & 0x10000u);
}

TEST_F(LoaderFixture, ParticleAndMovieElementsFindTheirFiles) {
    sceneFile("data/s/room",
              R"({"elements": {"ps_smoke_2": {}, "ps_fire": {}, "ps_dust": {}, "movie_intro": {}, "movie_end": {}}})");
    file("data/s/room/_room.sxcfg", "image:movie_end=cellar:finale\r\n");
    file("data/_interface/particles/smoke.particles", "E 5\r\n");
    // Shape 2 emits from hotspot polygons, which the element lacks.
    file("data/_interface/particles/fire.particles", "H 2\r\n");
    sceneFile("data/s/cellar", "{}");
    registerScenes("data/s/room\ndata/s/cellar\n");
    std::vector<std::string> started;
    hooks.startParticles = [&](MScene&, MElement& e) { started.push_back(e.name->text); };
    MScene* room = load("room");
    room->prepare(context());

    EXPECT_EQ(started, (std::vector<std::string>{"ps_smoke_2", "ps_fire"}));
    ASSERT_NE(element(room, "ps_smoke_2")->visual->particleSystem, nullptr);
    EXPECT_STREQ(element(room, "ps_smoke_2")->visual->particleSystem->path, "data/_interface/particles/smoke.particles");
    EXPECT_STREQ(element(room, "ps_fire")->visual->particleSystem->path, "data/_interface/particles/fire.particles");
    EXPECT_EQ(element(room, "ps_dust")->visual->particleSystem, nullptr);
    EXPECT_TRUE(trace.contains("ERROR: Missing particles on $room:ps_dust (data/_interface/particles/dust.particles)"));
    EXPECT_TRUE(trace.contains("ERROR: Invalid particles shape on $room:ps_fire (data/_interface/particles/fire.particles)"));
    EXPECT_FALSE(trace.contains("shape on $room:ps_smoke_2"));

    EXPECT_STREQ(element(room, "movie_intro")->visual->image.movie->path, "data/s/room/movie_intro.ogv");
    const MImageAnim& end = element(room, "movie_end")->visual->image;
    ASSERT_TRUE(end.movie && end.texture);
    EXPECT_STREQ(end.movie->path, "data/s/cellar/finale.ogv");
    EXPECT_STREQ(end.texture->path, (std::string("data/s/cellar/finale.ogv.") + app->settings.texturesExt).c_str());
    EXPECT_EQ(end.texture->refCount, 1) << "the poster is held";
    EXPECT_FALSE(end.texture->isLoaded()) << "and never loaded: drawing takes the movie's frames";
}
