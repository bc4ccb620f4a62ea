// Particle emitters over ticks: burst timing and its clamps, directions
// that move through the emission phase, elements driven by their Em
// channel, hiding and reset, free-running effects that end, the commands
// that tune a system by name, and bounds a hostile description meets.
#include "update_fixture.h"

#include "resource/particle_system.h"
#include "scene/particle_effects.h"
#include "scene/particle_instance.h"
#include "support/test_support.h"

#include <memory>
#include <ostream>
#include <vector>

using namespace glint;
using namespace glint::test;

namespace {

// A system with one particle per burst that lives long enough to count.
std::unique_ptr<MParticleSystem> longLivedSystem(const char* path = "test.particles") {
    auto system = std::make_unique<MParticleSystem>(path);
    system->loaded = 1;
    system->countMin = system->countMax = 1;
    system->lifeMin = system->lifeMax = 100000;
    system->emitTime = 100000;
    return system;
}

// The ticks at which an instance's particle count grew.
std::vector<int> burstTicks(MParticleInstance& instance, int ticks) {
    std::vector<int> at;
    for (int tick = 1; tick <= ticks; ++tick) {
        const int before = instance.particleCount();
        instance.update(2);
        if (instance.particleCount() > before)
            at.push_back(tick);
    }
    return at;
}

struct RateCase {
    const char* name;
    float rate;
    int interval;
};

void PrintTo(const RateCase& c, std::ostream* os) { *os << c.name; }

class BurstTiming : public ::testing::TestWithParam<RateCase> {};

TEST_P(BurstTiming, FollowsTheClampedRate) {
    auto system = longLivedSystem();
    system->rateMin = system->rateMax = GetParam().rate;
    MParticleInstance* instance = takeParticleInstance(system.get());
    instance->loop = 1;
    instance->start();
    const std::vector<int> at = burstTicks(*instance, 2100);
    ASSERT_GE(at.size(), 3u);
    EXPECT_EQ(at[0], 1);
    EXPECT_EQ(at[1] - at[0], GetParam().interval);
    EXPECT_EQ(at[2] - at[1], GetParam().interval);
    giveBackParticleInstance(instance);
}

INSTANTIATE_TEST_SUITE_P(Rates, BurstTiming,
                         ::testing::Values(RateCase{"FivePerSecond", 5, 20}, RateCase{"SlowestIsATenth", 0.01f, 1000},
                                           RateCase{"FastestIsEveryTick", 500, 1}),
                         [](const ::testing::TestParamInfo<RateCase>& info) { return std::string(info.param.name); });

TEST(ParticleInstance, DirectionsMoveOverTheEmissionPhase) {
    auto system = longLivedSystem();
    system->rateMin = system->rateMax = 100;
    system->emitTime = 100;
    std::string text = "D 0 90 : 180 270";
    readParticleDescription(*system, text.data());
    MParticleInstance* instance = takeParticleInstance(system.get());
    instance->start();
    for (int tick = 0; tick < 99; ++tick)
        instance->update(2);
    ASSERT_EQ(instance->particleCount(), 99);
    const MParticle* first = instance->particles;
    const MParticle* last = first->prev;
    EXPECT_GE(first->direction, 0);
    EXPECT_LE(first->direction, 93) << "born at the start of the phase";
    EXPECT_GE(last->direction, 178);
    EXPECT_LE(last->direction, 270) << "born at its end";
    giveBackParticleInstance(instance);
}

TEST(ParticleInstance, AnEffectWithoutLoopEndsWhenItsLastParticleDies) {
    auto system = longLivedSystem();
    system->emitTime = 10;
    system->lifeMin = system->lifeMax = 30;
    system->rateMin = system->rateMax = 100;
    system->total = 4;
    const size_t instancesBefore = liveParticleInstanceCount(), particlesBefore = liveParticleCount();
    MElement source;
    MElementVisual visual;
    visual.particleSystem = system.get();
    source.visual = &visual;
    MScene scene;
    ASSERT_NE(startFreeEffect(source, scene, nullptr, 10, 20, 1, 1, 1), nullptr);
    advanceFreeEffects();
    advanceFreeEffects();
    EXPECT_EQ(liveParticleCount(), particlesBefore + 2);
    for (int tick = 0; tick < 20; ++tick)
        advanceFreeEffects();
    EXPECT_EQ(liveParticleCount(), particlesBefore + 4) << "the total stops emission";
    for (int tick = 0; tick < 30 && freeEffectCount() > 0; ++tick)
        advanceFreeEffects();
    EXPECT_EQ(freeEffectCount(), 0);
    EXPECT_EQ(liveParticleInstanceCount(), instancesBefore);
    EXPECT_EQ(liveParticleCount(), particlesBefore);
    source.visual = nullptr;
}

TEST(ParticleInstance, AHostileDescriptionStaysBounded) {
    auto system = longLivedSystem();
    std::string text = "C 1000000\nE 100\nL 99999";
    readParticleDescription(*system, text.data());
    MParticleInstance* instance = takeParticleInstance(system.get());
    instance->loop = 1;
    instance->start();
    instance->update(2);
    EXPECT_EQ(instance->particleCount(), kMaxBurstParticles);
    system->countMin = system->countMax = 0;
    instance->start();
    instance->prewarm(); // a life of 99999 ticks would run that many updates
    EXPECT_EQ(instance->age, kMaxPrewarmTicks);
    giveBackParticleInstance(instance);
}

// ---- particle elements in a scene ----

struct ParticleElementFixture : UpdateFixture {
    std::unique_ptr<MParticleSystem> system = longLivedSystem();

