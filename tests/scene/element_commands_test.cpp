// The element commands run from scripts over a scene's real elements:
// overrides against the keyframe tracks, tint, text settings, hit tests,
// hover links, showing, play control, the drawn image and its size.
#include "update_fixture.h"

#include "resource/texture.h"
#include "scene/element_records.h"
#include "text/font_list.h"

using namespace glint;
using namespace glint::test;

namespace {

struct CommandFixture : UpdateFixture {
    // Runs the scene function name (defined by the script given to run).
    void call(const char* name) {
        Value* f = findVariable(room.scope, KindFunction, intern(name), nullptr, false);
        ASSERT_TRUE(f && f->is(ValueType::Function)) << name;
        callFunction(f->as<ScriptFunction>(), nullptr, script().stack + script().top, 0, false);
    }
};

// An X track from 0 at tick 0 to 100 at tick 100 (top level: plus halfW).
void slideOnX(MElement& element) {
    MKeyTrack& x = element.visual->track(kChannelX);
    x.times = {0, 100};
    x.values = {0, 100};
}

} // namespace

TEST_F(CommandFixture, MoveHoldsThePositionUntilReleasedToTheTracksAtTheCurrentTime) {
    MElement* lamp = make("lamp");
    slideOnX(*lamp);
    lamp->time = 50;
    run("fun hold {\n  move $lamp 10 20\n}\nfun release {\n  move $lamp\n}\n"
        "fun odd {\n  move $lamp \"x\"\n}\n");
    call("hold");
    EXPECT_TRUE(lamp->hasFlag(kElementPositionLocked));
    EXPECT_TRUE(lamp->hasFlag(kElementChangedByScript));
    EXPECT_FLOAT_EQ(lamp->channels[kChannelX], 10);
    EXPECT_FLOAT_EQ(lamp->channels[kChannelY], 20);
    lamp->evaluateTracks(320, 240);
    EXPECT_FLOAT_EQ(lamp->channels[kChannelX], 10) << "the tracks leave a held position alone";

    call("release");
    EXPECT_FALSE(lamp->hasFlag(kElementPositionLocked));
    EXPECT_FLOAT_EQ(lamp->channels[kChannelX], 320 + 50) << "the track at time 50, at once";

    call("odd");
    EXPECT_FLOAT_EQ(lamp->channels[kChannelX], 0) << "non-numbers count as 0";
    EXPECT_FLOAT_EQ(lamp->channels[kChannelY], 0);

    // A running clock gives the channels back on its own next tick.
    lamp->flags |= kElementTimeRunning;
    call("release");
    EXPECT_FLOAT_EQ(lamp->channels[kChannelX], 0) << "left to the clock";
    lamp->animate(-20, 0, 1, true, nullptr, true);
    lamp->time = 30;
    room.updateAnimation(false, 320, 240);
    EXPECT_FLOAT_EQ(lamp->channels[kChannelX], 320 + 30);
}

TEST_F(CommandFixture, OverridesCanCopyAnotherElement) {
    MElement* lamp = make("lamp");
    MElement* post = box("post", 10, 10, 150, 160);
    post->channels[kChannelZ] = 7;
    post->channels[kChannelAngle] = 45;
    post->channels[kChannelScaleX] = 2;
    MKeyTrack& angle = lamp->visual->track(kChannelAngle);
    angle.times = {0};
    angle.values = {90};
    tick();
    run("fun copy {\n  move $lamp $post\n  set_z $lamp $post\n  rotate $lamp $post\n}\n"
        "fun own {\n  set_z $lamp -3\n  rotate $lamp 12\n}\nfun release {\n  rotate $lamp\n}\n"
        "fun release_with_none {\n  set_z $lamp #nothing\n}\n");
    call("copy");
    EXPECT_FLOAT_EQ(lamp->channels[kChannelX], post->absX);
    EXPECT_FLOAT_EQ(lamp->channels[kChannelY], post->absY);
    EXPECT_FLOAT_EQ(lamp->channels[kChannelZ], 7);
    EXPECT_FLOAT_EQ(lamp->channels[kChannelAngle], 45);
    EXPECT_TRUE(lamp->hasFlag(kElementDepthLocked));
    EXPECT_TRUE(lamp->hasFlag(kElementAngleLocked));

    call("own");
    EXPECT_FLOAT_EQ(lamp->channels[kChannelZ], -3);
    EXPECT_FLOAT_EQ(lamp->channels[kChannelAngle], 12);
    call("release");
    EXPECT_FALSE(lamp->hasFlag(kElementAngleLocked));
    EXPECT_TRUE(lamp->hasFlag(kElementDepthLocked)) << "each channel group has its own override";
    EXPECT_FLOAT_EQ(lamp->channels[kChannelAngle], 90) << "back on its track";
    call("release_with_none");
    EXPECT_FALSE(lamp->hasFlag(kElementDepthLocked)) << "a written argument holding none releases too";
}

