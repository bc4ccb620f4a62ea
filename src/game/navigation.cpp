// Leaving and entering play scenes: the goto request, the fade out with the
// camera zooming towards the clicked element, the three-step switch and the
// fade in.
#include "game/navigation.h"

#include "engine/system/memory.h"
#include "game/navigation_steps.h"
#include "resource/resource.h"
#include "resource/resource_manager.h"
#include "scene/activity.h"
#include "scene/element.h"
#include "scene/scene.h"
#include "scene/scene_registry.h"
#include "script/interpreter.h"
#include "script/symbol.h"

namespace glint {

int32_t sceneTicks(const Value& seconds, int32_t fallback) {
    int32_t ticks = seconds.isNumber() ? secondsToTicks(seconds) : fallback;
    return ticks < 1 ? 1 : ticks;
}

MNavigation::MNavigation(NavigationHost& host, MSceneRegistry& registry, float screenW, float screenH,
                         float cameraZoom)
    : host_(host), registry_(registry), screenW_(screenW), screenH_(screenH), cameraZoom_(cameraZoom) {
    auto named = [&registry](const char* name) { return registry.find(intern(name)); };
    game = registry.gameScene;
    hud = named("hud");
    overHud = named("over_hud");
    overlay = named("overlay");
    inventory = named("inventory");
    pauseOverlay = named("pause");
}

void MNavigation::bind(Scope& global) {
    declareVariable(global, KindPlain, sym::Play_scene()->text, &playSceneValue);
    declareVariable(global, KindPlain, sym::Main_scene()->text, &mainSceneValue);
    declareVariable(global, KindPlain, sym::Next_play_scene()->text, &nextPlaySceneValue);
    declareVariable(global, KindPlain, sym::Active_scene()->text, &activeSceneValue);
    declareVariable(global, KindPlain, sym::WAITING()->text, &waitingValue);
    waitingValue = Value::fromNumber(0);
}

void MNavigation::raise(Value* signal) {
    if (signal && signal->is(ValueType::Signal) && signal->pointer)
        raiseSignal(signal->as<ScriptSignal>());
}

void MNavigation::gotoScene(MScene* scene, MElement* source, float colour) {
    if (!scene || nextPlayScene == scene)
        return;
    host_.dropTakenObject();
    previousPlayScene = playScene;
    nextPlayScene = scene;
    nextPlaySceneValue = sceneValue(scene);
    sourceElement = source;
    transitionStep = 0;
    transitionSteps = playScene ? sceneTicks(playScene->cells.closeTime, 50) : 1;
    transitionColour = colour;
    MResource* ambient = host_.ambientFileOf(*scene);
    if (ambient != currentAmbient)
        ambientChange = true;
    else if (currentAmbient)
        host_.resources().acquire(currentAmbient, false); // kept loaded through the switch
    if (playScene) {
        raise(playScene->entry.close);
        if (transitionState == kTransitionFadingIn)
            transitionStep = transitionSteps - 1;
        else
            transitionState = kTransitionFadingOut;
    } else {
        visibility = 0;
        startSwitch();
    }
    sceneActivity().add({nullptr, ActivityKind::Goto, scene->name, nullptr, nullptr});
}

void MNavigation::startSwitch() {
    visibility = 0;
    transitionState = kTransitionSwitching;
    switching = true;
    switchStep = 0;
}

void MNavigation::advanceTransition() {
    if (!(hold && transitionState == kTransitionFadingOut)) {
        if (transitionState == kTransitionFadingOut) {
            ++transitionStep;
            if (transitionStep < transitionSteps) {
                visibility = 1 - static_cast<float>(transitionStep) / static_cast<float>(transitionSteps);
            } else if (transitionStep == transitionSteps) {
                visibility = 0;
                host_.dropTakenObject();
                closeSubScenesForSwitch();
            } else if (transitionStep == transitionSteps + 1) {
                raise(playScene ? playScene->entry.closed : nullptr);
            } else {
                startSwitch();
            }
        } else if (transitionState == kTransitionFadingIn) {
            ++transitionStep;
            if (transitionStep <= transitionSteps) {
                visibility = static_cast<float>(transitionStep) / static_cast<float>(transitionSteps);
            } else {
                nextPlaySceneValue = Value();
                nextPlayScene = nullptr;
                visibility = 1;
                transitionState = kTransitionNone;
                transitionColour = 0;
                ambientChange = false;
                raise(playScene ? playScene->entry.opened : nullptr);
            }
        }
    }
    applyTransitionCamera();
}

// The open sub-scenes close, highest first, as the play scene goes.
void MNavigation::closeSubScenesForSwitch() {
    for (int layer = kSubSceneSlots - 1; layer >= 0; --layer) {
        LayerSlot& slot = subSlots[layer];
        if (!slot.shows() || !slot.idle())
            continue;
        callOnClose(*slot.scene);
        slot.state = kSlotClosing;
        slot.step = 0;
        slot.steps = 1;
        slotLock = true;
        sceneActivity().add({nullptr, ActivityKind::Close, slot.scene->name, nullptr, nullptr});
    }
}

// While the play scene fades out it zooms towards the element that sent
// the player away, by "transition_camera_zoom".
void MNavigation::applyTransitionCamera() {
    if (!playScene)
        return;
    const float centreX = screenW_ / 2, centreY = screenH_ / 2;
    playScene->viewScale = 1;
    playScene->viewCenterX = centreX;
    playScene->viewCenterY = centreY;
    if (transitionState != kTransitionFadingOut || !sourceElement)
        return;
    const float z = cameraZoom_;
    PolygonPoint e = elementCentreOnScreen(*sourceElement);
    playScene->viewScale = z + (1 - z) * visibility;
    const float startX = centreX - (e.x - centreX) * (z - 1), startY = centreY - (e.y - centreY) * (z - 1);
    playScene->viewCenterX = startX + (centreX - startX) * visibility;
    playScene->viewCenterY = startY + (centreY - startY) * visibility;
}

void MNavigation::advanceSwitch() {
    switch (switchStep) {
    case 0: switchStep0(); break;
    case 1:
        host_.resources().loadAllQueued();
        // The scene left behind has dropped its images and sounds.
        releaseFreeMemory();
        switchStep = 2;
        break;
    default: switchStep2(); break;
    }
}

void MNavigation::switchStep0() {
    MScene* target = nextPlayScene;
    if (!target) {
        MScene* startup = registry_.find(intern("startup"));
        target = startup && startup->flags.play ? startup : nullptr;
        ambientChange = true;
    }
    const bool changed = target != playScene;
    host_.cancelPicking();
    host_.stopSwitchSounds();
    for (int layer = kSubSceneSlots - 1; layer >= 0; --layer) {
        LayerSlot& slot = subSlots[layer];
        if (!slot.shows() || !slot.idle())
            continue;
        callOnClose(*slot.scene);
        slot = LayerSlot{};
    }
    SceneLoadContext context = host_.loadContext();
    if (playScene) {
        if (changed)
            playScene->releaseResources(context);
        else if (ambientChange && currentAmbient)
            host_.resources().release(currentAmbient);
    }
    host_.serveSaveRequests(profileSlot());
    setPlayScene(target);
    nextPlayScene = nullptr;
    nextPlaySceneValue = Value();
    if (playScene) {
        if (changed) {
            playScene->load(context);
            playScene->prepare(context);
            playScene->acquireResources(context);
        } else if (ambientChange) {
            if (MResource* ambient = host_.ambientFileOf(*playScene))
                host_.resources().acquire(ambient, false);
        }
    }
    switchStep = 1;
}

void MNavigation::switchStep2() {
    host_.resetInventoryState();
    if (playScene) {
        raise(playScene->entry.open);
        playScene->resetTimers();
    }
    transitionStep = 0;
    transitionSteps = playScene ? sceneTicks(playScene->cells.openTime, 50) : 50;
    transitionState = kTransitionFadingIn;
    switchStep = 0;
    switching = false;
    if (ambientChange) {
        currentAmbient = playScene ? host_.ambientFileOf(*playScene) : nullptr;
        if (currentAmbient)
            host_.startAmbient(currentAmbient);
    } else if (currentAmbient) {
        host_.resources().release(currentAmbient); // the reference the goto took
    }
}

void MNavigation::setPlayScene(MScene* scene) {
    playScene = scene;
    playSceneValue = sceneValue(scene);
    MScene* top = scene;
    while (top && top->parent)
        top = top->parent;
    mainSceneValue = sceneValue(top);
}

} // namespace glint
