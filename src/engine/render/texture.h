// A GL texture: an image decoded into the shared pixel buffer, padded to a
// power of two and uploaded; bound through the render-state cache.
//
// Every live texture sits in one list so that all GL names can be released
// before the GL context goes away; the objects keep their image facts and
// are uploaded again by their owners.
#pragma once

#include "engine/images/image_handler.h"
#include "engine/render/gl.h"
#include "engine/system/object.h"

#include <cstdint>

namespace glint {

class KTexture : public KObjectListable {
public:
    KTexture();
    ~KTexture() override;

    // mode 0 or 1: loads the file through the resource layer and decodes it;
    // mode 2 (no data) and higher modes fail.
    bool loadFile(const char* path, int mode = 0);
    // Decodes a file image with the handler of the path's extension and
    // uploads it into a square power-of-two texture.
    bool loadMemory(const char* path, const void* data, int32_t size);
    // Uploads 0xAARRGGBB pixels; a texture size of 0 is chosen automatically.
    bool createFromPixels(const uint32_t* pixels, uint32_t width, uint32_t height, uint32_t textureWidth,
                          uint32_t textureHeight, bool hasAlpha);
    // Uploads width x height pixels (32-bit, or compressed blocks when the
    // texture is not isUncompressed) into a texture of the given size (0 =
    // automatic). A texture of unchanged size and format is updated in place.
    // Refuses (logged, false) a texture smaller than the image, larger than
    // the driver allows, or too large for the staging buffer when padding.
    bool upload(const void* pixels, uint32_t width, uint32_t height, uint32_t textureWidth, uint32_t textureHeight);
    // Makes this the texture that quads are drawn with.
    void bind();
    // Deletes the GL texture; the image facts stay.
    void release();

    // Releases the GL texture of every live texture.
    static void releaseAll();
    static int count();
    static KTexture* first();
    KTexture* nextTexture() const { return static_cast<KTexture*>(next); }

    KImageInfo info;                  // width, height, hasAlpha, isUncompressed
    GLint filter = GL_NEAREST;        // minification and magnification
    GLint wrap = GL_CLAMP_TO_EDGE;    // s and t
    int64_t glName = -1;              // -1 = none
    int64_t glFormat = -1;            // internal format; -1 = none
    uint32_t textureWidth = 1;        // allocated size; 1 when none
    uint32_t textureHeight = 1;
    bool filterDirty = true;          // sent to GL at the next bind
    bool wrapDirty = true;

private:
    GLenum internalFormat() const;
    bool fits(uint32_t width, uint32_t height, uint32_t textureWidth, uint32_t textureHeight, GLenum format) const;
    void send(const void* data, uint32_t textureWidth, uint32_t textureHeight, GLenum format);
};

} // namespace glint
