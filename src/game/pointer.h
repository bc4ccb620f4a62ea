// The player's one pointer: the per-tick state of its buttons (clicks,
// holds, drags, the long press), the object it carries, which task under it
// reacts to a click in which layer, the look it shows, and what is drawn at
// it (the look's element and the tooltip).
//
// Glint runs on desktops: the touch gestures and take modes 1 to 4 of touch
// platforms are not part of this build (the script constant TOUCH is 0).
#pragma once

#include <cstdint>
#include <string>

#include "script/value.h"

namespace glint {

class KText;
class MConfiguration;
class MElement;
class MInventory;
class MNavigation;
class MScene;
struct InventoryItem;
struct ScriptTask;
struct Scope;
struct Symbol;

enum PointerButton : int { kPrimaryButton = 0, kSecondaryButton = 1 };

// What the input edges say this tick; the pointer takes (clears) them.
struct PointerButtonsInput {
    float x = 0, y = 0;
    bool pressed[2] = {}, released[2] = {}, held[2] = {};
    bool escapePressed = false;
};

// A task under the pointer, with the look it asks for.
struct HoverTarget {
    ScriptTask* task = nullptr;
    Symbol* pointerName = nullptr;
    explicit operator bool() const { return task != nullptr; }
};

enum DragState : int32_t { kNoDrag = 0, kDragOfTask = 2, kDragging = 3 };
constexpr int32_t kTakeModeDesktop = 5;

class MPointer {
public:
    // The global variables "Taken_object", "Old_taken_object", "Pointer"
    // and "Wait_pointer" in the global scope; dragging thresholds from the
    // game configuration.
    void bind(Scope& global, const MConfiguration& gameConfig);

    // Every active tick before the script passes.
    void updateState(PointerButtonsInput& input, const Value* engineSpeed);
    // The click dispatch over the layers: the first layer whose task pass
    // serves the click ends it; then the drop check and the escape key.
    void dispatchClicks(MNavigation& navigation, bool waiting);
    // After the script passes: drops on nothing, and clicks nobody took.
    void serveUnhandled(bool waiting, bool clickHandled);
    // One scene's task pass: the first enabled task under the pointer is
    // the hover target of its kind, and the pointer event of its click type
    // hands it to the task execution. True when the click was served.
    bool taskPass(MScene* scene);

    void takeObject(const Value& object, bool pressed);
    void dropObject(int flag);
    void setTakeMode(int mode);
    // A pause cuts a drag off before its release: the dragged object goes.
    void dropDraggedObject();

    // The look of this frame: "click", "wait", "look", "use" or a task's
    // own, "" for no pointer. lookExists tells whether a named look has an
    // element in the pointer scene.
    struct LookContext {
        bool paused = false, splash = false, splashClickable = false;
        bool hidden = false; // loading, switching, no play scene, No_pointer
        bool waiting = false;
        bool (*lookExists)(Symbol* look, void* user) = nullptr;
        void* user = nullptr;
    };
    Symbol* chooseLook(const LookContext& context) const;

    // The tooltip of this tick's targets: the carried or hovered item's,
    // else the localized "tooltip_key" and "tooltip_text" of the hovered
    // element; or "".
    std::string tooltipText(bool mergeKeyAndText) const;
    // Remembers the text and advances its fade; the opacity to draw with.
    float advanceTooltip(const std::string& text);
    const std::string& tooltip() const { return tooltipShown_; }
    int32_t tooltipTicks() const { return tooltipTicks_; }
    float tooltipOpacity() const { return tooltipOpacity_; }

    float x = 0, y = 0;
    bool pressed[2] = {}, released[2] = {}, clicked[2] = {};
    float pressX = 0, pressY = 0;
    int32_t holdTicks = 0;
    float dragDistance = 0;
    int32_t dragState = kNoDrag;
    bool dragBegan = false; // the gesture became a drag this tick
    bool longPress = false;
    float dragOffset = 64, dragTakenOffset = 64; // BuildDragOffset, BuildDragTakenOffset
    HoverTarget hoverClick, hoverLook, hoverUse;
    // The panel item under the pointer, and the one a click there takes.
    InventoryItem* hoverItem = nullptr;
    InventoryItem* itemToTake = nullptr;
    ScriptTask* pressTarget = nullptr;
    bool dropRequest = false;
    bool escapePressed = false;
    int32_t takeMode = 0;
    float takeOffsetX = 0, takeOffsetY = 0;
    float takenAtX = 0, takenAtY = 0;

    Value takenObject, oldTakenObject, pointerLook, waitPointerLook;
    // The panels join the HUD's pass, and items taken and put back tell
    // the inventory; null without one.
    MInventory* inventory = nullptr;

private:
    bool triggers(const ScriptTask& task) const;

    std::string tooltipShown_;
    int32_t tooltipTicks_ = 0, tooltipFade_ = 0;
    float tooltipOpacity_ = 0;
};

// A task's element when it is a scene element.
MElement* taskElement(const ScriptTask& task);

} // namespace glint
