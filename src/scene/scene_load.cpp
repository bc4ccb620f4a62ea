// Loading a scene's content: the scene file (JSON, or the letter-coded form
// when the game does not use JSON), then templates chosen from the scene's
// kind, then the sub-scenes and instances its extra configuration (and that
// of every scene merged into it) and its letter-coded objects ask for, then
// its sound list.
#include <algorithm>
#include <string>
#include <string_view>

#include "app/application.h"
#include "engine/system/log.h"
#include "resource/resource_manager.h"
#include "scene/element.h"
#include "scene/scene.h"
#include "scene/scene_json.h"
#include "scene/scene_loader.h"
#include "scene/scene_registry.h"
#include "scene/scene_text_cache.h"
#include "script/symbol.h"

namespace glint {

namespace {

// "template_" + the scene name, cut at the first "_" from its 13th
// character on: zz_kitchen_drawer gives template_zz_kitchen.
std::string zoomZoneTemplateName(const MScene& scene) {
    std::string name = std::string("template_") + scene.name->text;
    size_t cut = name.find('_', 12);
    return cut == std::string::npos ? name : name.substr(0, cut);
}

bool isTemplateScene(const MSceneRegistry& registry, Symbol* name) {
    const std::vector<MScene*>& templates = registry.templateScenes();
    return std::any_of(templates.begin(), templates.end(), [name](const MScene* s) { return s->name == name; });
}

void parseJsonContent(MScene& scene, const SceneLoadContext& context) {
    if (!context.sceneText)
        return;
    // A scene named copy.kitchen is a copy: it reads the content of kitchen.
    std::string_view name = scene.name->view();
    size_t dot = name.rfind('.');
    Symbol* source = dot == std::string_view::npos ? scene.name : intern(name.substr(dot + 1));
    const SceneText& content = context.sceneText(source);
    if (content.text)
        parseJsonScene(scene, context, content.text.get(), static_cast<size_t>(content.size));
}

MScene* requestedScene(const SceneLoadContext& context, Symbol* name) {
    MScene* source = context.registry.find(name);
    if (!source)
        debugTrace("ERROR: Scene '%s' does not exist!", name->text);
    return source;
}

std::string entryText(const Value& value) {
    if (value.isString())
        return value.symbol()->text;
    return valueText(value);
}

} // namespace

void MScene::load(const SceneLoadContext& context) {
    if (loaded || loading)
        return;
    loading = true;
    std::vector<Symbol*> subScenes;
    std::vector<SceneInstanceRequest> instances;
    if (context.app.settings.supportMScene)
        parseJsonContent(*this, context);
    else
        parseLetterScene(context, subScenes, instances);
    staticElementCount = static_cast<int32_t>(elements.size());
    staticGroupCount = static_cast<int32_t>(groups.size());
    rootElement = findElement(sym::root());

    std::vector<MScene*> applied{this};
    auto apply = [&](const char* name) { applyTemplate(context, intern(name), applied); };
    if (flags.zoomZone) {
        Symbol* own = intern(zoomZoneTemplateName(*this));
        applyTemplate(context, isTemplateScene(context.registry, own) ? own : intern("template_zz"), applied);
    }
    if (!flags.play && flags.gameplay && flags.main)
        apply("template_gameplay");
    if (flags.play && flags.gameplay) {
        apply("template_play");
        if (flags.main)
            apply("template_gameplay");
    }
    if (flags.item)
        apply("template_item");
    if (flags.hiddenObject)
        apply("template_ho");
    if (flags.puzzle)
        apply("template_pz");
    if (flags.minishow)
        apply("template_ms");
    if (flags.matchThree)
        apply("template_m3");
    if (MScene* glitter = context.registry.find(intern("template_ho_glitter")))
        instantiate(context, sym::ho(), glitter, false, applied);

    // The list grows while it is walked: what a merged scene asks for is
    // merged as well.
    for (size_t i = 0; i < applied.size(); ++i) {
        if (MConfiguration* config = applied[i]->extraConfig) {
            for (const MConfigEntry* entry : config->entriesInFileOrder()) {
                std::string_view key = entry->key->view();
                bool keep = key.starts_with("scene:");
                if (!keep && !key.starts_with("instance:"))
                    continue;
                Symbol* elementName = intern(key.substr(key.find(':') + 1));
                if (MScene* source = requestedScene(context, intern(entryText(entry->value))))
                    instantiate(context, elementName, source, !keep, applied);
            }
        }
        if (i != 0)
            continue;
        // What the scene's own letter-coded objects asked for.
        for (Symbol* name : subScenes)
            if (MScene* source = requestedScene(context, name))
                instantiate(context, sym::root(), source, false, applied);
        for (const SceneInstanceRequest& request : instances)
            if (MScene* source = requestedScene(context, request.scene))
                instantiate(context, request.element, source, true, applied);
    }
    cameraElement = findElement(sym::camera());

    std::string sounds = std::string(folder->view()) + "/_sounds/_sounds.cfg";
    soundsConfig = context.resources.configuration(sounds.c_str(), true, true);
    if (soundsConfig && context.hooks.buildSoundList)
        context.hooks.buildSoundList(*this, *soundsConfig);
    loading = false;
    loaded = true;
}

} // namespace glint
