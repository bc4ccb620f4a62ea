#include "app/engine.h"

#include "app/application.h"
#include "script/script_system.h"

namespace glint {

namespace {
MEngine* current = nullptr;
} // namespace

MEngine* engine() { return current; }

MEngine::MEngine(MApplication& application, MResourceManager& resourceManager)
    : app(application), resources(resourceManager),
      script_(std::make_unique<ScriptSystem>(scenes.gameScene)) {
    current = this;
}

MEngine::~MEngine() {
    if (current == this) current = nullptr;
}

void MEngine::buildSceneRegistry() { scenes.build(sceneContext()); }

const SceneText& MEngine::sceneText(Symbol* name) {
    return sceneTexts_.text(scenes, app.settings.sceneExt, name);
}

} // namespace glint
