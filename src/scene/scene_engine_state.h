// Engine state the scene update reads and does not own: the pointer and
// the object it carries (kept by the pointer code), the configuration keys
// of the carried object and of the camera, the plain textures and the fonts.
#pragma once

namespace glint {

class MConfiguration;
class MFontList;
class MTexture;

struct SceneEngineState {
    float pointerX = 0, pointerY = 0; // game coordinates
    // 0: nothing taken; 3 and 5 follow the pointer; 2 carries the object
    // selected, enlarged.
    int takeMode = 0;
    float dragOffsetX = 0, dragOffsetY = 0; // recorded when the object was taken
    float takenOffsetX = 0, takenOffsetY = 0; // taken_offset_x, taken_offset_y
    float takenOffsetZ = 10000;               // taken_offset_z
    int defaultOrientation = 3;               // BuildDefaultOrientation
    // A full-screen element drawing one of them hides the layers below.
    const MTexture* plainWhite = nullptr;
    const MTexture* plainBlack = nullptr;
    // The game's fonts: set_text_props takes only a font loaded here.
    const MFontList* fonts = nullptr;
};

// The one state of the running game.
SceneEngineState& sceneEngineState();

// The configuration keys above, with their defaults.
void readSceneConfiguration(SceneEngineState& state, const MConfiguration& gameConfig);

} // namespace glint
