// An image resource: a file of its own, or a rectangle of an atlas page that
// is loaded by loading the page.
#pragma once

#include "resource/resource.h"

#include <cstdint>
#include <memory>

namespace glint {

class KTexture;

class MTexture : public MResource {
public:
    explicit MTexture(const char* path);
    ~MTexture() override;

    void discard() override;
    void load() override;
    void unload() override;

    // Loaded by its holders (a missing file leaves image null).
    bool isLoaded() const { return loaded_; }

    MTexture* atlasParent = nullptr; // the page this texture is a rectangle of
    // Named by an image spec in a system scene that is not a play scene:
    // its scene does not hold it while the manager loads at once (mode 0).
    uint8_t lazy = 0;
    // Listed in a dynamic atlas: held only while its element is visible.
    uint8_t dynamic = 0;
    // The GL texture; null when not loaded or when loading failed.
    std::unique_ptr<KTexture> image;

private:
    bool loaded_ = false;
};

} // namespace glint
