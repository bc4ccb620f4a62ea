// What kind of scene a scene is, from its folder, its name and the game
// configuration.
#include <string>
#include <string_view>

#include "app/application.h"
#include "scene/scene.h"

namespace glint {

bool configListContains(const MConfiguration& config, Symbol* key, Symbol* name) {
    Symbol* list = config.getString(key, nullptr);
    if (!list || !name) return false;
    std::string needle(1, ':');
    needle.append(name->view()).push_back(':');
    return list->view().find(needle) != std::string_view::npos;
}

namespace {

bool configFlag(const MConfiguration& config, const char* prefix, Symbol* name) {
    return config.getInt(intern(std::string(prefix) + name->text), 0) != 0;
}

// Puzzles (and the old-style mini-games) with a trailing _ms are minishows.
void setPuzzle(SceneFlags& f, std::string_view stem) {
    f.puzzle = f.play = true;
    f.minishow = stem.ends_with("_ms");
}

// The prefix table: the first prefix that matches decides, and a prefix
// whose condition fails ends the table.
void classifyByPrefix(SceneFlags& f, std::string_view stem, bool hasParent, bool oldStyle) {
    const bool child = f.gameplay && hasParent;
    if (stem.starts_with("item_")) {
        f.gameplay = f.item = true;
    } else if (stem.starts_with("zz_")) {
        if (child) {
            f.zoomZone = true;
            f.matchThree = stem.starts_with("zz_m3_");
        }
    } else if (stem.starts_with("zs_")) {
        if (child) f.zoomScene = f.play = true;
    } else if (stem.starts_with("pz_")) {
        if (child) setPuzzle(f, stem);
    } else if (stem == "ho" || stem.starts_with("ho_")) {
        if (child) f.play = f.hiddenObject = true;
    } else if (stem.starts_with("m3_")) {
        if (f.gameplay) f.matchThree = f.play = f.main = true;
    } else if (oldStyle && stem.starts_with("mg_")) {
        if (child) setPuzzle(f, stem);
    } else if (oldStyle && stem.starts_with("cs_")) {
        f.play = true;
        f.zoomScene = f.gameplay;
    } else if (stem.starts_with("sub_")) {
        f.sub = true;
    } else if (!hasParent && !f.system) {
        f.main = f.play = true;
    }
}

} // namespace

// Prefix tests look at the base name without its variant tag, so that a
// desktop variant (ho~win, pz_safe_ms~win) is the same kind of scene as the
// plain one; configuration keys use the full name.
void MScene::classify(const MApplication& app) {
    const MConfiguration& config = app.gameConfig;
    std::string_view folderText = folder->view();
    if (folderText.starts_with("data/_interface") || folderText.starts_with("tools/data/_interface"))
        flags.system = true;
    else
        flags.gameplay = true;
    if (configFlag(config, "is_main_scene_", name)) flags.main = flags.play = true;
    if (configListContains(config, sym::is_play_scene(), name)) flags.play = true;
    if (configFlag(config, "is_gameplay_scene_", name)) flags.gameplay = true;
    std::string_view base = baseName->view();
    classifyByPrefix(flags, base.substr(0, base.find('~')), parent != nullptr, app.settings.supportOldStyleScenes);
}

} // namespace glint
