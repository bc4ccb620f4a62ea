// A scene collected as a layer of the frame: its draw inputs and the
// frontmost opaque element that hides everything behind it.
#include "resource/video.h"
#include "scene/element.h"
#include "scene/scene.h"
#include "scene/scene_engine_state.h"
#include "script/value.h"

namespace glint {

namespace {

// What draws an opaque picture: the clipping element, the plain textures
// and movies without alpha.
bool drawsOpaque(const MElement& e) {
    if (e.name == sym::clipping())
        return true;
    if (!e.visual)
        return false;
    const MImageAnim& image = e.visual->image;
    const SceneEngineState& state = sceneEngineState();
    if (image.texture && (image.texture == state.plainWhite || image.texture == state.plainBlack))
        return true;
    // A movie whose picture carries an alpha picture below the colour one
    // is not opaque.
    return image.movie && !image.movie->stackedAlpha;
}

bool hidesWhatIsBehind(const MElement& e) {
    return e.hasFlag(kElementVisible) && e.effectiveAlpha >= kOpaque && roundToInteger(e.absAngle) == 0 &&
           e.blendMode == 0 && e.coversScreen() && drawsOpaque(e);
}

} // namespace

// Without an update between two frames the index of the last frame must
// not survive a change of opacity, so it is found afresh each time.
void MScene::collectLayer(float opacity, float darkness) {
    drawOpacity = opacity;
    drawDarkness = darkness;
    firstDrawIndex = -1;
    if (opacity < 1)
        return;
    for (size_t i = 0; i < drawList.size(); ++i) {
        if (hidesWhatIsBehind(*drawList[i])) {
            firstDrawIndex = static_cast<int32_t>(i);
            return;
        }
    }
}

} // namespace glint
