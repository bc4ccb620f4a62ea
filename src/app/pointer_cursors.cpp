#include "app/pointer_cursors.h"

#include "app/options.h"
#include "engine/resources/resource.h"
#include "engine/window/cursor_mode.h"
#include "scene/element.h"
#include "scene/scene_loader.h"
#include "scene/scene_registry.h"
#include "script/symbol.h"
#include "script/value.h"

#include <cstring>
#include <string>

namespace glint {

namespace {

constexpr char kLookPrefix[] = "pointer_";
constexpr size_t kLookPrefixLength = sizeof kLookPrefix - 1;

void bindPointerScene(PointerScene& bound, MScene& scene) {
    Scope& scope = scene.scriptClass();
    bound.scene = &scene;
    bound.prevPointer = findVariable(scope, KindPlain, sym::Prev_pointer(), nullptr, true);
    bound.currentPointer = findVariable(scope, KindPlain, sym::Current_pointer(), nullptr, true);
}

PointerCursor makeRecord(MElement& element) {
    PointerCursor record;
    record.look = intern(element.name->text + kLookPrefixLength);
    record.element = &element;
    std::string path = std::string("data/") + element.name->text + ".cur";
    record.cursor.reset(loadSystemCursor(resolveDataPath(path.c_str())));
    return record;
}

// While the system cursor is used, the streaming configuration can take a
// shape's cursor away altogether.
bool shapeHidden(const PlatformSettings& platform, Symbol* look) {
    for (const PointerShapeSetting& shape : platform.pointerShapes)
        if (shape.name == look && !shape.visible)
            return true;
    return false;
}

} // namespace

void loadPointerCursors(PointerCursors& cursors, MSceneRegistry& scenes, const SceneLoadContext& context) {
    MScene* scene = scenes.find(sym::pointers());
    if (!scene)
        return;
    scene->load(context);
    scene->prepare(context);
    scene->acquireResources(context);
    bindPointerScene(cursors.scene, *scene);
    for (MElement* element : scene->elements)
        if (element->name && std::strncmp(element->name->text, kLookPrefix, kLookPrefixLength) == 0)
            cursors.records.push_back(makeRecord(*element));
}

const PointerCursor* findPointerCursor(const PointerCursors& cursors, Symbol* look) {
    for (const PointerCursor& record : cursors.records)
        if (record.look == look)
            return &record;
    return nullptr;
}

PointerLookDisplay showPointerLook(const PointerCursors& cursors, Symbol* look, const OptionCells& cells,
                                   const PlatformSettings& platform) {
    bool systemCursor = systemCursorUsed(cells, platform);
    const PointerCursor* record = findPointerCursor(cursors, look);
    bool hidden = look && shapeHidden(platform, look);
    if (systemCursor && record && record->cursor && !hidden) {
        if (drawnCursorMode()) {
            setDrawnCursorMode(false);
            showSystemCursor();
        }
        setSystemCursor(*record->cursor);
        return PointerLookDisplay::SystemCursor;
    }
    if (!drawnCursorMode()) {
        setDrawnCursorMode(true);
        hideSystemCursor();
    }
    return systemCursor && hidden ? PointerLookDisplay::Nothing : PointerLookDisplay::DrawnElement;
}

} // namespace glint
