// An image resource: a file of its own, or a rectangle of an atlas page that
// is loaded by loading the page.
#pragma once

#include "resource/resource.h"

#include <cstdint>

namespace glint {

class KTexture;

class MTexture : public MResource {
public:
    explicit MTexture(const char* path) : MResource(ResourceKind::Texture, path) {}
    ~MTexture() override;

    void discard() override;
    // Decodes the file and uploads it; a file that cannot be read or decoded
    // leaves the texture without an image, which drawing code skips.
    void load() override;
    void unload() override;

    // Whether the manager loaded it (the image may still be missing).
    bool isLoaded() const { return loaded_; }
    bool isSubTexture() const { return atlasParent != nullptr; }

    // The size drawing code works with: the rectangle on the page for a
    // sub-texture, else the image (0 x 0 without one).
    float drawWidth() const;
    float drawHeight() const;
    // The texture whose image is bound to draw this one: the page of a
    // sub-texture (pages of pages included), else the texture itself.
    const MTexture* page() const;

    KTexture* image = nullptr;       // null when not loaded or when loading failed
    MTexture* atlasParent = nullptr; // the page this texture is a rectangle of
    float atlasX = 0, atlasY = 0, atlasWidth = 0, atlasHeight = 0;
    // Named by an image spec in a system scene that is not a play scene:
    // its scene does not hold it while the manager loads at once (mode 0).
    uint8_t lazy = 0;
    // Listed in a dynamic atlas: held only while its element is visible.
    uint8_t dynamic = 0;

private:
    void freeImage();

    bool loaded_ = false;
};

// The wrap mode textures use: clamp-to-edge when the window's renderer has
// it, else the plain clamp of GL 1.0.
int textureWrapMode();

} // namespace glint
