// The pointer looks of the scene "pointers" with their cursor files, and the
// choice between the system cursor and the drawn element for a look.
#include "app/engine_fixture.h"
#include "app/pointer_cursors.h"
#include "engine/recording_cursor_calls.h"
#include "engine/window/cursor_mode.h"
#include "scene/element.h"


using namespace glint;
using namespace glint::test;

namespace {

struct PointerCursorsTest : EngineFixture {
    RecordingCursorCalls sdl;
    // The engine frees its cursors while the stand-ins are still in place.
    ~PointerCursorsTest() override { app.reset(); }

    void makePointerGame() {
        makeGame("BuildSupportMScene=1\r\n");
        file("data/scenes.cfg", "data/_interface/loading\r\ndata/_interface/pointers\r\ndata/startup\r\n");
        file("data/_interface/pointers/_pointers.scene",
             R"({"elements": {"pointer_default": {}, "Pointer_x": {}, "pointer_take": {}}})");
    }

    // A cursor file made by ImageMagick (which writes the icon type).
    std::string cursorFile() {
        std::string path = (game / "made.cur").string();
        CommandResult made = runCommand("convert -size 16x16 xc:red " + shellQuote(path));
        EXPECT_EQ(made.status, 0) << made.err;
        std::string bytes = readFile(path);
        bytes[2] = 2;
        return bytes;
    }

