// The level a sound plays at, and the player's construction.
#include "game/sound_player.h"

#include "app/options.h"
#include "engine/sound/sound_object.h"
#include "game/navigation.h"
#include "resource/configuration.h"
#include "resource/resource_manager.h"
#include "resource/sound_file.h"
#include "scene/scene.h"
#include "scene/scene_sound.h"

#include <cmath>
#include <string_view>

namespace glint {

namespace {

float numberOr(const Value& value, float fallback) {
    return value.isNumber() ? static_cast<float>(value.number) : fallback;
}

} // namespace

MSoundPlayer::MSoundPlayer(MResourceManager& resources, const OptionCells& options, const MConfiguration& gameConfig,
                           MNavigation& navigation)
    : resources_(resources), options_(options), gameConfig_(gameConfig), navigation_(navigation) {}

MSoundPlayer::~MSoundPlayer() {
    for (MSoundFile* file : playingSounds_)
        file->stop();
    if (currentMusic_)
        currentMusic_->file->stop();
}

void MSoundPlayer::bind(Scope& global) {
    declareVariable(global, KindPlain, "Global_music_volume", &globalMusic_);
    declareVariable(global, KindPlain, "Global_ambient_volume", &globalAmbient_);
    declareVariable(global, KindPlain, "Global_sound_volume", &globalSound_);
    declareVariable(global, KindPlain, "Global_voice_volume", &globalVoice_);
    declareVariable(global, KindPlain, "Music", &music_);
}

// An option times the game configuration's global factor for it.
float MSoundPlayer::factor(const Value& option, const char* key) const {
    const Value* global = gameConfig_.find(intern(key));
    return numberOr(option, 0) * (global ? numberOr(*global, 1) : 1);
}

MSoundFile* MSoundPlayer::currentAmbient() const { return static_cast<MSoundFile*>(navigation_.currentAmbient); }

// A sound that is not music, scaled by its category: its own "volume_type"
// or the category its name gives it.
float MSoundPlayer::categoryLevel(const MSoundFile& file) const {
    std::string_view type = file.isAmbient ? "ambient" : file.isVoice ? "voice" : "sound";
    if (file.owner) {
        const Value* own = file.owner->members.get(sym::volume_type());
        if (own && own->isString() && !own->symbol()->view().empty())
            type = own->symbol()->view();
    }
    if (type == "music")
        return numberOr(globalMusic_, 0) * factor(options_.musicVolume, "global_music_volume");
    if (type == "ambient")
        return numberOr(globalAmbient_, 0) * factor(options_.ambientVolume, "global_ambient_volume");
    if (type == "voice")
        return numberOr(globalVoice_, 0) * factor(options_.voiceVolume, "global_voice_volume");
    if (type == "sound")
        return numberOr(globalSound_, 0) * factor(options_.soundVolume, "global_sound_volume");
    return 1;
}

// Loops of the scenes behind an opening zoom or item scene fall back, and
// the opening scene's own loops rise with it.
float MSoundPlayer::backgroundLevel(const MSoundFile& file) const {
    if (!file.loop || file.isAmbient || file.keepOnStop || !file.owner || !navigation_.playScene)
        return 1;
    const Value* configured = gameConfig_.find(sym::background_volume());
    float background = configured ? numberOr(*configured, 0.5f) : 0.5f;
    const MScene* own = file.owner->owner();
    float level = 1;
    const LayerSlot* zoom = &navigation_.playScene->zoomSlot;
    for (const LayerSlot* slot : {zoom, navigation_.playItemSlot()}) {
        if (!slot || !slot->scene)
            continue;
        if (own == slot->scene)
            level *= slot->visibility;
        else if (own && own->name != sym::game())
            level *= 1 - slot->visibility * background;
    }
    return level;
}

void MSoundPlayer::applySoundLevel(MSoundFile& file, float level) {
    if (!file.sound)
        return;
    file.level = level;
    float v = file.volume * level;
    if (!file.isMusic)
        v *= categoryLevel(file);
    bool unchangedAmbient = &file == currentAmbient() && !navigation_.ambientChange;
    if (!file.keepOnStop && !unchangedAmbient)
        v *= navigation_.visibility;
    v *= backgroundLevel(file);
    file.sound->volume = static_cast<int32_t>(std::lround(v * 100));
    if (file.sound->isPlaying())
        file.sound->applyVolume();
}

} // namespace glint
