#include "registry_fixture.h"

#include "script/commands.h"
#include "script/compiler.h"
#include "script/interpreter.h"

using namespace glint;
using namespace glint::test;

namespace {

Value* plain(MScene* scene, Symbol* name) {
    return findVariable(scene->scriptClass(), KindPlain, name, nullptr, false);
}

double number(Value* cell) { return cell && cell->isNumber() ? cell->number : -1; }

} // namespace

TEST_F(RegistryFixture, EverySceneDeclaresItsVariablesHandlersAndScriptInItsClass) {
    file("data/_interface/_scripts/common_all.script", "");
    file("data/_interface/_scripts/common_all_post.script", "");
    file("data/_interface/_game.script", "fun everywhere {\n}\n");
    content("data/s/kitchen", "kitchen");
    file("data/s/kitchen/_kitchen.script", "fun hello {\n}\n");
    content("data/s/kitchen/zz_drawer", "zz_drawer");
    content("data/s/hall~win", "hall~win");
    file("data/s/hall~win/_hall~win.script", "fun greet {\n}\n");
    build("data/s/kitchen\ndata/s/kitchen/zz_drawer\ndata/s/hall\n");
    MScene* kitchen = scene("kitchen");
    MScene* drawer = scene("zz_drawer");
    MScene* game = engine->scenes.gameScene;
    ASSERT_TRUE(kitchen && drawer);

    EXPECT_EQ(&game->scriptClass(), &engine->scriptSystem().global()) << "the game class is the global scope";
    EXPECT_EQ(plain(game, sym::Scene_name())->symbol(), sym::game());
    EXPECT_EQ(plain(drawer, sym::Scene_name())->symbol(), intern("zz_drawer"));
    EXPECT_EQ(plain(drawer, sym::Scene_path())->symbol(), intern("data/s/kitchen/zz_drawer"));
    EXPECT_EQ(plain(scene("hall"), sym::Scene_base_name())->symbol(), intern("hall~win"));
    Value* parent = plain(drawer, sym::Parent_scene());
    ASSERT_TRUE(parent && parent->is(ValueType::Scene));
    EXPECT_EQ(parent->pointer, kitchen);
    EXPECT_TRUE(plain(kitchen, sym::Parent_scene())->isNone());
    EXPECT_EQ(number(plain(drawer, sym::District_index())), 0);

    // Cells the scene owns: the engine and the scripts see the same value.
    Value* owned[] = {&drawer->cells.zoomScale,    &drawer->cells.zoomAlpha,  &drawer->cells.zoomCameraScale,
                      &drawer->cells.zoomCameraOffset, &drawer->cells.backgroundBlacknessAlpha,
                      &drawer->cells.pointerX,     &drawer->cells.pointerY,   &drawer->cells.isPassiveScene,
                      &drawer->cells.noInventory,  &drawer->cells.noPointer,  &drawer->cells.noHud,
                      &drawer->cells.layer,        &drawer->cells.isSerializable, &drawer->cells.openTime,
                      &drawer->cells.closeTime,    &drawer->cells.isOpened};
    Symbol* ownedNames[] = {sym::Zoom_scale(),       sym::Zoom_alpha(),     sym::Zoom_camera_scale(),
                            sym::Zoom_camera_offset(), sym::Background_blackness_alpha(),
                            sym::Pointer_x(),        sym::Pointer_y(),      sym::Is_passive_scene(),
                            sym::No_inventory(),     sym::No_pointer(),     sym::No_hud(),
                            sym::Layer(),            sym::Is_serializable(), sym::Open_time(),
                            sym::Close_time(),       sym::Is_opened()};
    for (size_t i = 0; i < std::size(owned); ++i) EXPECT_EQ(plain(drawer, ownedNames[i]), owned[i]) << ownedNames[i]->text;
    EXPECT_EQ(number(plain(drawer, sym::Open_time())), 0.5);
    EXPECT_EQ(number(plain(drawer, sym::Close_time())), 0.5);
    EXPECT_NE(plain(kitchen, sym::Layer()), plain(drawer, sym::Layer())) << "one set per scene";

    struct ReadBack {
        Symbol* name;
        Value* cell;
        double initial; // -1: none
    } readBack[] = {
        {sym::camera_x(), drawer->readBack.cameraX, 0},          {sym::camera_y(), drawer->readBack.cameraY, 0},
        {sym::camera_scale(), drawer->readBack.cameraScale, 1},  {sym::camera_scale_x(), drawer->readBack.cameraScaleX, 1},
        {sym::camera_scale_y(), drawer->readBack.cameraScaleY, 1}, {sym::music_volume(), drawer->readBack.musicVolume, 1},
        {sym::ambient(), drawer->readBack.ambient, -1},          {sym::ambient_other(), drawer->readBack.ambientOther, -1},
        {sym::inventory_forced(), drawer->readBack.inventoryForced, -1},
        {sym::inventory_hidden(), drawer->readBack.inventoryHidden, -1},
        {sym::zoom_element(), drawer->readBack.zoomElement, -1}, {sym::is_blocked(), drawer->readBack.isBlocked, -1},
    };
    for (const ReadBack& r : readBack) {
        EXPECT_EQ(plain(drawer, r.name), r.cell) << r.name->text;
        if (r.initial < 0)
            EXPECT_TRUE(r.cell && r.cell->isNone()) << r.name->text;
        else
            EXPECT_EQ(number(r.cell), r.initial) << r.name->text;
    }

    struct Flag {
        Symbol* name;
        double value;
    } flags[] = {{sym::Is_system_scene(), 0}, {sym::Is_gameplay_scene(), 1}, {sym::Is_main_scene(), 0},
                 {sym::Is_sub_scene(), 0},    {sym::Is_zoom_zone(), 1},      {sym::Is_zoom_scene(), 0},
                 {sym::Is_puzzle(), 0},       {sym::Is_match_three(), 0},    {sym::Is_minishow(), 0},
                 {sym::Is_play_scene(), 0},   {sym::Is_ho_scene(), 0},       {sym::Is_item_scene(), 0}};
    for (const Flag& f : flags) EXPECT_EQ(number(plain(drawer, f.name)), f.value) << f.name->text;
    EXPECT_EQ(number(plain(kitchen, sym::Is_main_scene())), 1);
    EXPECT_EQ(number(plain(game, sym::Is_system_scene())), 1);

    Scope& drawerClass = drawer->scriptClass();
    for (Symbol* name : {sym::apply_camera(), sym::unapply_camera()}) {
        Value* cell = findVariable(drawerClass, KindFunction, name, nullptr, false);
        ASSERT_TRUE(cell && cell->is(ValueType::Function)) << name->text;
        EXPECT_EQ(cell->as<ScriptFunction>()->impl, FunctionImpl::BuiltIn);
    }
    EXPECT_EQ(findVariable(drawerClass, KindFunction, sym::on_close(), nullptr, false), drawer->entry.onClose);
    EXPECT_TRUE(drawer->entry.onClose->is(ValueType::Function));
    Value* signals[] = {drawer->entry.open, drawer->entry.opened, drawer->entry.close, drawer->entry.closed,
                        drawer->entry.checkLocalization};
    Symbol* signalNames[] = {sym::open(), sym::opened(), sym::close(), sym::closed(), sym::check_localization()};
    for (size_t i = 0; i < std::size(signals); ++i) {
        EXPECT_EQ(findVariable(drawerClass, KindSignal, signalNames[i], nullptr, false), signals[i]);
        EXPECT_TRUE(signals[i]->is(ValueType::Signal)) << signalNames[i]->text;
    }

    Scope& global = engine->scriptSystem().global();
    for (MScene* s : engine->scenes.scenes()) {
        Value* cell = findVariable(global, KindScene, s->name, nullptr, false);
        ASSERT_TRUE(cell && cell->is(ValueType::Scene)) << s->name->text;
        EXPECT_EQ(cell->pointer, s);
    }

    // Each scene's own script file is what the compiler gets for it; a
    // variant's file serves the scene's plain name.
    registerBuiltinCommands();
    for (MScene* s : engine->scenes.scenes()) compileScene(s->scriptClass());
    auto defined = [](Scope& scope, const char* name) {
        Value* cell = findVariable(scope, KindFunction, intern(name), nullptr, false);
        return cell && cell->is(ValueType::Function) && cell->as<ScriptFunction>()->impl == FunctionImpl::Script;
    };
    EXPECT_TRUE(defined(kitchen->scriptClass(), "hello"));
    EXPECT_TRUE(defined(scene("hall")->scriptClass(), "greet"));
    EXPECT_TRUE(defined(global, "everywhere"));
    EXPECT_FALSE(defined(drawer->scriptClass(), "hello"));
}

