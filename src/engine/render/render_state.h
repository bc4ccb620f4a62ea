// What the renderer remembers of the GL state, so that redundant texture
// binds and blend changes are skipped, and what it learnt of the driver.
#pragma once

#include "engine/render/gl.h"

#include <cstdint>

namespace glint {

// The buffer object entry points (GL 1.5 or ARB_vertex_buffer_object), all
// or none.
struct BufferFunctions {
    PFNGLGENBUFFERSPROC genBuffers = nullptr;
    PFNGLBINDBUFFERPROC bindBuffer = nullptr;
    PFNGLBUFFERDATAPROC bufferData = nullptr;
    PFNGLDELETEBUFFERSPROC deleteBuffers = nullptr;
    bool available() const { return genBuffers && bindBuffer && bufferData && deleteBuffers; }
};

struct RenderState {
    int64_t boundTexture = -1;      // GL name; -1 = none
    int enabledTarget = -1;         // the enabled texture target; -1 = none
    float boundWidth = 1;           // size of the bound texture
    float boundHeight = 1;
    int blendSource = -1;           // -1 = not yet set
    int blendDestination = -1;
    int flipHeight = 0;             // game height: quads are given y down
    int maxTextureSize = 0;         // 0 = not known yet
    PFNGLCOMPRESSEDTEXIMAGE2DPROC compressedTexImage2D = nullptr;
    BufferFunctions buffers;        // none: the batch draws from client arrays
    // A frame that no one will look at (a headless run between its shots):
    // everything is prepared as usual but no pixel is drawn, which is most
    // of a software driver's time.
    bool pixelsUnseen = false;
};

extern RenderState renderState;

// After anything else touched the texture state.
void forgetTextureState();

} // namespace glint