namespace {

struct BlendCase {
    const char* name;
    const char* arguments;
    int16_t alpha;
    bool tinted;
    uint8_t tint[3];
};

void PrintTo(const BlendCase& c, std::ostream* out) { *out << c.name; }

struct BlendCommand : ElementFixture, ::testing::WithParamInterface<BlendCase> {};

} // namespace

TEST_P(BlendCommand, SetsTheAlphaAndTouchesTheTintOnlyWhenColoursAreWritten) {
    const BlendCase& c = GetParam();
    MElement* lamp = make("lamp");
    lamp->flags |= kElementTinted;
    lamp->tint[0] = 10;
    lamp->tint[1] = 20;
    lamp->tint[2] = 30;
    run(std::string("init {\n  blend $lamp ") + c.arguments + "\n}\n");
    EXPECT_EQ(lamp->alpha, c.alpha);
    EXPECT_EQ(lamp->hasFlag(kElementTinted), c.tinted);
    EXPECT_EQ(lamp->tint[0], c.tint[0]);
    EXPECT_EQ(lamp->tint[1], c.tint[1]);
    EXPECT_EQ(lamp->tint[2], c.tint[2]);
    EXPECT_TRUE(lamp->hasFlag(kElementChangedByScript));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BlendCommand,
    ::testing::Values(BlendCase{"alpha_alone_keeps_the_tint", "0.5", 512, true, {10, 20, 30}},
                      BlendCase{"white_clears_the_tint_flag", "0.5 1 1 1", 512, false, {10, 20, 30}},
                      BlendCase{"one_colour_written_counts", "1 1.0005", 1024, false, {10, 20, 30}},
                      BlendCase{"a_colour_sets_clamped_bytes", "1 0.5 0 2", 1024, true, {128, 0, 255}},
                      BlendCase{"alpha_is_clamped", "40", 32767, true, {10, 20, 30}},
                      BlendCase{"a_string_alpha_is_opaque", "\"half\"", 1024, true, {10, 20, 30}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CommandFixture, TextAlignmentFontColourAndOutline) {
    MElement* label = make("label");
    MFontList fonts;
    fonts.set(1, std::make_unique<KText>());
    sceneEngineState().fonts = &fonts;
    run("fun vertical {\n  set_text_align $label 0 3\n}\nfun horizontal {\n  set_text_align $label 2\n}\n"
        "fun wild {\n  set_text_align $label 12 -1\n}\n"
        "fun styled {\n  set_text_props $label 1 0 0 0.5 1 1 1\n}\n"
        "fun missing_font {\n  set_text_props $label 2 1 0 1 1 1 0\n}\n"
        "fun no_outline_given {\n  set_text_props $label 0\n}\n");
    call("vertical");
    EXPECT_EQ(label->textAlign, 37) << "the horizontal digit 7 stays";
    call("horizontal");
    EXPECT_EQ(label->textAlign, 32);
    call("wild");
    EXPECT_EQ(label->textAlign, 32) << "parts beyond one digit keep theirs";

    call("styled");
    EXPECT_EQ(label->font, 1);
    EXPECT_EQ(label->textColor[0], 128);
    EXPECT_EQ(label->textColor[1], 255);
    EXPECT_TRUE(label->hasFlag(kElementTextOutline));
    EXPECT_EQ(label->textAlign, 32);

    call("missing_font");
    EXPECT_EQ(label->font, 1) << "font 2 is not loaded";
    EXPECT_EQ(label->textColor[0], 128) << "white leaves the colour as it was";
    EXPECT_EQ(label->textAlign, 31);
    EXPECT_FALSE(label->hasFlag(kElementTextOutline));

    label->flags |= kElementTextOutline;
    call("no_outline_given");
    EXPECT_EQ(label->font, 1) << "font 0 is not loaded either";
    EXPECT_TRUE(label->hasFlag(kElementTextOutline)) << "an unwritten shadow keeps the outline";
    sceneEngineState().fonts = nullptr;
}

TEST_F(CommandFixture, CheckHitTestsPointsAndElements) {
    box("table", 100, 100, 200, 200);
    box("cup", 10, 10, 205, 205);
    box("cloth", 40, 40, 250, 200); // half on the table
    tick();
    run("init {\n"
        "  check_hit #inside $table 210 190\n"
        "  set #outside 5\n  check_hit #outside $table 300 300\n"
        "  check_hit #cup_on $table $cup\n"
        "  set #cloth_all 5\n  check_hit #cloth_all $table $cloth 0\n"
        "  check_hit #cloth_two $table $cloth 2\n"
        "  check_hit #cloth_misses $table $cloth -2\n"
        "  set #nothing 5\n  check_hit #nothing #nothing 200 200\n"
        "}\n");
    EXPECT_EQ(number("inside"), 1);
    EXPECT_TRUE(value("outside").isNone()) << "a miss writes none";
    EXPECT_EQ(number("cup_on"), 1) << "all four corners by default";
    EXPECT_TRUE(value("cloth_all").isNone());
    EXPECT_EQ(number("cloth_two"), 1);
    EXPECT_EQ(number("cloth_misses"), 1) << "two corners miss, two may";
    EXPECT_TRUE(value("nothing").isNone()) << "no element: none";
}

TEST_F(CommandFixture, SetHoverReplacesAndRemovesTheLink) {
    MElement* door = make("door");
    MElement* glow = make("glow");
    MElement* halo = make("halo");
    run("fun first {\n  set_hover $door $glow 1.5\n}\nfun second {\n  set_hover $door $halo\n}\n"
        "fun grow {\n  set_hover $door 0 1.2\n}\nfun off {\n  set_hover $door\n}\n");
    auto active = [&] {
        std::vector<MHoverLink*> links;
        for (MHoverLink* link : room.hoverLinks)
            if (link->active) links.push_back(link);
        return links;
    };
    call("first");
    ASSERT_EQ(active().size(), 1u);
    EXPECT_EQ(active()[0]->highlight, glow);
    EXPECT_FLOAT_EQ(active()[0]->hoverScale, 1.5f);
    EXPECT_TRUE(door->hasFlag(kElementChangedByScript));

    call("second");
    ASSERT_EQ(active().size(), 1u);
    EXPECT_EQ(active()[0]->highlight, halo);
    EXPECT_FLOAT_EQ(active()[0]->hoverScale, 0) << "no growth by default";
    EXPECT_EQ(room.hoverLinks.size(), 2u) << "the old link fades out first";

    call("grow");
    ASSERT_EQ(active().size(), 1u);
    EXPECT_EQ(active()[0]->highlight, nullptr);

    call("off");
    EXPECT_TRUE(active().empty()) << "no highlight and no growth: only removed";
}

TEST_F(CommandFixture, ShowCancelsAPendingHideAndRestartsAnAnimatedImageOfTheCurrentScene) {
    MElement* flame = make("flame");
    flame->visual->image.columns = 4;
    MElement* still = make("still");
    MScene hall{intern("hall")};
    system.addScene(&hall);
    MElement* lantern = hall.createElement(nullptr, intern("lantern"), false);
    lantern->visual->image.columns = 4;
    hall.resourcesHeld = true;
    run("fun show_all {\n  show $flame\n  show $still\n  show #lantern\n}\nfun hide_both {\n  hide $flame\n}\n");
    *findVariable(room.scope, KindPlain, intern("lantern"), nullptr, true) =
        Value::fromPointer(ValueType::Element, lantern);

    flame->startFade(false, 50, true);
    flame->time = 77;
    still->time = 33;
    lantern->time = 55;
    call("show_all");
    EXPECT_EQ(flame->fade, nullptr);
    EXPECT_TRUE(room.fading.empty());
    EXPECT_FLOAT_EQ(flame->time, 0) << "the script's own scene restarts its image, open or not";
    EXPECT_NE(flame->timeControl, nullptr) << "the frames run as an idle loop";
    EXPECT_TRUE(flame->hasFlag(kElementClockLoops));
    EXPECT_FLOAT_EQ(still->time, 33) << "a single picture has nothing to restart";
    EXPECT_FLOAT_EQ(lantern->time, 55) << "another scene's image keeps its time, even when open";
    EXPECT_TRUE(lantern->hasFlag(kElementVisible));
    hall.resourcesHeld = false;

    flame->startFade(false, 50, true);
    call("hide_both");
    EXPECT_FALSE(flame->hasFlag(kElementVisible));
    EXPECT_FALSE(flame->hasFlag(kElementActive));
    EXPECT_EQ(flame->fade, nullptr);
    EXPECT_TRUE(room.fading.empty());
}

TEST_F(CommandFixture, StartStopAndResetCallATasksMembersAndSwitchElements) {
    MElement* lever = make("lever");
    MElement* gear1 = make("gear_1");
    MElement* gear2 = make("gear_2");
    MGroup* gears = room.createGroup(intern("gears"));
    gears->elements = {gear1, gear2};
    run("task pull hand $lever ? {\n  do {\n    complete\n  }\n"
        "  fun .start {\n    add #started 1\n    set #who #@\n  }\n"
        "  fun .stop {\n    add #stopped 1\n  }\n}\n"
        "init {\n  set #started 0\n  set #stopped 0\n}\n"
        "fun run_task {\n  start @pull\n  stop @pull\n  reset @pull\n}\n"
        "fun halt {\n  stop ~gears\n  stop $lever\n}\nfun go {\n  start $gear_ALL[]\n}\n"
        "fun again {\n  reset $lever\n}\n");
    call("run_task");
    EXPECT_EQ(number("started"), 1);
    EXPECT_EQ(number("stopped"), 1) << "the task has no reset member: nothing runs";
    EXPECT_TRUE(value("who").is(ValueType::Task)) << "the member runs with its task current";
    EXPECT_TRUE(lever->hasFlag(kElementActive)) << "a task target leaves its element alone";

    call("halt");
    EXPECT_FALSE(gear1->hasFlag(kElementActive));
    EXPECT_FALSE(gear2->hasFlag(kElementActive));
    EXPECT_FALSE(lever->hasFlag(kElementActive));
    EXPECT_TRUE(gear1->hasFlag(kElementVisible)) << "stopping does not hide";
    call("go");
    EXPECT_TRUE(gear1->hasFlag(kElementActive));
    EXPECT_TRUE(gear2->hasFlag(kElementActive));

    slideOnX(*lever);
    lever->flags |= kElementActive;
    lever->time = 60;
    call("again");
    EXPECT_FALSE(lever->hasFlag(kElementActive));
    EXPECT_FLOAT_EQ(lever->time, 0) << "the animation starts over";
}

TEST_F(CommandFixture, SetImageSwitchesTheDrawnSourceAndItsMeasures) {
    MTexture page("page.png");
    MTexture sheet("sheet.png");
    sheet.atlasParent = &page;
    sheet.atlasWidth = 120;
    sheet.atlasHeight = 60;
    MElement* window = make("window");
    MElement* film = make("film");
    film->visual->image.texture = &sheet;
    film->visual->image.columns = 4;
    film->visual->image.rows = 2;
    window->visual->image.columns = 2; // its own image would animate
    window->animate(0, 0, 1, true, nullptr, false);
    make("blank");
    run("fun switch {\n  set_image $window $film\n  get_image_w #w $window\n  get_image_h #h $window\n}\n"
        "fun restore {\n  set_image $window\n  get_image_w #w $window\n  get_image_h #h $blank\n"
        "  get_image_w #none #nothing\n}\n");
    call("switch");
    EXPECT_EQ(window->imageSource, film);
    EXPECT_EQ(number("w"), 30) << "one frame of the animated image";
    EXPECT_EQ(number("h"), 30);
    EXPECT_EQ(window->timeControl, nullptr) << "the old image's loop stops in a closed scene";

    room.resourcesHeld = true;
    window->time = 40;
    call("restore");
    EXPECT_EQ(window->imageSource, nullptr);
    EXPECT_EQ(number("w"), 0) << "its own image has no texture";
    EXPECT_EQ(number("h"), 0);
    EXPECT_EQ(number("none"), 0);
    EXPECT_FLOAT_EQ(window->time, 0) << "its own animated image starts in the open scene";
    EXPECT_NE(window->timeControl, nullptr);
    room.resourcesHeld = false;

    film->visual->image.columns = film->visual->image.rows = 1;
    call("switch");
    EXPECT_EQ(number("w"), 120) << "a single picture measures the whole texture";
    EXPECT_EQ(number("h"), 60);
}

TEST_F(CommandFixture, SetSizeAttachesAndDropsAnOverride) {
    MElement* frame = box("frame", 100, 50, 300, 200);
    box("model", 64, 32, 0, 0);
    run("fun size {\n  set_size $frame 30 40\n}\nfun width_only {\n  set_size $frame 30\n}\n"
        "fun like_model {\n  set_size $frame $model\n}\nfun drop {\n  set_size $frame\n}\n");
    struct Step {
        const char* function;
        float w, h;
    } steps[] = {{"size", 30, 40}, {"width_only", 30, 1}, {"like_model", 64, 32}, {"drop", 100, 50}};
    for (const Step& step : steps) {
        SCOPED_TRACE(step.function);
        call(step.function);
        tick();
        EXPECT_FLOAT_EQ(frame->absW, step.w);
        EXPECT_FLOAT_EQ(frame->absH, step.h);
    }
    EXPECT_EQ(frame->sizeOverride, nullptr);
}
