// The scene stack and the moves through it: the play scene (the location
// the player is in), its zoom zone and item scene, ten sub-scene layers and
// the system scenes around them; the goto transition with its fade, zoom
// and three-step scene switch; layers opening and closing with their own
// animation; which scene is active; the waiting state while anything is in
// progress; and the order in which the layers are updated, scripted and
// drawn.
#pragma once

#include <cstdint>
#include <vector>

#include "scene/layer_slot.h"
#include "scene/scene_loader.h"
#include "script/value.h"

namespace glint {

class MElement;
class MResource;
class MResourceManager;
class MScene;
class MSceneRegistry;
struct Scope;

constexpr int kItemSlots = 10;
constexpr int kSubSceneSlots = 10;

enum TransitionState : int32_t {
    kTransitionNone = 0,
    kTransitionFadingIn = 1,
    kTransitionFadingOut = 2,
    kTransitionSwitching = 3,
};

// What navigation needs of the engine around it.
class NavigationHost {
public:
    virtual ~NavigationHost() = default;
    virtual SceneLoadContext loadContext() = 0;
    virtual MResourceManager& resources() = 0;
    // Scripts still wait for something in the scene.
    virtual bool sceneIsBusy(const MScene* scene) const = 0;
    virtual void dropTakenObject() = 0;
    // The pending autosave and load requests, for a profile slot above 0.
    virtual void serveSaveRequests(int profileSlot) = 0;
    // Stop looped and queued sounds before a switch, and a scene's sounds.
    virtual void stopSwitchSounds() = 0;
    // The flights of found objects end at once, their items in place.
    virtual void cancelPicking() = 0;
    virtual void stopSceneSounds(MScene& scene) = 0;
    virtual void resetInventoryState() = 0;
    virtual void hideInventory() = 0;
    // The sound file of a scene's "ambient" variable, or null.
    virtual MResource* ambientFileOf(MScene& scene) = 0;
    virtual void startAmbient(MResource* file) = 0;
};

class MNavigation {
public:
    // host and registry must outlive it; screenW and screenH are the game
    // area; cameraZoom is "transition_camera_zoom".
    MNavigation(NavigationHost& host, MSceneRegistry& registry, float screenW, float screenH, float cameraZoom);

    // The script variables ("Play_scene", "Main_scene", "Next_play_scene",
    // "Active_scene", "WAITING") in the global scope.
    void bind(Scope& global);

    // goto: leaves the play scene for scene; source is the element that
    // was clicked (the camera zooms towards it), colour the fade's grey.
    void gotoScene(MScene* scene, MElement* source, float colour);
    // open: a zoom zone in its parent's zoom slot, an item scene in the
    // play scene's item slot, any other scene in the sub-scene slot of its
    // "Layer".
    void openScene(MScene* scene);
    // close: the highest idle sub-scene, else the item scene, else the zoom
    // zone; seconds 0 takes the scene's "Close_time".
    void closeTop(float seconds);

    // The steps of the game tick, in the order the tick calls them.
    void advanceSwitch();      // while switching
    void advanceTransition();  // the fade and the transition camera
    void updateSlots();        // the slot animations
    void publish();            // waiting, hold and the active scene

    // The layer stack, lowest first, for the tick and the drawing.
    std::vector<MScene*> pointerScenes() const;
    std::vector<MScene*> updateScenes(bool active) const;
    // The scenes whose scripts run in a pass: the system scenes, the focus
    // scene and passive sub-scenes. (Signals run their handlers when they
    // are raised, so the play scene's transition signals need no pass.)
    std::vector<MScene*> scriptScenes() const;
    // A play scene exists and its "No_hud" is below limit: 0.5 for the HUD,
    // 1.5 for the over-HUD.
    bool hudAllowed(float limit) const;
    // The scene shows in the item slot of a gameplay play scene: idle
    // there, or closing while the slots are locked.
    bool itemSceneShown(const MScene* scene) const;
    // The play scene's item slot, for a gameplay play scene, else null.
    const LayerSlot* playItemSlot() const { return itemSlot(); }
    // Collects the layers with their opacity and darkness and draws them
    // from the highest one that hides everything behind it.
    void drawLayers();

    MScene* playScene = nullptr;
    MScene* nextPlayScene = nullptr;
    MScene* previousPlayScene = nullptr;
    MElement* sourceElement = nullptr;
    float transitionColour = 0;
    int32_t transitionState = kTransitionNone;
    int32_t transitionStep = 0, transitionSteps = 1;
    float visibility = 1;
    bool switching = false;
    int32_t switchStep = 0;
    MScene* activeScene = nullptr;
    bool waiting = false, hold = false, slotLock = false;
    bool ambientChange = false;
    MResource* currentAmbient = nullptr;
    LayerSlot itemSlots[kItemSlots];
    LayerSlot subSlots[kSubSceneSlots];

    // The system scenes of the stack, found by name (null when absent).
    MScene* game = nullptr;
    MScene* hud = nullptr;
    MScene* overHud = nullptr;
    MScene* overlay = nullptr;
    MScene* inventory = nullptr;
    MScene* pauseOverlay = nullptr;

    Value playSceneValue, mainSceneValue, nextPlaySceneValue, activeSceneValue, waitingValue;

private:
    void raise(Value* signal);
    void startSwitch();
    void switchStep0();
    void switchStep2();
    void closeSubScenesForSwitch();
    void applyTransitionCamera();
    void setPlayScene(MScene* scene);
    // The play scene's item slot, for a gameplay play scene.
    LayerSlot* itemSlot();
    const LayerSlot* itemSlot() const;
    void openSlot(LayerSlot& slot, MScene* scene);
    void closeSlot(LayerSlot& slot, bool immediate, int32_t ticks);
    void updateSlot(LayerSlot& slot);
    void startOpening(LayerSlot& slot);
    void startClosing(LayerSlot& slot);
    void finishClosing(LayerSlot& slot);
    void zoomAnimation(const LayerSlot& slot);
    MScene* focusScene(int* focusSlot) const;
    void addPlayLayers(std::vector<MScene*>& list) const;
    bool isGameplayPlay() const;

    NavigationHost& host_;
    MSceneRegistry& registry_;
    float screenW_, screenH_, cameraZoom_;
    size_t countAtPublication_ = 0;
};

// A scene's time variable ("Open_time", "Close_time") in ticks, at least 1;
// fallback when it holds no number.
int32_t sceneTicks(const Value& seconds, int32_t fallback);

} // namespace glint
