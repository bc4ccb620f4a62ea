#include "resource/sound_file.h"

#include "engine/resources/resource.h"
#include "engine/sound/sound_object.h"

namespace glint {

MSoundFile::MSoundFile(const char* path) : MResource(ResourceKind::SoundFile, path) {}

MSoundFile::~MSoundFile() = default;

// At shutdown the sound goes without being stopped first.
void MSoundFile::discard() { sound.reset(); }

// The manager traces "LOAD %s" and "UNLOAD %s".
void MSoundFile::load() {
    sound = std::make_unique<KSoundObject>();
    const char* file = resolveDataPath(path);
    bool loaded = isMusic ? sound->loadStream(file) : sound->loadSample(file, loop != 0);
    if (!loaded)
        sound.reset();
}

void MSoundFile::unload() {
    stop();
    sound.reset();
}

void MSoundFile::play() {
    if (!sound)
        return;
    if (isMusic)
        sound->playStream(loop != 0, randomStart != 0);
    else
        sound->play();
}

void MSoundFile::stop() {
    if (!sound)
        return;
    if (isMusic)
        sound->stopStream();
    else
        sound->stop();
}

bool MSoundFile::isPlaying() const { return sound && sound->isPlaying(); }

} // namespace glint
