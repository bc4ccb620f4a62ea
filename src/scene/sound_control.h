// What the commands start, stop and reset do with a sound target: the
// running game's sound player installs the handler; without one a sound
// target is ignored.
#pragma once

namespace glint {

struct ScriptSound;

enum class SoundPlayCommand { Start, Stop, Reset };

using SoundPlayControl = void (*)(ScriptSound* sound, SoundPlayCommand command);
void setSoundPlayControl(SoundPlayControl control);
// False when nobody serves sounds.
bool controlSound(ScriptSound* sound, SoundPlayCommand command);

} // namespace glint
