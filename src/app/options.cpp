#include "app/options.h"

#include "app/game_config.h"

#include "engine/system/numbers.h"
#include "resource/file_util.h"
#include "resource/number.h"
#include "resource/text_file.h"
#include "script/symbol.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace glint {

namespace {

// An option as the file stores it: rounded half away from zero, 0 for
// anything but a number.
int roundedOption(const Value& value) {
    return value.isNumber() ? static_cast<int>(std::round(value.number)) : 0;
}

double numberOption(const Value& value) { return value.isNumber() ? value.number : 0; }

struct OptionKey {
    const char* key;
    Value OptionCells::*cell;
    bool PlatformSettings::*available;
    int maximum; // integer options clamp to 0..maximum; 0 marks a volume
};

constexpr OptionKey kOptionKeys[] = {
    {"fullscreen", &OptionCells::fullscreenMode, &PlatformSettings::fullScreenEnabled, 2},
    {"aspectratio", &OptionCells::aspectRatio, &PlatformSettings::aspectRatioEnabled, 2},
    {"hardware_cursor", &OptionCells::hardwareCursor, &PlatformSettings::hardwareCursorEnabled, 1},
    {"music", &OptionCells::musicVolume, &PlatformSettings::musicVolumeEnabled, 0},
    {"ambient", &OptionCells::ambientVolume, &PlatformSettings::ambientVolumeEnabled, 0},
    {"sfx", &OptionCells::soundVolume, &PlatformSettings::soundVolumeEnabled, 0},
    {"voice", &OptionCells::voiceVolume, &PlatformSettings::voiceVolumeEnabled, 0},
};

void applyOptionLine(OptionCells& cells, const PlatformSettings& platform, const std::string& key,
                     const char* value) {
    for (const OptionKey& option : kOptionKeys) {
        if (key != option.key || !(platform.*option.available))
            continue;
        double parsed = option.maximum ? std::clamp(parseInt(value), 0, option.maximum)
                                       : std::clamp(parseNumber(value), 0.0f, 1.0f);
        cells.*option.cell = Value::fromNumber(parsed);
    }
}

std::string optionsPath(const std::string& folder) { return folder + "/options.cfg"; }

} // namespace

OptionCells::OptionCells() : buildType(Value::fromSymbol(intern("DEV"))) {}

void OptionCells::bind(Scope& global) {
    struct Binding {
        Symbol* name;
        Value* cell;
    };
    const Binding bindings[] = {
        {sym::Option_fullscreen_mode(), &fullscreenMode},
        {sym::Forced_fullscreen_mode(), &forcedFullscreenMode},
        {sym::Option_aspect_ratio(), &aspectRatio},
        {sym::Option_hardware_cursor(), &hardwareCursor},
        {sym::Option_music_volume(), &musicVolume},
        {sym::Option_ambient_volume(), &ambientVolume},
        {sym::Option_sound_volume(), &soundVolume},
        {sym::Option_voice_volume(), &voiceVolume},
        {sym::Screen_width(), &screenWidth},
        {sym::Screen_height(), &screenHeight},
        {sym::Actual_screen_width(), &actualScreenWidth},
        {sym::Actual_screen_height(), &actualScreenHeight},
        {sym::Desktop_width(), &desktopWidth},
        {sym::Desktop_height(), &desktopHeight},
        {sym::Global_camera_scale_x(), &cameraScaleX},
        {sym::Global_camera_scale_y(), &cameraScaleY},
        {sym::Build_type(), &buildType},
    };
    for (const Binding& binding : bindings)
        declareVariable(global, KindPlain, binding.name, binding.cell);
}

void PlatformSettings::publish(Scope& global) const {
    const std::pair<Symbol*, bool> flags[] = {
        {sym::Options_Menu_Button_Enabled(), optionsMenuButton},
        {sym::Option_Full_Screen_Enabled(), fullScreenEnabled},
        {sym::Option_Aspect_Ratio_Enabled(), aspectRatioEnabled},
        {sym::Option_Hardware_Cursor_Enabled(), hardwareCursorEnabled},
        {sym::Option_Music_Volume_Enabled(), musicVolumeEnabled},
        {sym::Option_Ambient_Volume_Enabled(), ambientVolumeEnabled},
        {sym::Option_Sound_Volume_Enabled(), soundVolumeEnabled},
        {sym::Option_Voice_Volume_Enabled(), voiceVolumeEnabled},
        {sym::Option_External_Links_Enabled(), externalLinksEnabled},
    };
    for (const auto& [name, on] : flags)
        *findVariable(global, KindPlain, name, nullptr, true) = Value::fromNumber(on ? 1 : 0);
}

void loadOptions(OptionCells& cells, PlatformSettings& platform, const std::string& folder,
                 const GameSettings& settings, bool touch) {
    MTextFile file;
    if (file.loadText(optionsPath(folder).c_str())) {
        const char* text = file.data();
        while (*text) {
            const char* end = text + std::strcspn(text, "\r\n");
            std::string line(text, end);
            text = end + std::strspn(end, "\r\n");
            size_t equals = line.find('=');
            if (equals != std::string::npos)
                applyOptionLine(cells, platform, line.substr(0, equals), line.c_str() + equals + 1);
        }
    }
    if (touch)
        platform.forceFullScreen = platform.forceAspectRatio = platform.forceCustomCursor = 0;
    if (settings.forceAspectRatio >= 0)
        platform.forceAspectRatio = settings.forceAspectRatio;
    if (platform.forceFullScreen >= 0)
        cells.fullscreenMode = Value::fromNumber(platform.forceFullScreen);
    if (platform.forceAspectRatio >= 0)
        cells.aspectRatio = Value::fromNumber(platform.forceAspectRatio);
    if (platform.forceCustomCursor >= 0)
        cells.hardwareCursor = Value::fromNumber(1 - platform.forceCustomCursor);
}

void saveOptions(const OptionCells& cells, const std::string& folder) {
    std::FILE* file = openFileUtf8(optionsPath(folder).c_str(), "wb");
    if (!file)
        return;
    std::fprintf(file, "fullscreen=%d\r\naspectratio=%d\r\nhardware_cursor=%d\r\n", roundedOption(cells.fullscreenMode),
                 roundedOption(cells.aspectRatio), roundedOption(cells.hardwareCursor));
    std::fprintf(file, "music=%.3f\r\nambient=%.3f\r\nsfx=%.3f\r\nvoice=%.3f\r\n", numberOption(cells.musicVolume),
                 numberOption(cells.ambientVolume), numberOption(cells.soundVolume), numberOption(cells.voiceVolume));
    std::fclose(file);
}

bool fullscreenWanted(const OptionCells& cells, const PlatformSettings& platform) {
    if (platform.forceFullScreen >= 0)
        return platform.forceFullScreen > 0;
    return cells.fullscreenMode.isNumber() && cells.fullscreenMode.number > 0.5;
}

int aspectModeInForce(const OptionCells& cells, const PlatformSettings& platform) {
    return platform.forceAspectRatio >= 0 ? platform.forceAspectRatio : roundedOption(cells.aspectRatio);
}

bool systemCursorUsed(const OptionCells& cells, const PlatformSettings& platform) {
    if (platform.forceCustomCursor >= 0)
        return platform.forceCustomCursor == 0;
    return cells.hardwareCursor.isNumber() && cells.hardwareCursor.number > 0.5;
}

} // namespace glint
