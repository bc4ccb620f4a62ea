#include "engine/system/log.h"
#include "resource/resource_manager.h"
#include "script/symbol.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

using namespace glint;
using glint::test::TempDir;
using glint::test::writeFile;

namespace {

using Lines = std::vector<std::string>;

// A manager with the resource trace on and its lines collected; the traces
// show exactly which loads and unloads the manager performed.
class ResourceManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        setTraceSink([](const char* line, void* user) { static_cast<Lines*>(user)->push_back(line); }, &traces);
        setResourceTrace(true);
    }
    void TearDown() override {
        setResourceTrace(false);
        setTraceSink(nullptr, nullptr);
    }
    // The lines traced since the last call.
    Lines take() {
        Lines lines;
        lines.swap(traces);
        return lines;
    }
    MTexture* tex(const std::string& path) { return manager.texture(path.c_str(), false, false); }
    // Queues a texture per path in mode 2.
    std::vector<MTexture*> queueTextures(int count) {
        manager.setMode(kLoadModeQueue);
        std::vector<MTexture*> queued;
        for (int i = 0; i < count; ++i)
            queued.push_back(manager.texture(("q" + std::to_string(i)).c_str(), true, false));
        return queued;
    }

    Lines traces;
    MResourceManager manager;
};

constexpr uint8_t kQueuedAndCounted = kResourceQueued | kResourceCounted;

} // namespace

// ---- registration ----

TEST_F(ResourceManagerTest, EachPathHasOneResourceOfOneKind) {
    using Make = std::function<MResource*(MResourceManager&, const char*)>;
    const Make kinds[] = {
        [](MResourceManager& m, const char* p) { return m.texture(p, false, false); },
        [](MResourceManager& m, const char* p) { return m.particleSystem(p); },
        [](MResourceManager& m, const char* p) { return m.soundFile(p); },
        [](MResourceManager& m, const char* p) { return m.video(p); },
        [](MResourceManager& m, const char* p) { return m.configuration(p, false, false); },
    };
    for (int first = 0; first < 5; ++first) {
        MResourceManager m;
        MResource* registered = kinds[first](m, "data/room/shared");
        ASSERT_NE(registered, nullptr);
        EXPECT_EQ(static_cast<int>(registered->kind), first + 1);
        EXPECT_EQ(kinds[first](m, "data/room/shared"), registered) << "kind " << first + 1;
        EXPECT_EQ(m.find("data/room/shared"), registered);
        for (int other = 0; other < 5; ++other) {
            if (other != first) {
                EXPECT_EQ(kinds[other](m, "data/room/shared"), nullptr) << first + 1 << " then " << other + 1;
            }
        }
        EXPECT_EQ(registered->next, nullptr) << "a refused request registers nothing";
        EXPECT_EQ(kinds[first](m, nullptr), nullptr);
    }
    EXPECT_EQ(manager.find(nullptr), nullptr);
    EXPECT_EQ(manager.find("never"), nullptr);
}

TEST_F(ResourceManagerTest, PathsAreCopiedAndComparedExactly) {
    std::string path = "data/room/door.png";
    MTexture* door = manager.texture(path.c_str(), false, false);
    path[0] = 'X'; // the caller's buffer is not the registered path
    EXPECT_STREQ(door->path, "data/room/door.png");
    EXPECT_EQ(tex("data/room/door.png"), door);
    EXPECT_NE(tex("data/room/Door.png"), door);
    EXPECT_NE(tex("data/room/door.png "), door);
    EXPECT_NE(tex("data/room/door"), door);
    EXPECT_NE(tex(""), nullptr) << "the empty path is a path like others";
}

