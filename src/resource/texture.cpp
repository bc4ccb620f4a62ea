#include "resource/texture.h"

#include "engine/render/texture.h"
#include "engine/resources/resource.h"

namespace glint {

MTexture::MTexture(const char* path) : MResource(ResourceKind::Texture, path) {}
MTexture::~MTexture() = default;

void MTexture::discard() { unload(); }

void MTexture::load() {
    loaded_ = true;
    if (atlasParent)
        return; // its page holds the pixels
    auto texture = std::make_unique<KTexture>();
    if (texture->loadFile(resolveDataPath(path)))
        image = std::move(texture);
}

void MTexture::unload() {
    loaded_ = false;
    image.reset();
}

} // namespace glint
