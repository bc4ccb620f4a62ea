#include "scene/scene_text_cache.h"

#include <cstring>
#include <string>

#include "engine/resources/resource.h"
#include "engine/system/log.h"
#include "resource/text_file.h"
#include "scene/scene_registry.h"

namespace glint {

namespace {

void readContent(const MScene& scene, const char* extension, SceneText& record) {
    std::string path = std::string(scene.folder->text) + "/_" + scene.baseName->text + "." + extension;
    MTextFile file;
    if (!file.loadText(resolveDataPath(path.c_str()))) return;
    record.size = file.size();
    record.text = std::make_unique<char[]>(static_cast<size_t>(record.size) + 1);
    std::memcpy(record.text.get(), file.data(), static_cast<size_t>(record.size));
    record.text[record.size] = 0;
}

} // namespace

const SceneText& SceneTextCache::text(const MSceneRegistry& registry, const char* extension, Symbol* name) {
    for (const auto& record : records_)
        if (record->name == name) return *record;
    auto record = std::make_unique<SceneText>();
    record->name = name;
    if (const MScene* scene = registry.find(name))
        readContent(*scene, extension, *record);
    else
        debugTrace("ERROR: Scene '%s' does not exist!", name ? name->text : "");
    records_.push_back(std::move(record));
    return *records_.back();
}

} // namespace glint
