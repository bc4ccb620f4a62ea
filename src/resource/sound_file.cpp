#include "resource/sound_file.h"

namespace glint {

void MSoundFile::discard() { loaded_ = false; }

void MSoundFile::load() { loaded_ = true; }

void MSoundFile::unload() {
    stop();
    loaded_ = false;
}

} // namespace glint
