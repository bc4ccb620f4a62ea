#include "resource/particle_system.h"

#include "engine/resources/resource.h"
#include "resource/image_line.h"
#include "resource/resource_manager.h"
#include "resource/text_file.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace glint {

namespace {

const char* fileNameOf(const char* path) {
    const char* slash = std::strrchr(path, '/');
    return slash ? slash + 1 : path;
}

void readImage(void* user, const char* spec) {
    auto* system = static_cast<MParticleSystem*>(user);
    if (!system->manager)
        return;
    ImageSpecContext context;
    context.folder = kParticleFolder;
    context.lazy = true;
    context.label = fileNameOf(system->path);
    context.blendTarget = &system->blend;
    parseImageSpec(*system->manager, system->image, spec, context);
}

// The image path as the file names it: inside the particle folder when it
// lies there.
std::string imagePathText(const char* path) {
    const std::string folder = std::string(kParticleFolder) + "/";
    std::string text = path;
    if (text.compare(0, folder.size(), folder) == 0)
        text.erase(0, folder.size());
    return text;
}

} // namespace

void MParticleSystem::load() {
    MTextFile file;
    if (!file.loadText(resolveDataPath(path)))
        return;
    loaded = 1;
    readParticleDescription(*this, file.data(), readImage, this);
}

std::string MParticleSystem::text() const {
    ParticleImageText imageText;
    if (image.texture) {
        imageText.path = imagePathText(image.texture->path);
        imageText.blend = blend;
        imageText.fps = image.fps;
        imageText.firstFrame = image.firstFrame;
        imageText.delaySeconds = image.delay / 100.0f;
        imageText.frameWidth = 1.0f / image.columns;
        imageText.frameHeight = 1.0f / image.rows;
    }
    return writeParticleDescription(*this, imageText);
}

bool MParticleSystem::save() const {
    std::FILE* file = std::fopen(resolveDataPath(path), "wb");
    if (!file)
        return false;
    const std::string bytes = text();
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

} // namespace glint
