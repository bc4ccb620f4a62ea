// A scene of the game: a room, close-up, puzzle or interface layer. The
// registry creates one per listed scene and fills what is known from its
// name, its folder and the game configuration; the loader adds content.
#pragma once

#include <cstdint>
#include <vector>

#include "scene/layer_slot.h"
#include "scene/scene_limits.h"
#include "script/host_objects.h"

namespace glint {

class MApplication;
class MConfiguration;
class MElement;
class MElementVisual;
class MGroup;
class MResourceManager;
class MSceneSound;
class MSoundFile;
struct SceneLoadContext;
struct MHoverLink;


// What initialising a scene reads and registers with.
struct SceneContext {
    const MApplication& app;
    MResourceManager& resources;
};

// An element under which another scene is copied, its names prefixed.
struct SceneInstanceRequest {
    Symbol* element = nullptr;
    Symbol* scene = nullptr;
};

// The twelve classification flags; each is also a script constant 0 or 1.
struct SceneFlags {
    bool system = false;
    bool gameplay = false;
    bool main = false;
    bool sub = false;
    bool zoomZone = false;
    bool zoomScene = false;
    bool puzzle = false;
    bool matchThree = false;
    bool minishow = false;
    bool play = false;
    bool hiddenObject = false;
    bool item = false;
};

// Cells the scene owns and its script class binds by name ("Scene_name",
// "Open_time" ...): scripts and engine share them.
struct SceneCells {
    Value parentScene, sceneName, scenePath, sceneBaseName, districtIndex;
    Value zoomScale, zoomAlpha, zoomCameraScale, zoomCameraOffset, backgroundBlacknessAlpha;
    Value pointerX, pointerY, isPassiveScene, noInventory, noPointer, noHud, layer, isSerializable;
    Value openTime = Value::fromNumber(0.5);
    Value closeTime = Value::fromNumber(0.5);
    Value isOpened;
    Value flags[12]; // in the order of SceneFlags
    Value self;      // the game class's variable named after the scene
};

// Ordinary script variables of the scene that the engine reads back. They
// live in the script heap like any variable the scripts create.
struct SceneReadBack {
    Value* cameraX = nullptr;
    Value* cameraY = nullptr;
    Value* cameraScale = nullptr;
    Value* cameraScaleX = nullptr;
    Value* cameraScaleY = nullptr;
    Value* musicVolume = nullptr;
    Value* ambient = nullptr;
    Value* ambientOther = nullptr;
    Value* inventoryForced = nullptr;
    Value* inventoryHidden = nullptr;
    Value* zoomElement = nullptr;
    Value* isBlocked = nullptr;
};

// Cells of the handlers the engine calls when the scene opens and closes.
// Linking sets a cell to none when scripts leave it undefined, so callers
// test the cell's type each time.
struct SceneEntryPoints {
    Value* onClose = nullptr;           // function
    Value* open = nullptr;              // signals from here on
    Value* opened = nullptr;
    Value* close = nullptr;
    Value* closed = nullptr;
    Value* checkLocalization = nullptr;
};

// The camera the scene is shown through; the scene update recomputes it
// every tick. A scene point p appears on screen at
// centre + shift + R(angle) * scale * (p + offset - centre); apply_camera,
// unapply_camera and the hit tests use it without the rotation.
struct SceneCamera {
    float halfW = 320, halfH = 240; // centre of the game area
    float offsetX = 0, offsetY = 0;
    float scaleX = 1, scaleY = 1;
    float shiftX = 0, shiftY = 0;
    float angle = 0;
};

class MScene : public ScriptScene {
public:
    MScene() = default;
    explicit MScene(Symbol* n) : ScriptScene(n) {}
    // Gives the elements back to their pools.
    ~MScene() override;

