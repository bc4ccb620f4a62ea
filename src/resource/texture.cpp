#include "resource/texture.h"

#include "engine/render/texture.h"
#include "engine/resources/resource.h"
#include "engine/window/game_window.h"

namespace glint {

MTexture::~MTexture() { freeImage(); }

void MTexture::discard() {
    freeImage();
    loaded_ = false;
}

// The manager traces "LOAD %s" and "UNLOAD %s" for every texture it loads
// and unloads, so the texture itself stays quiet.
void MTexture::load() {
    freeImage();
    loaded_ = true;
    if (!KGameWindow::current())
        return; // no GL context to upload to (glint check, tests without a window)
    image = new KTexture();
    if (!image->loadFile(resolveDataPath(path))) {
        freeImage();
        return;
    }
    // The upload left both marked for sending at the first bind.
    image->filter = GL_LINEAR;
    image->wrap = textureWrapMode();
}

void MTexture::unload() {
    freeImage();
    loaded_ = false;
}

void MTexture::freeImage() {
    delete image;
    image = nullptr;
}

float MTexture::drawWidth() const {
    if (atlasParent)
        return atlasWidth;
    return image ? static_cast<float>(image->info.width) : 0.0f;
}

float MTexture::drawHeight() const {
    if (atlasParent)
        return atlasHeight;
    return image ? static_cast<float>(image->info.height) : 0.0f;
}

const MTexture* MTexture::page() const {
    const MTexture* texture = this;
    while (texture->atlasParent) texture = texture->atlasParent;
    return texture;
}

int textureWrapMode() {
    const KGameWindow* window = KGameWindow::current();
    return window && window->clampToEdge ? GL_CLAMP_TO_EDGE : GL_CLAMP;
}

} // namespace glint