    // start() with "data.pak" mounted, as the player does.
    MEngine& startWithArchive() {
        app.reset();
        systemResetForTests();
        EXPECT_TRUE(systemInit(game.str().c_str()));
        resourceInit();
        resourceMountArchive(resolveDataPath("data.pak"));
        app = std::make_unique<MApplication>();
        app->userFolder = (game / "user").string();
        app->startEngine();
        return *app->engine();
    }
};

TEST_F(PointerCursorsTest, LooksComeFromPointerElementsWithTheirCursorFiles) {
    makePointerGame();
    file("data/pointer_take.cur", cursorFile());
    MEngine& engine = start();

    const PointerCursors& cursors = engine.pointerCursors;
    MScene* scene = engine.findScene(sym::pointers());
    ASSERT_TRUE(scene);
    EXPECT_EQ(cursors.scene.scene, scene);
    EXPECT_TRUE(scene->prepared);
    EXPECT_TRUE(scene->resourcesHeld);

    // "Pointer_x" is not a look: the prefix is compared case-sensitively.
    ASSERT_EQ(cursors.records.size(), 2u);
    EXPECT_EQ(cursors.records[0].look, intern("default"));
    EXPECT_EQ(cursors.records[0].element, scene->findElement(intern("pointer_default")));
    EXPECT_FALSE(cursors.records[0].cursor);
    EXPECT_EQ(cursors.records[1].look, intern("take"));
    EXPECT_TRUE(cursors.records[1].cursor);

    EXPECT_EQ(findPointerCursor(cursors, intern("take")), &cursors.records[1]);
    EXPECT_EQ(findPointerCursor(cursors, intern("pointer_take")), nullptr);
    EXPECT_EQ(findPointerCursor(cursors, intern("x")), nullptr);

    // The pointer state writes the scene's own variables.
    Scope& scope = scene->scriptClass();
    EXPECT_EQ(cursors.scene.prevPointer, findVariable(scope, KindPlain, sym::Prev_pointer(), nullptr, false));
    EXPECT_EQ(cursors.scene.currentPointer, findVariable(scope, KindPlain, sym::Current_pointer(), nullptr, false));
    EXPECT_NE(cursors.scene.prevPointer, nullptr);
    // The handler is looked up as the look changes: binding makes no cell
    // that linking would report as a function without a body.
    EXPECT_EQ(findVariable(scope, KindFunction, sym::on_pointer_changed(), nullptr, false), nullptr);
}

TEST_F(PointerCursorsTest, CursorFilesAreReadFromTheArchive) {
    makePointerGame();
    file("pak/data/pointer_take.cur", cursorFile());
    CommandResult zipped = runCommand("cd " + shellQuote((game / "pak").string()) + " && zip -q -r ../data.pak data");
    ASSERT_EQ(zipped.status, 0) << zipped.err;
    MEngine& engine = startWithArchive();
    const PointerCursor* take = findPointerCursor(engine.pointerCursors, intern("take"));
    ASSERT_TRUE(take);
    EXPECT_TRUE(take->cursor);
}

TEST_F(PointerCursorsTest, WithoutThePointersSceneThereAreNoLooks) {
    makeGame();
    MEngine& engine = start();
    EXPECT_TRUE(engine.pointerCursors.records.empty());
    EXPECT_EQ(engine.pointerCursors.scene.scene, nullptr);
    EXPECT_EQ(findPointerCursor(engine.pointerCursors, intern("take")), nullptr);
}

struct LookCase {
    const char* name;
    double hardwareOption;
    int32_t forceCustomCursor;
    const char* look;       // null: no look
    const char* shape;      // a pointer shape of the streaming configuration, or null
    bool shapeVisible;
    PointerLookDisplay expected;
};

// Failures name the case, not its bytes.
void PrintTo(const LookCase& c, std::ostream* out) { *out << c.name; }

class PointerLookTest : public PointerCursorsTest, public ::testing::WithParamInterface<LookCase> {};

TEST_P(PointerLookTest, ShowsTheSystemCursorOnlyForUsableLooks) {
    const LookCase& c = GetParam();
    makePointerGame();
    file("data/pointer_take.cur", cursorFile());
    MEngine& engine = start();
    app->options.hardwareCursor = Value::fromNumber(c.hardwareOption);
    app->platform.forceCustomCursor = c.forceCustomCursor;
    if (c.shape)
        app->platform.pointerShapes[3] = {intern(c.shape), c.shapeVisible};
    Symbol* look = c.look ? intern(c.look) : nullptr;

    // Twice from the drawn state and once after the opposite state: the
    // counter ends at 0 or -1 and the flag follows.
    for (bool startDrawn : {true, true, false}) {
        if (startDrawn != drawnCursorMode()) {
            setDrawnCursorMode(startDrawn);
            if (startDrawn)
                hideSystemCursor();
            else
                showSystemCursor();
        }
        EXPECT_EQ(showPointerLook(engine.pointerCursors, look, app->options, app->platform), c.expected);
        bool system = c.expected == PointerLookDisplay::SystemCursor;
        EXPECT_EQ(drawnCursorMode(), !system);
        EXPECT_EQ(systemCursorDisplayCount(), system ? 0 : -1);
        if (system) {
            EXPECT_EQ(sdl.selected, findPointerCursor(engine.pointerCursors, look)->cursor->sdlCursor());
        }
    }
}

using D = PointerLookDisplay;
const LookCase kLooks[] = {
    {"HardwareCursorWithFile", 1, -1, "take", nullptr, false, D::SystemCursor},
    {"HardwareCursorWithoutFile", 1, -1, "default", nullptr, false, D::DrawnElement},
    {"UnknownLook", 1, -1, "talk", nullptr, false, D::DrawnElement},
    {"NoLook", 1, -1, nullptr, nullptr, false, D::DrawnElement},
    {"OptionOff", 0.4, -1, "take", nullptr, false, D::DrawnElement},
    {"ForcedSystemCursor", 0, 0, "take", nullptr, false, D::SystemCursor},
    {"ForcedDrawnPointer", 1, 1, "take", nullptr, false, D::DrawnElement},
    {"ShapeHidden", 1, -1, "take", "take", false, D::Nothing},
    {"ShapeHiddenWithoutFile", 1, -1, "default", "default", false, D::Nothing},
    {"ShapeVisible", 1, -1, "take", "take", true, D::SystemCursor},
    {"OtherShapeHidden", 1, -1, "take", "default", false, D::SystemCursor},
    {"ShapeHiddenButDrawnPointer", 0, -1, "take", "take", false, D::DrawnElement},
};

INSTANTIATE_TEST_SUITE_P(Looks, PointerLookTest, ::testing::ValuesIn(kLooks),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
