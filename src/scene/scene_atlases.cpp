#include "app/application.h"
#include "resource/atlas.h"
#include "resource/resource_manager.h"
#include "scene/scene_registry.h"

#include <string>

namespace glint {

namespace {

void loadSceneAtlas(const SceneContext& context, const MScene& scene, bool dynamic) {
    const char* folder = scene.folder->text;
    std::string file = std::string(folder) + "/_" + scene.baseName->text + (dynamic ? "_dynamic.atlas" : ".atlas");
    std::string extension =
        atlasPageExtension(context.app.atlasConfig, folder, dynamic, context.app.settings.atlasTexturesExt);
    loadAtlas(context.resources, file.c_str(), folder, extension.c_str(), dynamic);
}

} // namespace

void MSceneRegistry::loadAtlases(const SceneContext& context) {
    for (const MScene* scene : scenes_) {
        if (!scene->folder || !scene->baseName)
            continue;
        loadSceneAtlas(context, *scene, false);
        loadSceneAtlas(context, *scene, true);
    }
}

} // namespace glint