TEST_F(ResourceManagerTest, ObjectsStayPutAndListKeepsCreationOrder) {
    // Enough of one kind for several blocks and long bucket chains, mixed
    // with the other kinds.
    std::vector<MResource*> created;
    for (int i = 0; i < 250; ++i) {
        std::string path = "data/scene/image_" + std::to_string(i) + ".png";
        created.push_back(tex(path));
        if (i % 60 == 0) {
            created.push_back(manager.soundFile((path + ".ogg").c_str()));
            created.push_back(manager.video((path + ".ogv").c_str()));
            created.push_back(manager.configuration((path + ".cfg").c_str(), false, false));
        }
    }
    std::vector<MResource*> listed;
    for (MResource* r = manager.first(); r; r = r->next) listed.push_back(r);
    EXPECT_EQ(listed, created);
    for (int i = 0; i < 250; ++i) {
        std::string path = "data/scene/image_" + std::to_string(i) + ".png";
        MTexture* found = tex(path);
        ASSERT_NE(found, nullptr) << path;
        EXPECT_STREQ(found->path, path.c_str());
    }
    EXPECT_EQ(tex("data/scene/image_0.png"), created[0]);
    EXPECT_EQ(tex("data/scene/image_249.png"), created.back());
}

TEST_F(ResourceManagerTest, NewConfigurationsAreMarkedAsSceneRegistered) {
    MConfiguration* config = manager.configuration("data/room/room.sxcfg", false, false);
    EXPECT_EQ(config->state, kResourceRegisteredByScene);
    EXPECT_EQ(config->refCount, 0);
    EXPECT_EQ(tex("data/room/a.png")->state, 0);
}

TEST_F(ResourceManagerTest, SoundsAndVideosAreOnlyRegistered) {
    MSoundFile* sound = manager.soundFile("data/room/_sounds/door.ogg");
    MVideo* movie = manager.video("data/room/intro.ogv");
    EXPECT_EQ(sound->refCount, 0);
    EXPECT_EQ(movie->refCount, 0);
    EXPECT_FALSE(sound->isLoaded());
    EXPECT_FALSE(movie->hasPlayer());
    EXPECT_TRUE(take().empty());
}

// ---- reference counting ----

TEST_F(ResourceManagerTest, FirstHolderLoadsAndLastHolderUnloads) {
    MTexture* door = manager.texture("door.png", true, false);
    manager.acquire(door, false);
    EXPECT_EQ(take(), Lines{"LOAD door.png"});
    EXPECT_EQ(door->refCount, 2);
    EXPECT_TRUE(door->isLoaded());

    manager.release(door);
    EXPECT_TRUE(take().empty());
    EXPECT_TRUE(door->isLoaded());

    manager.release(door);
    EXPECT_EQ(take(), Lines{"UNLOAD door.png"});
    EXPECT_FALSE(door->isLoaded());
    EXPECT_EQ(tex("door.png"), door) << "an unloaded resource stays registered";

    manager.acquire(door, false);
    EXPECT_EQ(take(), Lines{"LOAD door.png"});
}

TEST_F(ResourceManagerTest, TracesOnlyWhenAsked) {
    setResourceTrace(false);
    MTexture* door = manager.texture("door.png", true, true);
    manager.release(door);
    EXPECT_TRUE(take().empty());
}

TEST_F(ResourceManagerTest, ReleasingWhatNobodyHoldsChangesNothing) {
    MTexture* door = tex("door.png");
    manager.acquire(nullptr, true);
    manager.release(nullptr);
    manager.release(door);
    EXPECT_EQ(door->refCount, 0);
    EXPECT_EQ(take(), Lines{"WARNING: release of door.png, which nobody holds"});
    // The stray release must not eat a later holder's reference.
    manager.acquire(door, true);
    manager.release(door);
    EXPECT_EQ(take(), (Lines{"LOAD door.png", "UNLOAD door.png"}));
}

TEST_F(ResourceManagerTest, SubTexturesLoadTheirAtlasPage) {
    MTexture* page = tex("atlas_0.png");
    MTexture* key = tex("room/key.png");
    MTexture* coin = tex("room/coin.png");
    key->atlasParent = page;
    coin->atlasParent = page;

    manager.acquire(key, false);
    EXPECT_EQ(take(), Lines{"LOAD atlas_0.png"});
    EXPECT_TRUE(page->isLoaded());
    EXPECT_FALSE(key->isLoaded()) << "a sub-texture has no contents of its own";
    EXPECT_EQ(key->state, kResourceCounted);

    manager.acquire(coin, false);
    manager.acquire(key, false);
    EXPECT_TRUE(take().empty());
    EXPECT_EQ(page->refCount, 2) << "one page reference per held sub-texture";

    manager.release(key);
    manager.release(key);
    EXPECT_TRUE(take().empty());
    EXPECT_EQ(key->state, 0);
    manager.release(coin);
    EXPECT_EQ(take(), Lines{"UNLOAD atlas_0.png"});
    EXPECT_EQ(page->refCount, 0);
}

