// An image resource: a file of its own, or a rectangle of an atlas page that
// is loaded by loading the page.
#pragma once

#include "resource/resource.h"

#include <cstdint>

namespace glint {

class MTexture : public MResource {
public:
    explicit MTexture(const char* path) : MResource(ResourceKind::Texture, path) {}

    void discard() override;
    void load() override;
    void unload() override;

    bool isLoaded() const { return loaded_; }

    MTexture* atlasParent = nullptr; // the page this texture is a rectangle of
    // Named by an image spec in a system scene that is not a play scene:
    // its scene does not hold it while the manager loads at once (mode 0).
    uint8_t lazy = 0;
    // Listed in a dynamic atlas: held only while its element is visible.
    uint8_t dynamic = 0;

private:
    // Whether the contents are present; the decoded image takes its place
    // once textures read their files.
    bool loaded_ = false;
};

} // namespace glint
