#include "app/option_commands.h"

#include "app/application.h"
#include "script/commands.h"
#include "script/interpreter.h"

namespace glint {

namespace {

MApplication* served = nullptr;

// A setting the platform forces (0 or more) wins over the script's wish.
Value forcedOr(int32_t forced, const Value& wish) {
    return Value::fromNumber(forced >= 0 ? forced : roundedInt(wish));
}

// Volumes are stored as given; the sound levels apply them.
void setVolume(Value OptionCells::*cell, const Value& value) {
    if (served)
        served->options.*cell = Value::fromNumber(value.isNumber() ? value.number : 0);
}

uint32_t commandSetFullscreenMode(Value* args, int) {
    if (served)
        served->options.fullscreenMode = forcedOr(served->platform.forceFullScreen, args[0]);
    return 0;
}

uint32_t commandSetAspectRatio(Value* args, int) {
    if (served)
        served->options.aspectRatio = forcedOr(served->platform.forceAspectRatio, args[0]);
    return 0;
}

// The forced setting names the drawn pointer (1), the option the system
// cursor, so it is stored inverted.
uint32_t commandSetHardwareCursor(Value* args, int) {
    if (!served)
        return 0;
    int32_t forced = served->platform.forceCustomCursor;
    served->options.hardwareCursor = Value::fromNumber(forced >= 0 ? 1 - forced : roundedInt(args[0]));
    return 0;
}

uint32_t commandSetMusicVolume(Value* args, int) {
    setVolume(&OptionCells::musicVolume, args[0]);
    return 0;
}

uint32_t commandSetAmbientVolume(Value* args, int) {
    setVolume(&OptionCells::ambientVolume, args[0]);
    return 0;
}

uint32_t commandSetSoundVolume(Value* args, int) {
    setVolume(&OptionCells::soundVolume, args[0]);
    return 0;
}

uint32_t commandSetVoiceVolume(Value* args, int) {
    setVolume(&OptionCells::voiceVolume, args[0]);
    return 0;
}

uint32_t commandCheckFullscreenMode(Value*, int) {
    if (served)
        applyFullscreenOption(served->options, served->platform, served->window());
    return 0;
}

uint32_t commandLoadOptions(Value*, int) {
    if (served)
        loadOptions(served->options, served->platform, served->userFolder, served->settings, served->build.touch);
    return 0;
}

uint32_t commandSaveOptions(Value*, int) {
    if (served)
        saveOptions(served->options, served->userFolder);
    return 0;
}

} // namespace

void registerOptionCommands(MApplication* app) {
    served = app;
    if (!app)
        return;
    registerCommand("set_option_fullscreen_mode", commandSetFullscreenMode, 1, 0);
    registerCommand("set_option_aspect_ratio", commandSetAspectRatio, 1, 0);
    registerCommand("set_option_hardware_cursor", commandSetHardwareCursor, 1, 0);
    registerCommand("set_option_music_volume", commandSetMusicVolume, 1, 0);
    registerCommand("set_option_ambient_volume", commandSetAmbientVolume, 1, 0);
    registerCommand("set_option_sound_volume", commandSetSoundVolume, 1, 0);
    registerCommand("set_option_voice_volume", commandSetVoiceVolume, 1, 0);
    registerCommand("check_fullscreen_mode", commandCheckFullscreenMode, 0, 0);
    registerCommand("load_options", commandLoadOptions, 0, 0);
    registerCommand("save_options", commandSaveOptions, 0, 0);
}

} // namespace glint
