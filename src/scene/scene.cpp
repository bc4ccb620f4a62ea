#include "scene/scene.h"

#include <string>
#include <string_view>

#include "app/application.h"
#include "resource/resource_manager.h"
#include "script/script_system.h"

namespace glint {

namespace {

std::string_view afterLastDot(std::string_view name) {
    size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? name : name.substr(dot + 1);
}

// The name without its platform variant tag (kitchen~win is kitchen).
std::string_view withoutVariant(std::string_view name) { return name.substr(0, name.find('~')); }

bool isHiddenObjectName(std::string_view name) {
    std::string_view stem = withoutVariant(name);
    return stem == "ho" || stem.starts_with("ho_");
}

std::string filePath(const MScene& scene, const char* suffix) {
    return std::string(scene.folder->text) + "/_" + scene.baseName->text + suffix;
}

} // namespace

void MScene::initialize(const SceneContext& context, Symbol* folderName, MScene* parentScene, Symbol* givenName,
                        bool deferExtraConfig) {
    flags = SceneFlags{};
    district = 0;
    cells.openTime = Value::fromNumber(0.5);
    cells.closeTime = Value::fromNumber(0.5);
    loaded = loading = false;
    parent = parentScene;
    folder = folderName;
    computeNames(parentScene, givenName);
    extraConfig = context.resources.configuration(filePath(*this, ".sxcfg").c_str(), !deferExtraConfig, true);
    classify(context.app);
    findDistrict();
    camera = SceneCamera{};
    camera.halfW = context.app.settings.screenW * 0.5f;
    camera.halfH = context.app.settings.screenH * 0.5f;
    viewCenterX = camera.halfW;
    viewCenterY = camera.halfH;
    attachScript();
    declareScriptClass();
}

// A hidden-object screen is listed as ho (or ho_x) under its room and known
// by the room's name joined to it, so that several rooms can have one. The
// test ignores the variant tag: kitchen/ho~win is kitchen_ho as well.
void MScene::computeNames(MScene* parentScene, Symbol* givenName) {
    std::string_view given = givenName->view();
    baseName = intern(afterLastDot(given));
    std::string full(given);
    if (parentScene && isHiddenObjectName(given)) full = std::string(parentScene->name->view()) + "_" + full;
    name = intern(withoutVariant(full));
}

void MScene::findDistrict() {
    if (flags.system) return;
    const MScene* top = this;
    while (top->parent) top = top->parent;
    std::string_view topName = top->name->view();
    if (topName.ends_with("_ce"))
        district = 1;
    else if (topName.ends_with("_ec"))
        district = 2;
}

// The scene's own script is handed to the compiler under the name the
// compiler asks for: the part of the scene's name after its last ".".
void MScene::attachScript() {
    Symbol* sourceName = intern(afterLastDot(name->view()));
    ScriptSourceList& sources = script().sources;
    if (sources.loaded(sourceName)) return;
    std::string text;
    if (loadScriptFile(filePath(*this, ".script"), text)) sources.add(sourceName, text.data(), text.size());
}

} // namespace glint
