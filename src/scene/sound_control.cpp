#include "scene/sound_control.h"

namespace glint {

namespace {

SoundPlayControl installed = nullptr;

} // namespace

void setSoundPlayControl(SoundPlayControl control) { installed = control; }

bool controlSound(ScriptSound* sound, SoundPlayCommand command) {
    if (!installed)
        return false;
    installed(sound, command);
    return true;
}

} // namespace glint
