#include "engine/render/texture.h"

#include "engine/images/image_buffer.h"
#include "engine/render/quad_batch.h"
#include "engine/render/render_state.h"
#include "engine/render/texture_layout.h"
#include "engine/system/log.h"

namespace glint {

namespace {

KTexture* head = nullptr;
KTexture* tail = nullptr;
int liveCount = 0;

bool isCompressed(GLenum format) { return format != GL_RGBA; }

// Quads waiting in the batch show the pixels they were added with, and
// never outlive their texture.
void drawWaitingQuadsOf(const KTexture* texture) {
    if (KQuadBatch* batch = KQuadBatch::current())
        batch->flushIfUses(texture);
}

int blockBytesOf(GLenum format) {
    return format == GL_COMPRESSED_RGB_S3TC_DXT1_EXT ? kDxt1BlockBytes : kDxt5BlockBytes;
}

} // namespace

KTexture::KTexture() {
    prev = tail;
    if (tail)
        tail->next = this;
    else
        head = this;
    tail = this;
    ++liveCount;
}

KTexture::~KTexture() {
    release();
    if (prev)
        prev->next = next;
    else
        head = static_cast<KTexture*>(next);
    if (next)
        next->prev = prev;
    else
        tail = static_cast<KTexture*>(prev);
    --liveCount;
}

int KTexture::count() { return liveCount; }
KTexture* KTexture::first() { return head; }

void KTexture::releaseAll() {
    for (KTexture* texture = head; texture; texture = texture->nextTexture())
        texture->release();
}

bool KTexture::loadMemory(const char* path, const void* data, int32_t size) {
    release();
    KImageHandler* handler = imageHandlerForFormat(imageFormatForPath(path));
    if (!handler || !data || size < 0)
        return false;
    if (!handler->decode(data, static_cast<size_t>(size), &info, true))
        return false;
    return upload(imagePixelBuffer, info.width, info.height, 0, 0);
}

bool KTexture::createFromPixels(const uint32_t* pixels, uint32_t width, uint32_t height, uint32_t textureWidth,
                                uint32_t textureHeight, bool hasAlpha) {
    info = KImageInfo{width, height, hasAlpha, 1};
    return upload(pixels, width, height, textureWidth, textureHeight);
}

GLenum KTexture::internalFormat() const {
    if (info.isUncompressed)
        return GL_RGBA;
    return info.hasAlpha ? GL_COMPRESSED_RGBA_S3TC_DXT5_EXT : GL_COMPRESSED_RGB_S3TC_DXT1_EXT;
}

bool KTexture::fits(uint32_t width, uint32_t height, uint32_t texWidth, uint32_t texHeight, GLenum format) const {
    bool padded = width != texWidth || height != texHeight;
    std::size_t stagingNeed = isCompressed(format) ? compressedImageBytes(texWidth, texHeight, blockBytesOf(format))
                                                   : std::size_t{texWidth} * texHeight * 4;
    uint32_t limit = renderState.maxTextureSize > 0 ? static_cast<uint32_t>(renderState.maxTextureSize) : UINT32_MAX;
    if (width <= texWidth && height <= texHeight && texWidth <= limit && texHeight <= limit &&
        (!padded || stagingNeed <= sizeof textureStagingBuffer))
        return true;
    logMessage("OpenGL: texture of %ux%u for an image of %ux%u cannot be created, ERROR", texWidth, texHeight, width,
               height);
    return false;
}

bool KTexture::upload(const void* pixels, uint32_t width, uint32_t height, uint32_t texWidth, uint32_t texHeight) {
    if (texWidth == 0 && texHeight == 0)
        texWidth = texHeight = powerOfTwoAtLeast(width > height ? width : height);
    else if (texHeight == 0)
        texHeight = texWidth;
    else if (texWidth == 0)
        texWidth = texHeight;
    GLenum format = internalFormat();
    if (!pixels || !fits(width, height, texWidth, texHeight, format))
        return false;
    if (isCompressed(format) && !renderState.compressedTexImage2D) {
        logMessage("OpenGL: compressed textures are not available, ERROR");
        return false;
    }
    const void* data = pixels;
    if (width != texWidth || height != texHeight) {
        if (isCompressed(format))
            padBlocks(static_cast<const uint8_t*>(pixels), width, height, texWidth, texHeight, blockBytesOf(format),
                      reinterpret_cast<uint8_t*>(textureStagingBuffer));
        else
            padPixels(static_cast<const uint32_t*>(pixels), width, height, texWidth, texHeight, textureStagingBuffer);
        data = textureStagingBuffer;
    }
    send(data, texWidth, texHeight, format);
    return true;
}

void KTexture::send(const void* data, uint32_t texWidth, uint32_t texHeight, GLenum format) {
    drawWaitingQuadsOf(this);
    bool reuse = glName >= 0 && glFormat == static_cast<int64_t>(format) && textureWidth == texWidth &&
                 textureHeight == texHeight;
    GLuint name = 0;
    if (reuse)
        name = static_cast<GLuint>(glName);
    else
        glGenTextures(1, &name);

    glEnable(GL_TEXTURE_2D);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glBindTexture(GL_TEXTURE_2D, name);
    GLsizei w = static_cast<GLsizei>(texWidth), h = static_cast<GLsizei>(texHeight);
    if (!isCompressed(format) && reuse)
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, w, h, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, data);
    else if (!isCompressed(format))
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, w, h, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, data);
    else
        renderState.compressedTexImage2D(GL_TEXTURE_2D, 0, format, w, h, 0,
                                         static_cast<GLsizei>(compressedImageBytes(texWidth, texHeight,
                                                                                   blockBytesOf(format))),
                                         data);
    glPopMatrix();

    if (!reuse && glName >= 0) {
        GLuint old = static_cast<GLuint>(glName);
        glDeleteTextures(1, &old);
    }
    glName = name;
    glFormat = format;
    textureWidth = texWidth;
    textureHeight = texHeight;
    filterDirty = wrapDirty = true;
    glDisable(GL_TEXTURE_2D);
    forgetTextureState();
}

void KTexture::bind() {
    if (glName != renderState.boundTexture) {
        if (glName < 0) {
            glDisable(GL_TEXTURE_2D);
            renderState.enabledTarget = -1;
            renderState.boundTexture = -1;
            renderState.boundWidth = renderState.boundHeight = 1;
            return;
        }
        if (renderState.enabledTarget != GL_TEXTURE_2D) {
            glEnable(GL_TEXTURE_2D);
            renderState.enabledTarget = GL_TEXTURE_2D;
        }
        glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(glName));
        renderState.boundTexture = glName;
        renderState.boundWidth = static_cast<float>(textureWidth);
        renderState.boundHeight = static_cast<float>(textureHeight);
    }
    if (glName < 0)
        return;
    if (filterDirty) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    }
    if (wrapDirty) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
    }
    filterDirty = wrapDirty = false;
}

void KTexture::release() {
    drawWaitingQuadsOf(this);
    if (glName >= 0) {
        if (renderState.boundTexture == glName) {
            glBindTexture(GL_TEXTURE_2D, 0);
            forgetTextureState();
        }
        GLuint name = static_cast<GLuint>(glName);
        glDeleteTextures(1, &name);
    }
    glName = -1;
    glFormat = -1;
    textureWidth = textureHeight = 1;
}

} // namespace glint