TEST_F(ResourceManagerTest, AtlasPageHeldDirectlyOutlivesItsSubTextures) {
    MTexture* page = tex("atlas_0.png");
    MTexture* key = tex("room/key.png");
    key->atlasParent = page;
    manager.acquire(page, true);
    manager.acquire(key, true);
    manager.release(key);
    EXPECT_TRUE(page->isLoaded());
    manager.release(page);
    EXPECT_EQ(take(), (Lines{"LOAD atlas_0.png", "UNLOAD atlas_0.png"}));
}

// ---- the load queue ----

TEST_F(ResourceManagerTest, ModeTwoQueuesAndStepsLoadElevenCounted) {
    std::vector<MTexture*> queued = queueTextures(15);
    EXPECT_TRUE(take().empty());
    for (MTexture* t : queued) EXPECT_EQ(t->state, kQueuedAndCounted) << t->path;

    EXPECT_FALSE(manager.loadQueued(10));
    EXPECT_EQ(take().size(), 11u);
    EXPECT_TRUE(queued[10]->isLoaded());
    EXPECT_FALSE(queued[11]->isLoaded());
    EXPECT_EQ(manager.mode(), kLoadModeQueue);

    EXPECT_TRUE(manager.loadQueued(10)) << "the next step goes on where the last one stopped";
    EXPECT_EQ(take(), (Lines{"LOAD q11", "LOAD q12", "LOAD q13", "LOAD q14"}));
    EXPECT_EQ(manager.mode(), kLoadModeImmediate);
    for (MTexture* t : queued) {
        EXPECT_TRUE(t->isLoaded()) << t->path;
        EXPECT_EQ(t->state, 0) << t->path;
    }
    EXPECT_TRUE(manager.loadQueued(10));
    EXPECT_TRUE(take().empty()) << "nothing loads twice";
}

TEST_F(ResourceManagerTest, SubTexturesCountInTheLoadingStep) {
    // The page and its queued sub-textures each count: the step stops after
    // the page and two of them.
    manager.setMode(kLoadModeQueue);
    MTexture* page = tex("atlas_0.png");
    std::vector<MTexture*> parts;
    for (int i = 0; i < 3; ++i) {
        parts.push_back(tex("part" + std::to_string(i)));
        parts.back()->atlasParent = page;
        manager.acquire(parts.back(), false);
    }
    MTexture* after = manager.texture("after.png", true, false);
    EXPECT_FALSE(manager.loadQueued(2));
    EXPECT_EQ(take(), Lines{"LOAD atlas_0.png"});
    EXPECT_EQ(parts[2]->state, kResourceCounted);
    EXPECT_TRUE(manager.loadQueued(2));
    EXPECT_EQ(take(), Lines{"LOAD after.png"});
    EXPECT_TRUE(after->isLoaded());
}

TEST_F(ResourceManagerTest, ImmediateAcquisitionsLoadAtOnceInEveryMode) {
    const uint8_t modes[] = {kLoadModeImmediate, kLoadModeStartup, kLoadModeQueue, kLoadModeDrain};
    for (uint8_t mode : modes) {
        for (bool defer : {false, true}) {
            MResourceManager m;
            m.setMode(mode);
            m.setDeferLoads(defer);
            MTexture* now = m.texture("now.png", true, true);
            MTexture* later = m.texture("later.png", true, false);
            bool queues = defer || mode == kLoadModeQueue;
            EXPECT_TRUE(now->isLoaded()) << int(mode) << defer;
            EXPECT_EQ(later->isLoaded(), !queues) << int(mode) << defer;
            EXPECT_EQ(later->state, queues ? kQueuedAndCounted : 0) << int(mode) << defer;
        }
    }
}

TEST_F(ResourceManagerTest, ReleasedBeforeTheDrainNeverLoads) {
    std::vector<MTexture*> queued = queueTextures(3);
    manager.release(queued[1]);
    EXPECT_EQ(queued[1]->state, 0);
    // A dropped load is not counted either: q2 is the second counted one.
    EXPECT_FALSE(manager.loadQueued(1));
    EXPECT_EQ(take(), (Lines{"LOAD q0", "LOAD q2"}));
    EXPECT_FALSE(queued[1]->isLoaded());
    EXPECT_TRUE(manager.loadQueued(1));
    EXPECT_TRUE(take().empty());
}

