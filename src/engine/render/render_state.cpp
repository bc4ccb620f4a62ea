#include "engine/render/render_state.h"

namespace glint {

RenderState renderState;

void forgetTextureState() {
    renderState.boundTexture = -1;
    renderState.enabledTarget = -1;
    renderState.boundWidth = 1;
    renderState.boundHeight = 1;
}

} // namespace glint
