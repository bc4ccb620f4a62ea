#include "element_fixture.h"

#include "engine/text/text.h"
#include "scene/activity.h"
#include "scene/animation.h"
#include "scene/scene_engine_state.h"
#include "text/font_list.h"

using namespace glint;
using namespace glint::test;

namespace {

MKeyTrack track(std::vector<std::pair<int32_t, float>> keys) {
    MKeyTrack t;
    for (auto [time, value] : keys) {
        t.times.push_back(time);
        t.values.push_back(value);
    }
    return t;
}

struct TrackCase {
    const char* name;
    std::vector<std::pair<int32_t, float>> keys;
    int channel;
    float time;
    float expected;
};

// Failures name the case, not its bytes.
void PrintTo(const TrackCase& c, std::ostream* out) { *out << c.name; }

class TrackValue : public ::testing::TestWithParam<TrackCase> {};

TEST_P(TrackValue, FollowsTheKeys) {
    const TrackCase& c = GetParam();
    EXPECT_FLOAT_EQ(trackValue(track(c.keys), c.channel, c.time), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TrackValue,
    ::testing::Values(
        TrackCase{"linear_between_keys", {{0, 0}, {100, 10}}, kChannelX, 50, 5},
        TrackCase{"idle_loop_wraps", {{0, 0}, {100, 10}}, kChannelX, 150, 5},
        TrackCase{"before_the_first_key_holds_it", {{-100, 3}, {0, 7}}, kChannelX, -250, 3},
        TrackCase{"a_segment_ending_at_zero_holds_the_last", {{-100, 3}, {0, 7}}, kChannelX, 20, 7},
        TrackCase{"opacity_steps_between_close_keys", {{0, 0}, {5, 1}}, kChannelAlpha, 3, 0},
        TrackCase{"opacity_step_reaches_the_next_key", {{0, 0}, {5, 1}}, kChannelAlpha, 5, 1},
        TrackCase{"opacity_far_apart_is_linear", {{0, 0}, {50, 1}}, kChannelAlpha, 25, 0.5f},
        TrackCase{"angle_turns_the_short_way", {{0, 350}, {100, 10}}, kChannelAngle, 50, 360},
        TrackCase{"a_single_key", {{40, 9}}, kChannelY, 500, 9},
        TrackCase{"no_keys", {}, kChannelY, 5, 0}),
    [](const auto& info) { return std::string(info.param.name); });

struct AnimationTest : ElementFixture {
    MElement* lamp = nullptr;
    void SetUp() override {
        sceneActivity().clear();
        lamp = make("lamp");
        lamp->visual->track(kChannelX) = track({{-100, -50}, {0, 0}});
        lamp->parent = nullptr;
    }
    void ticks(int count) {
        for (int i = 0; i < count; ++i)
            room.updateAnimation(true, 512, 384);
    }
};

TEST_F(AnimationTest, AScriptedSegmentPlaysHoldsItsLastPoseAndKeepsTheSceneBusy) {
    lamp->animate(0, -100, 1, false, nullptr, false);
    EXPECT_FALSE(sceneActivity().busy(&room)) << "played from 0: the start of the loop, not a segment";

    lamp->animate(-1, -100, 1, false, nullptr, false);
    EXPECT_TRUE(sceneActivity().busy(&room));
    ticks(50);
    EXPECT_FLOAT_EQ(lamp->time, -51);
    EXPECT_FLOAT_EQ(lamp->channels[kChannelX], 512 - 25.5f) << "top-level elements sit on the game centre";
    ticks(60);
    EXPECT_FLOAT_EQ(lamp->time, -100);
    EXPECT_EQ(lamp->timeControl, nullptr);
    EXPECT_TRUE(room.animated.empty());
    EXPECT_FLOAT_EQ(lamp->channels[kChannelX], 512 - 50);
}

TEST_F(AnimationTest, SpeedsHaveAFloorAndLockedChannelsStay) {
    lamp->animate(0, -100, 0, false, nullptr, false);
    EXPECT_FLOAT_EQ(lamp->timeControl->speed, kMinTimeControlSpeed);
    lamp->flags |= kElementPositionLocked;
    lamp->channels[kChannelX] = 7;
    ticks(1);
    EXPECT_FLOAT_EQ(lamp->channels[kChannelX], 7);
}

TEST_F(AnimationTest, WithTheSceneClockStoppedTheTracksAreStillApplied) {
    lamp->animate(-50, -100, 1, false, nullptr, false);
    room.updateAnimation(false, 512, 384);
    EXPECT_FLOAT_EQ(lamp->time, -50);
    EXPECT_FLOAT_EQ(lamp->channels[kChannelX], 512 - 25);
}

TEST_F(AnimationTest, AnOpenEndedRunWithNothingToLoopStops) {
    lamp->animate(0, 0, 1, false, nullptr, true);
    ticks(1);
    EXPECT_FLOAT_EQ(lamp->time, 0);
    EXPECT_EQ(lamp->timeControl, nullptr);
}

TEST_F(AnimationTest, AReversedFadeContinuesFromItsShare) {
    lamp->startFade(false, 50, false);
    EXPECT_TRUE(sceneActivity().busy(&room));
    for (int i = 0; i < 20; ++i)
        room.updateFades(true);
    lamp->startFade(true, 50, false);
    EXPECT_EQ(lamp->fade->progress, 30);
    lamp->effectiveAlpha = kOpaque;
    room.updateFades(false);
    EXPECT_EQ(lamp->effectiveAlpha, kOpaque * 30 / 50) << "a stopped clock still scales the opacity";
    for (int i = 0; i < 20; ++i)
        room.updateFades(true);
    EXPECT_EQ(lamp->fade, nullptr);
    EXPECT_TRUE(lamp->hasFlag(kElementVisible));
}

TEST_F(AnimationTest, FadesEndHiddenUnlessKeptAndAFadeInOnAVisibleElementEndsAtOnce) {
    lamp->startFade(true, 50, true);
    EXPECT_EQ(lamp->fade, nullptr) << "already visible";
    EXPECT_FALSE(sceneActivity().busy(&room)) << "no one waits for a no-wait fade";
    lamp->startFade(false, 2, true);
    room.updateFades(true);
    room.updateFades(true);
    EXPECT_FALSE(lamp->hasFlag(kElementVisible));

    MElement* kept = make("kept");
    kept->flags |= kElementKeepShown;
    kept->startFade(false, 0, true);
    EXPECT_TRUE(kept->hasFlag(kElementVisible));
}

TEST_F(AnimationTest, BlendsMoveTheAlphaProperty) {
    lamp->startBlend(false, 4, false);
    room.updateBlends();
    EXPECT_EQ(lamp->alpha, kOpaque * 3 / 4);
    EXPECT_TRUE(lamp->hasFlag(kElementVisible));
    for (int i = 0; i < 3; ++i)
        room.updateBlends();
    EXPECT_EQ(lamp->alpha, 0);
    EXPECT_EQ(lamp->blend, nullptr);
    lamp->startBlend(false, 10, false);
    EXPECT_EQ(lamp->blend, nullptr) << "already transparent";
}

} // namespace

namespace {

TEST_F(AnimationTest, TheCommandsPlayFadeAndBlendTheirTargets) {
    MElement* other = make("other");
    MGroup* both = room.createGroup(intern("both"));
    both->elements = {lamp, other};
    run("init {\n  animate $lamp 0 1\n  fadeout_fx ~both 0.5\n  blendout $other\n}\n");
    ASSERT_NE(lamp->timeControl, nullptr);
    EXPECT_EQ(lamp->timeControl->to, -100);
    EXPECT_TRUE(lamp->hasFlag(kElementChangedByScript));
    EXPECT_FALSE(lamp->hasFlag(kElementClockLoops)) << "a plain animate keeps the scene busy while it plays";
    ASSERT_NE(lamp->fade, nullptr);
    EXPECT_EQ(lamp->fade->duration, 50);
    EXPECT_TRUE(lamp->fade->noWait);
    ASSERT_NE(other->blend, nullptr);
    EXPECT_EQ(other->blend->duration, 20) << "the default of 0.2 s";
    EXPECT_FALSE(other->blend->noWait);
}

} // namespace

namespace {

TEST_F(AnimationTest, TypingShowsOneMoreCharacterPerStepThenAllOfIt) {
    // Only a text that a font can show is typed.
    MFontList fonts;
    fonts.set(0, std::make_unique<KText>());
    const MFontList* savedFonts = sceneEngineState().fonts;
    sceneEngineState().fonts = &fonts;
    MElement* sign = make("sign");
    sign->members.set(intern("text"), Value::fromSymbol(intern("Lighthouse")));
    sign->charsSpeed = 512; // half a character per tick
    sign->setCharsCount(1);
    room.updateTyping();
    room.updateTyping();
    EXPECT_FLOAT_EQ(sign->charsCount, 2);
    for (int i = 0; i < 15; ++i)
        room.updateTyping();
    EXPECT_FLOAT_EQ(sign->charsCount, 9.5f);
    room.updateTyping();
    EXPECT_FLOAT_EQ(sign->charsCount, 0) << "the whole text shows";
    room.updateTyping();
    EXPECT_TRUE(room.typing.empty());
    sceneEngineState().fonts = savedFonts;
}

} // namespace
