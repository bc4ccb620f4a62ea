#include "game/navigation_steps.h"

#include "scene/element.h"
#include "scene/element_geometry.h"
#include "scene/scene.h"
#include "scene/scene_update_steps.h"
#include "script/interpreter.h"

namespace glint {

Value sceneValue(MScene* scene) { return scene ? Value::fromPointer(ValueType::Scene, scene) : Value(); }

void callOnClose(MScene& scene) {
    Value* handler = scene.entry.onClose;
    if (handler && handler->is(ValueType::Function) && handler->pointer)
        callDefinedFunction(handler->as<ScriptFunction>(), nullptr, 0);
}

PolygonPoint elementCentreOnScreen(const MElement& element) {
    auto corners = elementCorners(element);
    PolygonPoint centre{(corners[0].x + corners[2].x) / 2, (corners[0].y + corners[2].y) / 2};
    const MScene* viewer = cameraSceneOf(element);
    if (!viewer)
        viewer = element.owner();
    if (!viewer)
        return centre;
    const SceneCamera& c = viewer->camera;
    return {(centre.x - c.halfW + c.offsetX) * c.scaleX + c.halfW + c.shiftX,
            (centre.y - c.halfH + c.offsetY) * c.scaleY + c.halfH + c.shiftY};
}

int profileSlot() {
    const Value* index = globalValue(sym::Profile_index());
    return index && index->isNumber() ? static_cast<int>(roundToInteger(index->number)) : 0;
}

} // namespace glint
