#include "game/sound_commands.h"

#include "game/sound_player.h"
#include "resource/sound_file.h"
#include "scene/scene_sound.h"
#include "scene/sound_control.h"
#include "script/array_object.h"
#include "script/commands.h"

#include <cmath>

namespace glint {

namespace {

MSoundPlayer* served = nullptr;

MSceneSound* soundOf(const Value& value) {
    if (!value.is(ValueType::Sound) || !value.pointer)
        return nullptr;
    return dynamic_cast<MSceneSound*>(value.as<ScriptSound>());
}

float numberAt(const Value* args, int count, int index, float fallback) {
    return index < count && args[index].isNumber() ? static_cast<float>(args[index].number) : fallback;
}

// Seconds as ticks, rounded.
int32_t ticksAt(const Value* args, int count, int index) {
    return static_cast<int32_t>(std::lround(numberAt(args, count, index, 0) * 100));
}

// An array target plays its items one after the other: the array's
// "Sound_auto_play_index" moves on and wraps to the first.
MSceneSound* nextOfArray(const Value& target) {
    auto* array = target.as<ArrayObject>();
    if (!array || array->count() == 0)
        return nullptr;
    Value* cell = array->members.get(sym::Sound_auto_play_index());
    int32_t index = cell && cell->isNumber() ? static_cast<int32_t>(std::lround(cell->number)) : 0;
    index = index >= array->count() ? 1 : index + 1;
    array->members.set(sym::Sound_auto_play_index(), Value::fromNumber(index));
    Value* item = array->at(index);
    return item ? soundOf(*item) : nullptr;
}

uint32_t commandMusic(Value* args, int count) {
    if (served)
        served->requestMusic(soundOf(args[0]), numberAt(args, count, 1, 0));
    return 0;
}

uint32_t commandAmbient(Value* args, int) {
    if (served)
        served->switchAmbient(soundOf(args[0]));
    return 0;
}

uint32_t commandSound(Value* args, int count) {
    MSceneSound* sound = args[0].is(ValueType::Array) && args[0].pointer ? nextOfArray(args[0]) : soundOf(args[0]);
    if (served && sound)
        served->playSound(*sound, numberAt(args, count, 1, 1), ticksAt(args, count, 2), ticksAt(args, count, 3));
    return 0;
}

uint32_t commandVoice(Value* args, int count) {
    MSceneSound* sound = soundOf(args[0]);
    if (served && sound)
        served->playVoice(*sound, numberAt(args, count, 1, 1), ticksAt(args, count, 2));
    return 0;
}

// start plays the sound at its full level; stop and reset stop it at once.
void soundPlayControl(ScriptSound* target, SoundPlayCommand command) {
    auto* sound = dynamic_cast<MSceneSound*>(target);
    if (!served || !sound)
        return;
    if (command == SoundPlayCommand::Start)
        served->playSound(*sound, 1, 0, 0);
    else
        served->stopNow(*sound);
}

} // namespace

void registerSoundCommands(MSoundPlayer* player) {
    served = player;
    setSoundPlayControl(player ? soundPlayControl : nullptr);
    if (!player)
        return;
    registerKeyword(KwMusic, "music", commandMusic, 2, 0);
    registerKeyword(KwAmbient, "ambient", commandAmbient, 1, 0);
    registerKeyword(KwSound, "sound", commandSound, 4, 0);
    registerKeyword(KwVoice, "voice", commandVoice, 3, 0);
}

} // namespace glint
