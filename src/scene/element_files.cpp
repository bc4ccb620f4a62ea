#include "scene/element_files.h"

#include <cctype>

#include "resource/configuration.h"
#include "resource/particle_system.h"
#include "scene/element.h"
#include "scene/scene.h"
#include "scene/scene_registry.h"
#include "script/symbol.h"

namespace glint {

namespace {

std::string_view afterLastDollar(std::string_view name) {
    size_t dollar = name.rfind('$');
    return dollar == std::string_view::npos ? name : name.substr(dollar + 1);
}

std::string entryText(const Value& value) { return value.isString() ? value.symbol()->text : valueText(value); }

} // namespace

std::string particleSystemName(std::string_view name) {
    name = afterLastDollar(name);
    if (name.starts_with("ps_"))
        name.remove_prefix(3);
    size_t digits = name.size();
    while (digits > 0 && std::isdigit(static_cast<unsigned char>(name[digits - 1])))
        --digits;
    if (digits < name.size() && digits > 0 && name[digits - 1] == '_')
        name = name.substr(0, digits - 1);
    return std::string(name);
}

std::string particleFilePath(std::string_view elementName) {
    return std::string(kParticleFolder) + "/" + particleSystemName(elementName) + ".particles";
}

std::string movieFilePath(const MScene& scene, const MElement& element, const MSceneRegistry& registry) {
    std::string folder = scene.folder->text;
    std::string file = element.name->text;
    if (scene.extraConfig) {
        Symbol* key = intern(std::string("image:") + element.name->text);
        if (const Value* value = scene.extraConfig->find(key)) {
            file = entryText(*value);
            size_t colon = file.find(':');
            if (colon != std::string::npos) {
                if (MScene* other = registry.find(intern(file.substr(0, colon))))
                    folder = other->folder->text;
                file = file.substr(colon + 1);
            }
        }
    }
    return folder + "/" + file + ".ogv";
}

} // namespace glint