TEST_F(RegistryFixture, CameraConversionsWorkOnTheCallingScene) {
    content("data/s/kitchen", "kitchen");
    build("data/s/kitchen\n");
    MScene* kitchen = scene("kitchen");
    kitchen->camera.offsetX = 10;
    kitchen->camera.scaleX = 2;
    kitchen->camera.shiftX = 5;
    kitchen->camera.offsetY = -20;
    kitchen->camera.scaleY = 0.5;
    ScriptSystem& s = engine->scriptSystem();
    auto call = [&](Symbol* name, std::initializer_list<Value> in) {
        Value* cell = findVariable(kitchen->scriptClass(), KindFunction, name, nullptr, false);
        Value* args = s.stack + s.top;
        int n = 0;
        for (const Value& v : in) args[n++] = v;
        uint32_t mask = callFunction(cell->as<ScriptFunction>(), nullptr, args, n, false);
        EXPECT_EQ(mask, 15u);
        return std::vector<double>{args[0].number, args[1].number, args[2].number, args[3].number};
    };
    auto n = [](double x) { return Value::fromNumber(x); };
    // The game area is 640 x 480 by default, so the centre is (320, 240).
    EXPECT_EQ(call(sym::apply_camera(), {n(100), n(200), n(30), n(40)}), (std::vector<double>{-95, 210, 60, 20}));
    EXPECT_EQ(call(sym::unapply_camera(), {n(-95), n(210), n(60), n(20)}), (std::vector<double>{100, 200, 30, 40}));
    EXPECT_EQ(call(sym::apply_camera(), {Value::fromSymbol(intern("x")), n(240), n(1), n(1)}),
              (std::vector<double>{-295, 230, 2, 0.5}))
        << "arguments that are not numbers count as 0";
}