    // Fills a new scene: names, extra configuration, classification,
    // district and script class. name is the name as listed; parent may be
    // null. With deferExtraConfig the .sxcfg is registered but not acquired.
    void initialize(const SceneContext& context, Symbol* folder, MScene* parent, Symbol* name,
                    bool deferExtraConfig);

    // The scene's variables; for the game scene the global scope.
    Scope& scriptClass() { return scope; }

    // A new element with the defaults, at the end of the element and draw
    // lists and declared in the script class under name. A null visual
    // gets a fresh one with the kind flags of the name. Null, with the
    // script error "Too much elements in scene %s", once the scene is full.
    MElement* createElement(MElementVisual* visual, Symbol* name, bool dynamic);
    // A new element sharing source's visual, with its text key, font, text
    // alignment, colour and outline, pivot and channels.
    MElement* copyElement(const MElement& source, Symbol* name, bool dynamic);
    MElement* findElement(Symbol* name) const;
    // A new group at the end of the group list, declared in the script class.
    MGroup* createGroup(Symbol* name);
    MGroup* findGroup(Symbol* name) const;
    MSceneSound* findSound(Symbol* name) const;
    // Copies model (a dynamic element of this scene stands for the element it
    // copies) as a dynamic element.
    ScriptElement* createDynamicElement(ScriptElement* model, Symbol* name) override;
    // Detaches a dynamic element of this scene from everything in the scene
    // that refers to it and returns it to the dynamic pool.
    bool deleteDynamicElement(ScriptElement* element) override;
    // Returns every element and group (the scene's content is dropped).
    void releaseElements();

    // Reads the scene's letter-coded file into elements and groups; what
    // its objects ask to have copied in is added to the two lists: scenes
    // to copy under "root", and (element, scene) instance requests.
    void parseLetterScene(const SceneLoadContext& context, std::vector<Symbol*>& subScenes,
                          std::vector<SceneInstanceRequest>& instances);
    // Parses the scene file and merges templates, sub-scenes and instances;
    // once per run (later calls and calls while loading return at once).
    void load(const SceneLoadContext& context);
    // Readies the loaded content for display; once per scene.
    void prepare(const SceneLoadContext& context);
    // Take and drop what the open scene holds: element textures and movies,
    // the scene's sounds, and the same for child scenes that are zoom zones.
    // Balanced: a second acquire or a release without acquire does nothing.
    void acquireResources(const SceneLoadContext& context);
    void releaseResources(const SceneLoadContext& context);
    // Merges the registered scene templateName (a missing one is ignored).
    void applyTemplate(const SceneLoadContext& context, Symbol* templateName, std::vector<MScene*>& applied);
    // Copies source's own elements and groups under each element the script
    // class knows as elementName (one element or an array of them); with
    // prefixNames the copies are named "<element>$<name>".
    void instantiate(const SceneLoadContext& context, Symbol* elementName, MScene* source, bool prefixNames,
                     std::vector<MScene*>& applied);
    // Records in the high flag bits which saved properties now differ from
    // their defaults, so that savegames store only later changes.
    void snapshotFlags();
    // Element animation, driven by the update: clocks (only while the scene
    // clock runs) and tracks of the animated list (halfW and halfH, half
    // the game area, place top-level elements); blends; fades, which also
    // scale the effective opacity the update has just computed.
    void updateAnimation(bool clockRuns, float halfWidth, float halfHeight);
    void updateBlends();
    void updateTyping();
    void updateFades(bool clockRuns);

    // name (ScriptHostObject) and folder (ScriptScene) are the scene's full
    // name and folder.
    Symbol* baseName = nullptr; // file names inside the folder use it
    MScene* parent = nullptr;
    int32_t index = -1;         // position in the registry
    SceneFlags flags;
    int32_t district = 0;       // 0, or 1 and 2 for the two bonus editions
    MConfiguration* extraConfig = nullptr;
    bool loaded = false;
    bool loading = false;
    bool prepared = false;
    bool paused = false;        // while preparing
    bool resourcesHeld = false; // between acquireResources and releaseResources
    MResourceManager* holder = nullptr; // who holds for the open scene

