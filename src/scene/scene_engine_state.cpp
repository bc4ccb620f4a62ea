#include "scene/scene_engine_state.h"

#include "resource/configuration.h"
#include "script/symbol.h"

namespace glint {

SceneEngineState& sceneEngineState() {
    static SceneEngineState state;
    return state;
}

void readSceneConfiguration(SceneEngineState& state, const MConfiguration& gameConfig) {
    state.takenOffsetX = gameConfig.getFloat(sym::taken_offset_x(), 0);
    state.takenOffsetY = gameConfig.getFloat(sym::taken_offset_y(), 0);
    state.takenOffsetZ = gameConfig.getFloat(sym::taken_offset_z(), 10000);
    state.defaultOrientation = gameConfig.getInt(sym::BuildDefaultOrientation(), 3);
}

} // namespace glint
