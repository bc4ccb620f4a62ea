// The element commands on a scene loaded from its file, prepared and open,
// with its own script compiled against it.
#include "loader_fixture.h"

#include "scene/element_commands.h"
#include "script/commands.h"
#include "script/compiler.h"
#include "script/declarations.h"
#include "script/interpreter.h"

using namespace glint;
using namespace glint::test;

namespace {

void call(MScene& scene, const char* name) {
    Value* f = findVariable(scene.scriptClass(), KindFunction, intern(name), nullptr, false);
    ASSERT_TRUE(f && f->is(ValueType::Function)) << name;
    callFunction(f->as<ScriptFunction>(), nullptr, script().stack + script().top, 0, false);
}

} // namespace

TEST_F(LoaderFixture, ElementCommandsDriveALoadedOpenScene) {
    sceneFile("data/s/room", R"({"elements": {
        "flame": {"I": ["flame.png", 0, 10, 0, 0, 0.5, 1]},
        "tide": {"Y": [[0, 0], [300, 30]]}
    }})");
    file("data/_interface/_scripts/common_all.script", "");
    file("data/_interface/_scripts/common_all_post.script", "");
    file("data/s/room/_room.script",
         "fun douse {\n  hide $flame\n}\nfun light {\n  show $flame\n}\n"
         "fun hold {\n  move $tide 5 6\n}\nfun release {\n  move $tide\n}\n"
         "fun restart {\n  reset $flame\n}\n");
    registerScenes("data/s/room\n");
    MScene* room = load("room");
    room->prepare(context());
    room->acquireResources(context());
    registerBuiltinCommands();
    registerElementCommands();
    compileScene(room->scriptClass());
    linkScene(room->scriptClass());
    MElement* flame = element(room, "flame");
    MElement* tide = element(room, "tide");
    const float halfH = static_cast<float>(app->settings.screenH) / 2;
    auto ticks = [&](int count) {
        for (int i = 0; i < count; ++i) {
            room->clockRuns = true;
            room->update(true);
        }
    };

    ticks(40);
    ASSERT_GT(flame->time, 30);
    call(*room, "douse");
    EXPECT_FALSE(flame->hasFlag(kElementVisible));
    call(*room, "light");
    EXPECT_TRUE(flame->hasFlag(kElementVisible) && flame->hasFlag(kElementActive));
    EXPECT_FLOAT_EQ(flame->time, 0) << "the open scene's animated image starts over";
    EXPECT_TRUE(flame->hasFlag(kElementChangedByScript));

    call(*room, "hold");
    ticks(10);
    EXPECT_FLOAT_EQ(tide->channels[kChannelY], 6) << "held against its running track";
    call(*room, "release");
    ticks(1);
    EXPECT_FLOAT_EQ(tide->channels[kChannelY], tide->time / 10 + halfH) << "back on the track where its clock is";

    ticks(5);
    call(*room, "restart");
    EXPECT_FALSE(flame->hasFlag(kElementActive));
    EXPECT_FLOAT_EQ(flame->time, 0);
    room->releaseResources(context());
}
