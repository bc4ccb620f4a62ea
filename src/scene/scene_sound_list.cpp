// The scene's sound list: built from "_sounds.cfg" when the scene loads,
// held with the scene while it is open, and let go by the keep-alive
// countdown of the scene update.
#include "scene/scene_sound.h"

#include "engine/system/log.h"
#include "resource/configuration.h"
#include "resource/number.h"
#include "resource/resource_manager.h"
#include "resource/sound_file.h"
#include "scene/element_media.h"
#include "scene/scene.h"
#include "script/heap.h"

#include <cctype>
#include <string>
#include <string_view>

namespace glint {

namespace {

constexpr size_t kArrayBaseLimit = 64;

// "name_N": the part before the last "_" when a digit follows it.
std::string_view arrayBaseOf(std::string_view name) {
    size_t underscore = name.rfind('_');
    if (underscore == std::string_view::npos || underscore + 1 >= name.size() ||
        !std::isdigit(static_cast<unsigned char>(name[underscore + 1])) || underscore >= kArrayBaseLimit)
        return {};
    return name.substr(0, underscore);
}

// The volume and letters of a list entry, from the value as written.
void readEntry(const MConfigEntry& entry, MSoundFile& file) {
    std::string_view text = entry.text ? entry.text : "";
    if (!text.empty() && std::isdigit(static_cast<unsigned char>(text[0])))
        file.volume = entry.value.isNumber() ? static_cast<float>(entry.value.number)
                                             : parseNumber(std::string(text).c_str());
    for (char c : text) {
        switch (c) {
        case 'L': file.loop = 1; break;
        case 'R': file.randomStart = 1; break;
        case 'S': file.sfxVolume = 1; break;
        case 'X': file.keepOnStop = 1; break;
        default: break;
        }
    }
}

void declareSound(MScene& scene, MSceneSound& sound) {
    if (!globalScope())
        return;
    Value value = Value::fromPointer(ValueType::Sound, &sound);
    Value* cell = declareVariable(scene.scope, KindSound, sound.name, scriptHeap().newCell(value));
    if (cell)
        *cell = value;
    sound.cell = cell;
}

bool isOrdinary(const MSoundFile& file) { return !file.isMusic && !file.isAmbient; }

// The sound file of a scene variable that holds a scene sound.
MSoundFile* fileOf(const Value* variable) {
    if (!variable || !variable->is(ValueType::Sound) || !variable->pointer)
        return nullptr;
    return variable->as<MSceneSound>()->file;
}

} // namespace

void buildSceneSoundList(MScene& scene, MConfiguration& list, MResourceManager& resources,
                         const SoundListSettings& settings) {
    std::string folder(scene.folder ? scene.folder->view() : std::string_view());
    bool interfaceScene = scene.name == sym::game();
    std::string_view previous;
    for (const MConfigEntry* entry : list.entriesInFileOrder()) {
        std::string_view name = entry->key->view();
        std::string_view base = arrayBaseOf(name);
        if (!base.empty() && base == previous) {
            debugTrace("Sound %s:%s used both as normal and array", folder.c_str(), entry->key->text);
            continue;
        }
        previous = name;
        bool music = name.starts_with("m_");
        std::string path =
            folder + "/_sounds/" + std::string(name) + "." + (music ? settings.musicExt : settings.soundsExt);
        MSoundFile* file = resources.soundFile(path.c_str());
        if (!file)
            continue;
        MSceneSound* sound = takeSceneSound();
        sound->scene = &scene;
        sound->name = entry->key;
        sound->file = file;
        file->owner = sound;
        file->isMusic = music;
        file->isAmbient = name.starts_with("amb_");
        file->isVoice = name.starts_with("vo_");
        readEntry(*entry, *file);
        scene.sounds.push_back(sound);
        declareSound(scene, *sound);
        if (file->isAmbient && !interfaceScene)
            debugTrace("Ambient sounds outside interface/_sounds are not supported: %s", path.c_str());
    }
}

void holdSceneSounds(MScene& scene, MResourceManager& resources, bool preload, bool acquire) {
    if (acquire) {
        int slot = 0;
        for (const Value* variable : {scene.readBack.ambient, scene.readBack.ambientOther}) {
            // What is taken is remembered, so that the close gives back the
            // same files whatever the scripts changed meanwhile.
            scene.heldAmbient[slot] = fileOf(variable);
            if (scene.heldAmbient[slot])
                resources.acquire(scene.heldAmbient[slot], true);
            ++slot;
        }
        if (!preload)
            return;
        for (MSceneSound* sound : scene.sounds)
            if (isOrdinary(*sound->file) && sound->held == kSoundNotHeld) {
                resources.acquire(sound->file, true);
                sound->held = kSoundHeldByPreload;
            }
        return;
    }
    for (MSoundFile*& file : scene.heldAmbient) {
        if (file)
            resources.release(file);
        file = nullptr;
    }
    for (MSceneSound* sound : scene.sounds) {
        if (!isOrdinary(*sound->file))
            continue;
        if (sound->held != kSoundNotHeld)
            resources.release(sound->file);
        sound->held = kSoundNotHeld;
        sound->keepAlive = kSoundKeepAliveTicks;
    }
}

void holdForPlaying(MSceneSound& sound, MResourceManager& resources) {
    sound.keepAlive = kSoundKeepAliveTicks;
    if (sound.held != kSoundNotHeld)
        return;
    resources.acquire(sound.file, true);
    sound.held = kSoundHeldByPlayer;
}

// A sound the player loaded is let go once it has been silent for
// kSoundKeepAliveTicks ticks; preloaded sounds stay until the scene closes.
void tickSceneSounds(MScene& scene) {
    if (!scene.holder)
        return;
    for (MSceneSound* sound : scene.sounds) {
        if (sound->held != kSoundHeldByPlayer || sound->file->isPlaying())
            continue;
        if (--sound->keepAlive > 0)
            continue;
        scene.holder->release(sound->file);
        sound->held = kSoundNotHeld;
        sound->keepAlive = kSoundKeepAliveTicks;
    }
}

} // namespace glint
