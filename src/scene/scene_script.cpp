// The scene's script class: the variables every scene has, the camera
// conversions and the handlers the engine calls when scripts define them.
#include "app/application.h"
#include "scene/scene.h"
#include "script/script_system.h"

namespace glint {

namespace {

double numberOr0(const Value& value) { return value.isNumber() ? value.number : 0; }

// The scene of the running function, when that is a scene.
MScene* contextScene() {
    const Value& scene = script().ctx.scene;
    return scene.is(ValueType::Scene) ? dynamic_cast<MScene*>(scene.as<ScriptScene>()) : nullptr;
}

constexpr uint32_t kAllFourWritten = 15;

uint32_t applyCamera(Value* args, int) {
    MScene* scene = contextScene();
    if (!scene) return 0;
    const SceneCamera& c = scene->camera;
    double x = numberOr0(args[0]), y = numberOr0(args[1]), w = numberOr0(args[2]), h = numberOr0(args[3]);
    args[0] = Value::fromNumber((x - c.halfW + c.offsetX) * c.scaleX + c.halfW + c.shiftX);
    args[1] = Value::fromNumber((y - c.halfH + c.offsetY) * c.scaleY + c.halfH + c.shiftY);
    args[2] = Value::fromNumber(w * c.scaleX);
    args[3] = Value::fromNumber(h * c.scaleY);
    return kAllFourWritten;
}

uint32_t unapplyCamera(Value* args, int) {
    MScene* scene = contextScene();
    if (!scene) return 0;
    const SceneCamera& c = scene->camera;
    double x = numberOr0(args[0]), y = numberOr0(args[1]), w = numberOr0(args[2]), h = numberOr0(args[3]);
    args[0] = Value::fromNumber((x - c.halfW - c.shiftX) / c.scaleX + c.halfW - c.offsetX);
    args[1] = Value::fromNumber((y - c.halfH - c.shiftY) / c.scaleY + c.halfH - c.offsetY);
    args[2] = Value::fromNumber(w / c.scaleX);
    args[3] = Value::fromNumber(h / c.scaleY);
    return kAllFourWritten;
}

void bind(Scope& scope, Symbol* name, Value* cell) { declareVariable(scope, KindPlain, name, cell); }

Value* ordinary(Scope& scope, Symbol* name, const Value& initial = Value()) {
    Value* cell = findVariable(scope, KindPlain, name, nullptr, true);
    *cell = initial;
    return cell;
}

void builtIn(Scope& scope, Symbol* name, CommandCallback callback) {
    Value* cell = findVariable(scope, KindFunction, name, nullptr, true);
    if (!cell || !cell->is(ValueType::Function)) return;
    ScriptFunction* function = cell->as<ScriptFunction>();
    function->impl = FunctionImpl::BuiltIn;
    function->minimumArguments = 4;
    function->callback = callback;
}

Value* entryPoint(Scope& scope, int kind, Symbol* name) { return findVariable(scope, kind, name, nullptr, true); }

} // namespace

void MScene::declareScriptClass() {
    Scope& s = scriptClass();
    cells.parentScene = parent ? Value::fromPointer(ValueType::Scene, parent) : Value();
    cells.sceneName = Value::fromSymbol(name);
    cells.scenePath = Value::fromSymbol(folder);
    cells.sceneBaseName = Value::fromSymbol(baseName);
    cells.districtIndex = Value::fromNumber(district);
    bind(s, sym::Parent_scene(), &cells.parentScene);
    bind(s, sym::Scene_name(), &cells.sceneName);
    bind(s, sym::Scene_path(), &cells.scenePath);
    bind(s, sym::Scene_base_name(), &cells.sceneBaseName);
    bind(s, sym::District_index(), &cells.districtIndex);

    bind(s, sym::Zoom_scale(), &cells.zoomScale);
    bind(s, sym::Zoom_alpha(), &cells.zoomAlpha);
    bind(s, sym::Zoom_camera_scale(), &cells.zoomCameraScale);
    bind(s, sym::Zoom_camera_offset(), &cells.zoomCameraOffset);
    bind(s, sym::Background_blackness_alpha(), &cells.backgroundBlacknessAlpha);
    bind(s, sym::Pointer_x(), &cells.pointerX);
    bind(s, sym::Pointer_y(), &cells.pointerY);
    bind(s, sym::Is_passive_scene(), &cells.isPassiveScene);
    bind(s, sym::No_inventory(), &cells.noInventory);
    bind(s, sym::No_pointer(), &cells.noPointer);
    bind(s, sym::No_hud(), &cells.noHud);
    bind(s, sym::Layer(), &cells.layer);
    bind(s, sym::Is_serializable(), &cells.isSerializable);
    bind(s, sym::Open_time(), &cells.openTime);
    bind(s, sym::Close_time(), &cells.closeTime);
    bind(s, sym::Is_opened(), &cells.isOpened);

    const Value zero = Value::fromNumber(0), one = Value::fromNumber(1);
    readBack.cameraX = ordinary(s, sym::camera_x(), zero);
    readBack.cameraY = ordinary(s, sym::camera_y(), zero);
    readBack.cameraScale = ordinary(s, sym::camera_scale(), one);
    readBack.cameraScaleX = ordinary(s, sym::camera_scale_x(), one);
    readBack.cameraScaleY = ordinary(s, sym::camera_scale_y(), one);
    readBack.musicVolume = ordinary(s, sym::music_volume(), one);
    readBack.ambient = ordinary(s, sym::ambient());
    readBack.ambientOther = ordinary(s, sym::ambient_other());
    readBack.inventoryForced = ordinary(s, sym::inventory_forced());
    readBack.inventoryHidden = ordinary(s, sym::inventory_hidden());
    readBack.zoomElement = ordinary(s, sym::zoom_element());
    readBack.isBlocked = ordinary(s, sym::is_blocked());

    Symbol* const flagNames[12] = {
        sym::Is_system_scene(), sym::Is_gameplay_scene(), sym::Is_main_scene(), sym::Is_sub_scene(),
        sym::Is_zoom_zone(),    sym::Is_zoom_scene(),     sym::Is_puzzle(),     sym::Is_match_three(),
        sym::Is_minishow(),     sym::Is_play_scene(),     sym::Is_ho_scene(),   sym::Is_item_scene(),
    };
    const bool flagValues[12] = {flags.system,     flags.gameplay,  flags.main,     flags.sub,
                                 flags.zoomZone,   flags.zoomScene, flags.puzzle,   flags.matchThree,
                                 flags.minishow,   flags.play,      flags.hiddenObject, flags.item};
    for (int i = 0; i < 12; ++i) {
        cells.flags[i] = Value::fromNumber(flagValues[i] ? 1 : 0);
        bind(s, flagNames[i], &cells.flags[i]);
    }

    builtIn(s, sym::apply_camera(), applyCamera);
    builtIn(s, sym::unapply_camera(), unapplyCamera);

    entry.onClose = entryPoint(s, KindFunction, sym::on_close());
    entry.open = entryPoint(s, KindSignal, sym::open());
    entry.opened = entryPoint(s, KindSignal, sym::opened());
    entry.close = entryPoint(s, KindSignal, sym::close());
    entry.closed = entryPoint(s, KindSignal, sym::closed());
    entry.checkLocalization = entryPoint(s, KindSignal, sym::check_localization());
}

} // namespace glint
