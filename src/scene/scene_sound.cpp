#include "scene/scene_sound.h"

#include "resource/sound_file.h"
#include "scene/scene.h"
#include "script/pool.h"
#include "script/script_error.h"

#include <string_view>

namespace glint {

namespace {

ObjectPool<MSceneSound, 1000>& soundPool() {
    static ObjectPool<MSceneSound, 1000> pool;
    return pool;
}

bool soundFact(const MSceneSound& sound, Symbol* key, Value& out) {
    std::string_view name = key->view();
    if (name == "scene")
        out = sound.scene ? Value::fromPointer(ValueType::Scene, sound.scene) : Value();
    else if (name == "name")
        out = sound.name ? Value::fromSymbol(sound.name) : Value();
    else if (name == "array")
        out = sound.holderArray ? Value::fromPointer(ValueType::Array, sound.holderArray) : Value();
    else if (name == "index")
        out = Value::fromNumber(sound.name ? sound.name->arrayIndex : 0);
    else if (name == "is_playing")
        out = Value::fromNumber(sound.file && sound.file->isPlaying() ? 1 : 0);
    else if (name == "is_music")
        out = Value::fromNumber(sound.file && sound.file->isMusic ? 1 : 0);
    else
        return false;
    return true;
}

} // namespace

MScene* MSceneSound::owner() const { return static_cast<MScene*>(scene); }

bool MSceneSound::getProperty(Symbol* key, Value& out) {
    if (soundFact(*this, key, out))
        return true;
    return ScriptSound::getProperty(key, out);
}

bool MSceneSound::setProperty(Symbol* key, const Value& value) {
    Value ignored;
    if (!soundFact(*this, key, ignored))
        return ScriptSound::setProperty(key, value);
    scriptError("Invalid property %s", key->text);
    return false;
}

MSceneSound* takeSceneSound() { return soundPool().create(); }

void giveBackSceneSound(MSceneSound* sound) {
    if (sound)
        soundPool().release(sound);
}

} // namespace glint
