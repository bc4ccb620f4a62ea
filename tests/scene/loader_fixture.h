// Scene files in a temporary game folder, registered by a fresh engine and
// loaded through the scene loader.
#pragma once

#include <string>

#include "registry_fixture.h"
#include "scene/element.h"
#include "scene/group.h"
#include "scene/scene_loader.h"
#include "script/trace_capture.h"

namespace glint::test {

struct LoaderFixture : RegistryFixture {
    TraceCapture trace;
    float increment = 0;
    std::string suffix;
    SceneLoaderHooks hooks;

    // Registers the folders (one per line) with JSON scene files enabled;
    // sceneFile gives each folder its file first.
    void registerScenes(const std::string& lines, bool json = true) {
        build(lines, [json](MApplication& a) { a.settings.supportMScene = json; });
    }
    // "<folder>/_<last component>.scene"
    void sceneFile(const std::string& folder, const std::string& json) {
        file(folder + "/_" + folder.substr(folder.rfind('/') + 1) + ".scene", json);
    }
    SceneLoadContext context() {
        return SceneLoadContext{*app,
                                *resources,
                                engine->scenes,
                                [this](Symbol* name) -> const SceneText& { return engine->sceneText(name); },
                                increment,
                                suffix,
                                hooks};
    }
    MScene* load(const char* name) {
        MScene* s = RegistryFixture::scene(name);
        if (s) s->load(context());
        return s;
    }
    static MElement* element(MScene* s, const char* name) { return s ? s->findElement(intern(name)) : nullptr; }
    static std::string elementNames(const MScene* s) {
        std::string all;
        for (const MElement* e : s->elements) all += std::string(all.empty() ? "" : " ") + e->name->text;
        return all;
    }
};

} // namespace glint::test
