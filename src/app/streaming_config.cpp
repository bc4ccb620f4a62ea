// "streaming_config.xml": what a streaming service lets the options menu
// offer, what it forces, which pointer shapes it hides, and its splash images.
#include "app/options.h"

#include "engine/system/numbers.h"
#include "script/symbol.h"

#include <tinyxml.h>

namespace glint {

namespace {

// Element texts are integers: an optional "-" and digits; no text gives 0.
int elementInteger(const TiXmlElement* element) {
    const char* text = element ? element->GetText() : nullptr;
    return text ? parseInt(text) : 0;
}

void readAvailability(PlatformSettings& platform, const TiXmlElement* button) {
    int enabled = 0;
    if (button->QueryIntAttribute("enabled", &enabled) == TIXML_SUCCESS)
        platform.optionsMenuButton = enabled > 0;
    if (!platform.optionsMenuButton)
        return;
    const std::pair<const char*, bool PlatformSettings::*> flags[] = {
        {"FullScreenEnabled", &PlatformSettings::fullScreenEnabled},
        {"AspectRatioEnabled", &PlatformSettings::aspectRatioEnabled},
        {"HardwareCursorEnabled", &PlatformSettings::hardwareCursorEnabled},
        {"MusicVolumeEnabled", &PlatformSettings::musicVolumeEnabled},
        {"AmbientVolumeEnabled", &PlatformSettings::ambientVolumeEnabled},
        {"SoundVolumeEnabled", &PlatformSettings::soundVolumeEnabled},
        {"VoiceVolumeEnabled", &PlatformSettings::voiceVolumeEnabled},
        {"ExternalLinksEnabled", &PlatformSettings::externalLinksEnabled},
    };
    for (const auto& [name, flag] : flags) {
        if (const TiXmlElement* element = button->FirstChildElement(name))
            platform.*flag = elementInteger(element) > 0;
    }
}

void readForced(PlatformSettings& platform, const TiXmlElement* root) {
    const std::pair<const char*, int32_t PlatformSettings::*> forced[] = {
        {"ForceFullScreen", &PlatformSettings::forceFullScreen},
        {"ForceAspectRatio", &PlatformSettings::forceAspectRatio},
        {"ForceCustomCursor", &PlatformSettings::forceCustomCursor},
    };
    for (const auto& [name, field] : forced) {
        if (const TiXmlElement* element = root->FirstChildElement(name))
            platform.*field = elementInteger(element);
    }
}

void readCursors(PlatformSettings& platform, const TiXmlElement* cursors) {
    for (const TiXmlElement* cursor = cursors->FirstChildElement("Cursor"); cursor;
         cursor = cursor->NextSiblingElement("Cursor")) {
        const char* name = cursor->Attribute("name");
        if (!name)
            continue;
        for (PointerShapeSetting& slot : platform.pointerShapes) {
            if (slot.name)
                continue;
            slot.name = intern(name);
            int visible = 0;
            if (cursor->QueryIntAttribute("visible", &visible) == TIXML_SUCCESS)
                slot.visible = visible > 0;
            break;
        }
    }
}

void readSplashScreens(PlatformSettings& platform, const TiXmlElement* screens) {
    for (std::string& slot : platform.splash)
        slot.clear();
    for (const TiXmlElement* screen = screens->FirstChildElement("SplashScreen"); screen;
         screen = screen->NextSiblingElement("SplashScreen")) {
        int order = 0;
        if (screen->QueryIntAttribute("order", &order) == TIXML_SUCCESS && order >= 1 && order <= kSplashSlots)
            platform.splash[order - 1] = screen->GetText() ? screen->GetText() : "";
    }
}

} // namespace

void readStreamingConfig(PlatformSettings& platform, const char* path) {
    TiXmlDocument document;
    if (!document.LoadFile(path))
        return;
    const TiXmlElement* root = document.FirstChildElement();
    if (!root || root->ValueStr() != "StreamingServiceConfiguration")
        return;
    if (const TiXmlElement* ui = root->FirstChildElement("UserInterfaceConfiguration")) {
        if (const TiXmlElement* button = ui->FirstChildElement("OptionsMenuButton"))
            readAvailability(platform, button);
    }
    readForced(platform, root);
    if (const TiXmlElement* cursors = root->FirstChildElement("Cursors"))
        readCursors(platform, cursors);
    if (const TiXmlElement* screens = root->FirstChildElement("SplashScreens"))
        readSplashScreens(platform, screens);
}

} // namespace glint
