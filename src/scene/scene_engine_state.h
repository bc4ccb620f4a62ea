// Engine state the scene update and drawing read and do not own: the
// pointer and the object it carries (kept by the pointer code), the
// configuration keys of the carried object and of the camera, the plain
// textures, the fonts and the text settings.
#pragma once

namespace glint {

class KTexture;
class MConfiguration;
class MElement;
class MFontList;
class MScene;
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
    // Flat colour quads tint it: the plain white image, else the engine's own.
    KTexture* fillTexture = nullptr;
    float screenW = 640, screenH = 480; // BuildScreenW, BuildScreenH
    const MFontList* fonts = nullptr;
    bool mergeTextKeyAndText = true;    // BuildMergeTextKeyAndText
    bool fontScaling = false;           // BuildFontScaling
    float globalFontScaling = 1;        // BuildGlobalFontScaling
};

// The one state of the running game.
SceneEngineState& sceneEngineState();

// The configuration keys above, with their defaults.
void readSceneConfiguration(SceneEngineState& state, const MConfiguration& gameConfig);

} // namespace glint
