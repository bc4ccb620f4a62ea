#include "scene/scene_registry.h"

#include <string>
#include <string_view>

#include "app/application.h"
#include "engine/resources/resource.h"
#include "resource/line_reader.h"
#include "resource/text_file.h"
#include "script/script_system.h"

namespace glint {

namespace {

constexpr const char* kRegistryPath = "data/scenes.cfg";
constexpr const char* kInterfaceFolder = "data/_interface";

// The parent a line names: the last folder component, or for a folder
// ending in /ho the component before it joined to ho (kitchen/ho is the
// hidden-object screen of kitchen, registered as kitchen_ho).
std::string parentName(std::string_view folderPart) {
    size_t slash = folderPart.rfind('/');
    if (slash == std::string_view::npos) return {};
    std::string_view last = folderPart.substr(slash + 1);
    if (last != "ho") return std::string(last);
    std::string_view before = folderPart.substr(0, slash);
    size_t previous = before.rfind('/');
    return std::string(previous == std::string_view::npos ? before : before.substr(previous + 1)) + "_ho";
}

bool ofOtherEdition(std::string_view line) {
    for (std::string_view tag : {"_ce", "_ec"})
        if (line.ends_with(tag) || line.find(std::string(tag) + "/") != std::string_view::npos) return true;
    return false;
}

bool contentExists(const std::string& folder, const std::string& name, const char* ext) {
    std::string path = folder + "/_" + name + "." + ext;
    KResourceEntryInfo info;
    return resourceGetInfo(resolveDataPath(path.c_str()), &info) && !info.isDirectory && info.size > 0;
}

struct Variant {
    std::string folder, name;
};

// The platform's own variant first, then the plain scene; each also under
// tools/, where the development tools keep scenes of their own.
bool findVariant(const std::string& folder, const std::string& name, const BuildFlags& build, const char* ext,
                 Variant& found) {
    const std::string tag = std::string("~") + build.platformTag;
    const Variant candidates[] = {
        {folder + tag, name + tag},
        {"tools/" + folder + tag, name + tag},
        {folder, name},
        {"tools/" + folder, name},
    };
    for (const Variant& candidate : candidates) {
        if (contentExists(candidate.folder, candidate.name, ext)) {
            found = candidate;
            return true;
        }
    }
    return false;
}

} // namespace

MSceneRegistry::MSceneRegistry() : gameScene(pool_.create(sym::game())) {}

void MSceneRegistry::build(const SceneContext& context) {
    enlist(context, gameScene, intern(kInterfaceFolder), nullptr, sym::game());
    MTextFile file;
    if (file.loadText(resolveDataPath(kRegistryPath))) {
        MLineReader reader(file.data());
        while (reader.next()) registerLine(context, reader.line);
    }
    findShortcuts();
    declareScenes();
}

void MSceneRegistry::registerLine(const SceneContext& context, const char* text) {
    std::string_view line(text);
    size_t slash = line.rfind('/');
    if (slash == std::string_view::npos) return; // also every empty line: there are no comments
    std::string_view name = line.substr(slash + 1);
    std::string_view folderPart = line.substr(0, slash);
    std::string wanted = parentName(folderPart);
    MScene* parent = wanted.empty() ? nullptr : find(intern(wanted));
    const MApplication& app = context.app;
    if (!app.build.collectorsEdition && ofOtherEdition(line)) return;
    std::string folder = parent ? std::string(parent->folder->view()) + "/" + std::string(name) : std::string(line);
    Variant chosen;
    if (!findVariant(folder, std::string(name), app.build, app.settings.sceneExt, chosen)) return;
    registerScene(context, intern(chosen.folder), parent, intern(chosen.name));
}

MScene* MSceneRegistry::registerScene(const SceneContext& context, Symbol* folder, MScene* parent, Symbol* name) {
    if (configListContains(context.app.gameConfig, sym::is_dev_scene(), name)) return nullptr;
    MScene* scene = pool_.create();
    enlist(context, scene, folder, parent, name);
    script().addScene(scene);
    return scene;
}

void MSceneRegistry::enlist(const SceneContext& context, MScene* scene, Symbol* folder, MScene* parent,
                            Symbol* name) {
    scene->initialize(context, folder, parent, name, false);
    scene->index = static_cast<int32_t>(scenes_.size());
    scenes_.push_back(scene);
    if (scene->name->view().starts_with("template_zz_")) templateScenes_.push_back(scene);
}

MScene* MSceneRegistry::find(Symbol* name) const {
    for (MScene* scene : scenes_)
        if (scene->name == name) return scene;
    return nullptr;
}

void MSceneRegistry::findShortcuts() {
    guiImages = find(sym::gui_images());
    hud = find(sym::hud());
    overHud = find(sym::over_hud());
    overlay = find(sym::overlay());
    inventory = find(sym::inventory());
    particles = find(sym::particles());
}

void MSceneRegistry::declareScenes() {
    Scope& game = gameScene->scriptClass();
    for (MScene* scene : scenes_) {
        scene->cells.self = Value::fromPointer(ValueType::Scene, scene);
        declareVariable(game, KindScene, scene->name, &scene->cells.self);
    }
}

} // namespace glint