TEST_F(ResourceManagerTest, ImmediateHolderDoesNotWaitForAQueuedLoad) {
    std::vector<MTexture*> queued = queueTextures(2);
    manager.acquire(queued[1], true);
    EXPECT_EQ(take(), Lines{"LOAD q1"});
    EXPECT_TRUE(manager.loadQueued(10));
    EXPECT_EQ(take(), Lines{"LOAD q0"});
    manager.release(queued[1]);
    manager.release(queued[1]);
    EXPECT_EQ(take(), Lines{"UNLOAD q1"});

    // Through an atlas page: the page is what loads.
    MTexture* page = tex("atlas_0.png");
    MTexture* key = tex("key.png");
    key->atlasParent = page;
    manager.setMode(kLoadModeQueue);
    manager.acquire(key, false);
    manager.acquire(key, true);
    EXPECT_EQ(take(), Lines{"LOAD atlas_0.png"});
}

TEST_F(ResourceManagerTest, DeferredLoadsAnywhereInTheListLoadInOnePass) {
    MTexture* early = tex("early.png");
    manager.beginLoadingSequence();
    EXPECT_EQ(manager.mode(), kLoadModeDrain);
    EXPECT_TRUE(manager.loadQueued(10));

    // A scene switch later defers the acquisition of its resources.
    manager.setDeferLoads(true);
    manager.acquire(early, false);
    MTexture* late = manager.texture("late.png", true, false);
    std::vector<MTexture*> many = queueTextures(30);
    manager.setMode(kLoadModeImmediate);
    manager.setDeferLoads(false);
    EXPECT_TRUE(take().empty());

    manager.loadAllQueued();
    Lines loads = take();
    ASSERT_EQ(loads.size(), 32u);
    EXPECT_EQ(loads[0], "LOAD early.png") << "resources before the last sequence's end are not skipped";
    EXPECT_EQ(loads[1], "LOAD late.png");
    EXPECT_TRUE(late->isLoaded());
    EXPECT_TRUE(many.back()->isLoaded());
    EXPECT_EQ(manager.mode(), kLoadModeImmediate);
}

TEST_F(ResourceManagerTest, LoadingSequenceRestartsAtTheHead) {
    std::vector<MTexture*> queued = queueTextures(3);
    EXPECT_TRUE(manager.loadQueued(10));
    take();
    manager.setMode(kLoadModeQueue);
    manager.release(queued[0]);
    manager.acquire(queued[0], false);
    MTexture* added = manager.texture("added.png", true, false);
    manager.beginLoadingSequence();
    EXPECT_TRUE(manager.loadQueued(10));
    EXPECT_EQ(take(), (Lines{"UNLOAD q0", "LOAD q0", "LOAD added.png"}));
    EXPECT_TRUE(added->isLoaded());
}

// ---- holding rules and particle systems ----

TEST_F(ResourceManagerTest, TextureHoldingFollowsLazyDynamicAndMode) {
    struct Case {
        uint8_t lazy, dynamic, mode;
        TextureHolding holding;
    } cases[] = {
        {0, 0, kLoadModeImmediate, TextureHolding::WhileOpen},
        {0, 0, kLoadModeQueue, TextureHolding::WhileOpen},
        {1, 0, kLoadModeImmediate, TextureHolding::None},
        {1, 0, kLoadModeStartup, TextureHolding::WhileOpen},
        {1, 0, kLoadModeQueue, TextureHolding::WhileOpen},
        {1, 0, kLoadModeDrain, TextureHolding::WhileOpen},
        {0, 1, kLoadModeImmediate, TextureHolding::WhileVisible},
        {1, 1, kLoadModeImmediate, TextureHolding::WhileVisible},
        {1, 1, kLoadModeDrain, TextureHolding::WhileVisible},
    };
    MTexture* t = tex("image.png");
    for (const Case& c : cases) {
        t->lazy = c.lazy;
        t->dynamic = c.dynamic;
        manager.setMode(c.mode);
        EXPECT_EQ(manager.textureHolding(t), c.holding)
            << "lazy " << int(c.lazy) << " dynamic " << int(c.dynamic) << " mode " << int(c.mode);
    }
    EXPECT_EQ(manager.textureHolding(nullptr), TextureHolding::None);
}