    std::vector<MElement*> elements; // position order
    std::vector<MElement*> drawList;
    std::vector<MGroup*> groups;
    std::vector<MElement*> typing;   // elements showing their text character by character
    std::vector<MElement*> animated; // elements whose clock runs
    std::vector<MElement*> fading;   // elements with a running fade
    std::vector<MElement*> blending; // elements with a running blend
    // Sizes of the lists right after the scene file was parsed: what
    // instances and templates copy from this scene.
    int32_t staticElementCount = 0;
    int32_t staticGroupCount = 0;
    MElement* rootElement = nullptr;   // the scene's own "root"
    MElement* cameraElement = nullptr; // "camera" after all merging
    MConfiguration* soundsConfig = nullptr; // "<folder>/_sounds/_sounds.cfg"
    std::vector<MSceneSound*> sounds;       // its list, in list order
    MSoundFile* heldAmbient[2] = {};        // "ambient" and "ambient_other" while open
    int32_t templatesApplied = 0;           // numbers the renamed roots
    bool drawOrderDirty = false;     // the draw list needs sorting
    bool transformsDirty = false;    // some element's absolute transform is stale

    SceneCells cells;
    SceneReadBack readBack;
    SceneEntryPoints entry;
    SceneCamera camera;
    LayerSlot zoomSlot; // the scene's open zoom zone

    // The per-tick update (scene_update.cpp with scene_camera.cpp,
    // scene_hover.cpp, scene_order.cpp, element_transform.cpp).
    // Called every tick for the scene on screen with sortNow true.
    void update(bool sortNow);
    // Replaces element's hover link; none is added without a highlight and
    // with a hoverScale of at most 0.01.
    void addHoverLink(MElement* element, MElement* highlight, float hoverScale);
    // When the scene starts opening: hover levels and idle clocks restart.
    void resetTimers();
    // Before the scene is drawn as a layer: sets the draw inputs and finds
    // the frontmost opaque element covering the game area (the caller keeps
    // the list of layers).
    void collectLayer(float opacity, float darkness);
    // Draws the scene as collected (scene_draw.cpp): the darkness veil, then
    // the visible elements from firstDrawIndex to the front. Nothing
    // without a window.
    void draw();

    std::vector<MElement*> updateList; // parents before their children
    std::vector<MElement*> recomputed; // refreshed by the last update
    std::vector<MHoverLink*> hoverLinks;
    bool hierarchyDirty = true; // the update list needs reordering
    bool clockRuns = false;     // set by the caller for a tick in which the clocks advance
    int32_t tickCounter = 0;    // updates with the clock running
    // Set by the layer slots and transitions.
    float viewScale = 1, viewCenterX = 320, viewCenterY = 240;
    // Set for each frame by collectLayer; reset by every update.
    float drawOpacity = 1, drawDarkness = 0;
    int32_t firstDrawIndex = -1;

private:
    // instantiate for a list of anchors (a null anchor copies without one);
    // templates copy their root elements too. Returns the new elements.
    std::vector<MElement*> copyScene(const SceneLoadContext& context, const std::vector<MElement*>& anchors,
                                     MScene* source, bool prefixNames, bool fromTemplate,
                                     std::vector<MScene*>& applied);
    void computeNames(MScene* parent, Symbol* name);
    void classify(const MApplication& app);
    void findDistrict();
    void attachScript();
    void declareScriptClass();
};

// Take and drop an element's image texture and movie for its open scene.
void holdElementResources(MResourceManager& resources, MElement& element);
void releaseElementResources(MResourceManager& resources, MElement& element);

// True when the game configuration holds key as a string containing
// ":" + name + ":" (lists written as :a:b:c:).
bool configListContains(const MConfiguration& config, Symbol* key, Symbol* name);

} // namespace glint
