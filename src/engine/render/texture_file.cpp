#include "engine/render/texture.h"

#include "engine/resources/resource.h"

namespace glint {

bool KTexture::loadFile(const char* path, int mode) {
    if (mode == 2)
        return loadMemory(path, nullptr, 0);
    if (mode < 0 || mode > 2)
        return false;
    char* data = nullptr;
    int32_t size = 0;
    if (!resourceLoadFile(path, &data, &size))
        return false;
    bool loaded = loadMemory(path, data, size);
    delete[] data;
    return loaded;
}

} // namespace glint