TEST_F(ResourceManagerTest, ParticleSystemsLoadAtOnceOnEveryRequest) {
    manager.setMode(kLoadModeQueue);
    MParticleSystem* smoke = manager.particleSystem("data/_interface/particles/smoke.particles");
    EXPECT_EQ(smoke->loaded, 0) << "there is no such file";
    EXPECT_EQ(manager.particleSystem("data/_interface/particles/smoke.particles"), smoke);
    EXPECT_EQ(smoke->refCount, 2);
    EXPECT_EQ(take(), Lines{"LOAD data/_interface/particles/smoke.particles"});
}

TEST_F(ResourceManagerTest, ParticleSystemHoldsItsImageOnce) {
    MParticleSystem* sparks = manager.particleSystem("sparks.particles");
    MTexture* image = tex("spark.png");
    MVideo* movie = manager.video("spark.ogv");
    sparks->image = {image, movie};
    take();

    manager.acquire(sparks, false);
    manager.acquire(sparks, false);
    EXPECT_EQ(sparks->imageHeld, kImageHeldMovie | kImageHeldTexture);
    EXPECT_EQ(image->refCount, 1);
    EXPECT_EQ(movie->refCount, 1);
    EXPECT_EQ(take(), (Lines{"LOAD spark.ogv", "LOAD spark.png"}));

    manager.release(sparks);
    EXPECT_EQ(sparks->imageHeld, 0);
    EXPECT_EQ(take(), (Lines{"UNLOAD spark.ogv", "UNLOAD spark.png"}));
    manager.release(sparks);
    EXPECT_EQ(sparks->refCount, 1);
    EXPECT_TRUE(take().empty()) << "the image was given back once, by the first release";
}

TEST_F(ResourceManagerTest, ParticleImageReleaseMatchesWhatWasTaken) {
    // A lazy image is skipped while mode is 0; the release must give back
    // what the acquisition took even when the mode changed in between.
    struct Case {
        uint8_t acquireMode, releaseMode;
        int heldCount;
    } cases[] = {
        {kLoadModeImmediate, kLoadModeQueue, 0},
        {kLoadModeDrain, kLoadModeImmediate, 1},
        {kLoadModeDrain, kLoadModeDrain, 1},
    };
    for (const Case& c : cases) {
        MResourceManager m;
        MParticleSystem* dust = m.particleSystem("dust.particles");
        MTexture* image = m.texture("dust.png", false, false);
        image->lazy = 1;
        dust->image.texture = image;
        m.setMode(c.acquireMode);
        m.acquire(dust, true);
        EXPECT_EQ(image->refCount, c.heldCount) << int(c.acquireMode);
        m.setMode(c.releaseMode);
        m.release(dust);
        EXPECT_EQ(image->refCount, 0) << int(c.acquireMode) << " then " << int(c.releaseMode);
        EXPECT_FALSE(image->isLoaded());
    }
    for (const std::string& line : take()) EXPECT_EQ(line.find("WARNING"), std::string::npos) << line;
}

// ---- configurations through the manager ----

TEST_F(ResourceManagerTest, ConfigurationsLoadWhenHeldAndTraceOnce) {
    TempDir dir;
    writeFile(dir / "room.sxcfg", "a=1\r\nb=two\r\n");
    std::string path = (dir / "room.sxcfg").string();
    MConfiguration* config = manager.configuration(path.c_str(), true, false);
    EXPECT_EQ(config->getInt(intern("a"), 0), 1);
    EXPECT_EQ(config->state, kResourceRegisteredByScene);
    Lines lines = take();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "LOAD " + path), 1);

    manager.setMode(kLoadModeQueue);
    MConfiguration* queued = manager.configuration((dir / "other.cfg").c_str(), true, false);
    EXPECT_EQ(queued->state, kResourceRegisteredByScene | kQueuedAndCounted);

    manager.release(config);
    EXPECT_EQ(config->entryCount(), 0);
}