    ParticleElementFixture() { registerParticleCommands(); }

    MElement* emitter(const char* name = "ps_sparks") {
        MElement* e = make(name);
        e->visual->kindFlags |= kVisualParticleSystem;
        e->visual->particleSystem = system.get();
        attachParticleInstance(room, *e);
        return e;
    }
    void ticks(int count) {
        for (int i = 0; i < count; ++i) {
            room.clockRuns = true;
            room.update(true);
        }
    }
};

TEST_F(ParticleElementFixture, EmissionFollowsTheEmChannelWhileParticlesAge) {
    system->lifeMin = system->lifeMax = 50;
    system->rateMin = system->rateMax = 100;
    MElement* sparks = emitter();
    ticks(1);
    ASSERT_NE(sparks->particles, nullptr);
    EXPECT_EQ(sparks->particles->particleCount(), 49) << "a visible emitter starts full";
    sparks->channels[kChannelEmission] = 0.2f;
    sparks->markTransformDirty();
    ticks(10);
    EXPECT_EQ(sparks->particles->age, 0) << "held at its start";
    EXPECT_EQ(sparks->particles->particleCount(), 39) << "nothing new, the old ones age";
    ticks(40);
    EXPECT_EQ(sparks->particles->particleCount(), 0);
    sparks->channels[kChannelEmission] = 1;
    sparks->markTransformDirty();
    ticks(5);
    EXPECT_EQ(sparks->particles->particleCount(), 5);
}

TEST_F(ParticleElementFixture, HidingClearsTheParticlesAndResetStartsOver) {
    system->lifeMin = system->lifeMax = 50;
    system->rateMin = system->rateMax = 100;
    MElement* sparks = emitter();
    run("fun calm {\n  hide $ps_sparks\n}\nfun again {\n  reset $ps_sparks\n  show $ps_sparks\n  start $ps_sparks\n}\n");
    ticks(3);
    ASSERT_GT(sparks->particles->particleCount(), 0);
    callScopeFunction(room.scope, intern("calm"), nullptr, 0);
    EXPECT_EQ(sparks->particles->particleCount(), 0);
    ticks(3);
    EXPECT_EQ(sparks->particles->particleCount(), 0) << "a hidden element is inactive";
    callScopeFunction(room.scope, intern("again"), nullptr, 0);
    EXPECT_FALSE(sparks->particles->running);
    ticks(1);
    EXPECT_TRUE(sparks->particles->running);
    EXPECT_EQ(sparks->particles->particleCount(), 49) << "started full again";
}

TEST_F(ParticleElementFixture, ScriptsTuneTheSystemInTheirOwnUnits) {
    emitter();
    run("fun tune {\n  set_ps_option $ps_sparks \"ps_color_r_from\" 255\n"
        "  set_ps_option $ps_sparks \"ps_wind_x\" 50\n  set_ps_option $ps_sparks \"ps_life_time_max\" 1.5\n"
        "  set_ps_option $ps_sparks \"ps_emitter_size_x_min\" 3\n  set_ps_option $ps_sparks \"ps_option_b\" 1\n"
        "  set_ps_option $ps_sparks \"ps_no_such_option\" 4\n"
        "  get_ps_option #red $ps_sparks \"ps_color_r_from\"\n  get_ps_option #wind $ps_sparks \"ps_wind_x\"\n"
        "  get_ps_option #life $ps_sparks \"ps_life_time_max\"\n  set #none 5\n"
        "  get_ps_option #none $ps_sparks \"ps_no_such_option\"\n}\n");
    system->red[0] = 0;
    callScopeFunction(room.scope, intern("tune"), nullptr, 0);
    EXPECT_FLOAT_EQ(system->red[0], 1);
    EXPECT_FLOAT_EQ(system->windX, 0.005f);
    EXPECT_EQ(system->lifeMax, 150);
    EXPECT_EQ(system->sizeXSecond, 3);
    EXPECT_TRUE(system->option('B'));
    EXPECT_DOUBLE_EQ(number("red"), 255);
    EXPECT_NEAR(number("wind"), 50, 1e-3);
    EXPECT_DOUBLE_EQ(number("life"), 1.5);
    EXPECT_TRUE(value("none").isNone());
}

TEST_F(ParticleElementFixture, SavePsWritesTheFileBack) {
    TempDir folder;
    const std::string path = (folder / "sparks.particles").string();
    system = longLivedSystem(path.c_str());
    system->sizeX[0] = system->sizeX[1] = system->sizeX[2] = system->sizeX[3] = 10;
    emitter();
    run("fun keep {\n  save_ps $ps_sparks\n}\n");
    callScopeFunction(room.scope, intern("keep"), nullptr, 0);
    const std::string text = readFile((folder / "sparks.particles").string());
    EXPECT_NE(text.find("\r\nX 10\r\n"), std::string::npos) << text;
}

TEST_F(ParticleElementFixture, EmitPlacesAnEffectByAnchorAndCameraScale) {
    MElement* sparks = emitter();
    MElement* lamp = box("lamp", 10, 10, 100, 50);
    ticks(1);
    setGlobal(sym::Global_camera_scale_x(), Value::fromNumber(2));
    setGlobal(sym::Global_camera_scale_y(), Value::fromNumber(0));
    run("fun burst {\n  emit $ps_sparks $lamp 20 30 0 0.5\n}\n");
    releaseFreeEffects();
    callScopeFunction(room.scope, intern("burst"), nullptr, 0);
    ASSERT_EQ(freeEffectCount(), 1);
    const MParticleInstance& effect = *freeEffectAt(0);
    EXPECT_EQ(effect.scene, &room) << "the anchor's scene";
    EXPECT_EQ(effect.owner, nullptr);
    EXPECT_EQ(effect.source, sparks);
    EXPECT_FLOAT_EQ(effect.baseX, 20 / 2.0f + lamp->absX);
    EXPECT_FLOAT_EQ(effect.baseY, 30 + lamp->absY) << "a camera scale of 0 divides nothing";
    EXPECT_FLOAT_EQ(effect.colorR, 0.5f);
    EXPECT_FLOAT_EQ(effect.colorG, 1);
    releaseFreeEffects();
}

} // namespace
