// What navigation asks of the engine, and the requests the tick serves
// for it: the interim click, the main-menu request.
#include "app/application.h"
#include "app/engine.h"

#include "scene/element.h"
#include "scene/scene.h"
#include "script/interpreter.h"
#include "script/script_system.h"

namespace glint {

namespace {

class EngineNavigationHost : public NavigationHost {
public:
    explicit EngineNavigationHost(MEngine& engine) : engine_(engine) {}
    SceneLoadContext loadContext() override { return engine_.sceneLoadContext(); }
    MResourceManager& resources() override { return engine_.resources; }
    bool sceneIsBusy(const MScene* scene) const override { return engine_.sceneIsBusy(scene); }

private:
    MEngine& engine_;
};

// The frontmost visible element of the scene that the pointer hits.
MElement* elementAt(MScene& scene, float x, float y) {
    for (MElement* e : scene.drawList)
        if (e->hasFlag(kElementVisible) && e->isClickable() && e->hitTest(x, y))
            return e;
    return nullptr;
}

float numberOr(const Value& value, float fallback) {
    return value.isNumber() ? static_cast<float>(value.number) : fallback;
}

} // namespace

void MEngine::createNavigation() {
    navigationHost_ = std::make_unique<EngineNavigationHost>(*this);
    float zoom = app.gameConfig.getFloat(sym::transition_camera_zoom(), 2);
    navigation = std::make_unique<MNavigation>(*navigationHost_, scenes, app.settings.screenW,
                                               app.settings.screenH, zoom);
}

void MEngine::serveClick() {
    PointerInput& pointer = script_->pointer;
    pointer.clicked = nullptr;
    pointer.hovered = nullptr;
    MScene* scene = activeScene();
    if (!scene)
        return;
    MElement* under = elementAt(*scene, numberOr(scene->cells.pointerX, 0), numberOr(scene->cells.pointerY, 0));
    pointer.hovered = under;
    pointer.buttonHeld = input.buttonHeld[0] != 0;
    if (!waiting && input.consumeClick())
        pointer.clicked = under;
}

void MEngine::serveMainMenuRequest() {
    if (paused() || switching() || waiting || !mainMenuRequested)
        return;
    mainMenuRequested = false;
    callScopeFunction(script_->global(), sym::goto_main_menu(), nullptr, 0);
}

} // namespace glint
