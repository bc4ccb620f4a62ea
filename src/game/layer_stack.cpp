// The layer stack as the tick and the drawing walk it, and what is
// published about it once per tick: the waiting state and the active scene.
#include "game/navigation.h"

#include "game/navigation_steps.h"
#include "scene/activity.h"
#include "scene/scene.h"

namespace glint {

namespace {

void addIf(std::vector<MScene*>& list, MScene* scene, bool condition = true) {
    if (scene && condition)
        list.push_back(scene);
}

bool passive(const MScene& scene) {
    const Value& value = scene.cells.isPassiveScene;
    return value.isNumber() && value.number > 0.5;
}

} // namespace

// "No_hud" above the limit hides the HUD (0.5) or the over-HUD (1.5).
bool MNavigation::hudAllowed(float limit) const {
    if (!playScene)
        return false;
    const Value& noHud = playScene->cells.noHud;
    return !noHud.isNumber() || noHud.number < limit;
}

void MNavigation::publish() {
    ActivityList& activity = sceneActivity();
    const size_t count = activity.records().size();
    waiting = count > 0;
    waitingValue = Value::fromNumber(waiting ? 1 : 0);
    // A goto does not wait for its own record: its fade starts at once.
    size_t others = 0;
    for (const ActivityRecord& record : activity.records())
        others += record.kind != ActivityKind::Goto;
    hold = others > countAtPublication_ || (playScene && host_.sceneIsBusy(playScene));
    activity.clear();
    if (transitionState != kTransitionNone)
        activity.add({nullptr, ActivityKind::TransitionPlayScene, playScene ? playScene->name : nullptr, nullptr,
                      nullptr});
    countAtPublication_ = activity.records().size();
    auto transitionOf = [&activity](const LayerSlot& slot, ActivityKind kind) {
        if (!slot.idle())
            activity.add({nullptr, kind, slot.scene ? slot.scene->name : nullptr, nullptr, nullptr});
    };
    if (playScene)
        transitionOf(playScene->zoomSlot, ActivityKind::TransitionOpenedZz);
    if (LayerSlot* slot = itemSlot())
        transitionOf(*slot, ActivityKind::TransitionOpenedItem);
    for (const LayerSlot& slot : subSlots)
        transitionOf(slot, ActivityKind::TransitionOpenedZz);

    activeScene = playScene;
    if (playScene && playScene->zoomSlot.shows())
        activeScene = playScene->zoomSlot.scene;
    if (LayerSlot* slot = itemSlot(); slot && slot->shows())
        activeScene = slot->scene;
    for (const LayerSlot& slot : subSlots)
        if (slot.shows())
            activeScene = slot.scene;
    activeSceneValue = sceneValue(activeScene);
}

// The bottom of every walk: the game scene, the play scene, its zoom zone
// and its item scene.
void MNavigation::addPlayLayers(std::vector<MScene*>& list) const {
    addIf(list, game);
    addIf(list, playScene);
    if (playScene)
        addIf(list, playScene->zoomSlot.scene);
    const LayerSlot* item = itemSlot();
    addIf(list, item ? item->scene : nullptr);
}

std::vector<MScene*> MNavigation::pointerScenes() const {
    std::vector<MScene*> list;
    addPlayLayers(list);
    addIf(list, hud);
    addIf(list, inventory);
    addIf(list, subSlots[0].scene);
    addIf(list, overHud);
    for (int layer = 1; layer < kSubSceneSlots; ++layer)
        addIf(list, subSlots[layer].scene);
    addIf(list, overlay);
    addIf(list, pauseOverlay);
    return list;
}

std::vector<MScene*> MNavigation::updateScenes(bool active) const {
    std::vector<MScene*> list;
    if (active) {
        addPlayLayers(list);
        addIf(list, hud, hudAllowed(0.5f));
        addIf(list, subSlots[0].scene);
        addIf(list, overHud, hudAllowed(1.5f));
        for (int layer = 1; layer < kSubSceneSlots; ++layer)
            addIf(list, subSlots[layer].scene);
        addIf(list, overlay);
    }
    addIf(list, pauseOverlay);
    return list;
}

// The play scene, replaced by its open zoom zone and item scene, then by
// the highest sub-scene that is not passive (its slot in focusSlot, else -1).
MScene* MNavigation::focusScene(int* focusSlot) const {
    MScene* focus = playScene;
    if (playScene && playScene->zoomSlot.shows())
        focus = playScene->zoomSlot.scene;
    const LayerSlot* item = itemSlot();
    if (item && item->shows())
        focus = item->scene;
    *focusSlot = -1;
    for (int layer = kSubSceneSlots - 1; layer >= 0; --layer) {
        if (subSlots[layer].shows() && !passive(*subSlots[layer].scene)) {
            focus = subSlots[layer].scene;
            *focusSlot = layer;
            break;
        }
    }
    return focus;
}

std::vector<MScene*> MNavigation::scriptScenes() const {
    int k = -1;
    MScene* focus = focusScene(&k);
    std::vector<MScene*> list;
    addIf(list, game);
    addIf(list, playScene, playScene == focus);
    if (playScene)
        addIf(list, playScene->zoomSlot.scene, playScene->zoomSlot.scene == focus);
    const LayerSlot* item = itemSlot();
    addIf(list, item ? item->scene : nullptr, item && item->scene == focus);
    addIf(list, inventory, hudAllowed(0.5f) && k == -1);
    addIf(list, hud, hudAllowed(0.5f) && k == -1);
    auto subScene = [&](int layer) {
        MScene* scene = subSlots[layer].scene;
        addIf(list, scene, scene && (scene == focus || passive(*scene)));
    };
    subScene(0);
    addIf(list, overHud, hudAllowed(1.5f) && k < 1);
    for (int layer = 1; layer < kSubSceneSlots; ++layer)
        subScene(layer);
    addIf(list, overlay);
    addIf(list, pauseOverlay);
    return list;
}

void MNavigation::drawLayers() {
    struct Layer {
        MScene* scene;
        float opacity, darkness;
    };
    std::vector<Layer> layers;
    auto addSlot = [&layers](const LayerSlot& slot) {
        if (!slot.shows() || slot.visibility <= 0)
            return;
        const SceneCells& cells = slot.scene->cells;
        float alpha = cells.zoomAlpha.isNumber() ? static_cast<float>(cells.zoomAlpha.number) : 0;
        float blackness = cells.backgroundBlacknessAlpha.isNumber()
                              ? static_cast<float>(cells.backgroundBlacknessAlpha.number)
                              : 0;
        layers.push_back({slot.scene, alpha + (1 - alpha) * slot.visibility, slot.visibility * blackness});
    };
    if (playScene) {
        layers.push_back({playScene, 1, 0});
        addSlot(playScene->zoomSlot);
    }
    if (LayerSlot* item = itemSlot())
        addSlot(*item);
    if (hud && hudAllowed(0.5f))
        layers.push_back({hud, 1, 0});
    addSlot(subSlots[0]);
    if (overHud)
        layers.push_back({overHud, 1, 0});
    for (int layer = 1; layer < kSubSceneSlots; ++layer)
        addSlot(subSlots[layer]);
    if (overlay)
        layers.push_back({overlay, 1, 0});

    size_t first = 0;
    for (size_t i = 0; i < layers.size(); ++i) {
        layers[i].scene->collectLayer(layers[i].opacity, layers[i].darkness);
        if (layers[i].scene->firstDrawIndex >= 0)
            first = i;
    }
    for (size_t i = first; i < layers.size(); ++i)
        layers[i].scene->draw();
}

} // namespace glint
