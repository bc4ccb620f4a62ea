#include "ship_title.h"

#include "app/application.h"
#include "app/game_config.h"
#include "app/user_identity.h"
#include "engine/resources/resource.h"
#include "engine/system/system.h"
#include "resource/configuration.h"
#include "script/symbol.h"

namespace glint::tool {

std::string gameWindowTitle(const std::string& gameDir) {
    if (!systemInit(gameDir.c_str()))
        return "";
    resourceMountArchive(resolveDataPath("data.pak"));
    initSymbols();
    MConfiguration config(kGameConfigPath);
    loadGameConfiguration(config);
    GameSettings settings = readGameSettings(config);
    return windowTitleForGame(settings, languageForGame(config).suffix);
}

} // namespace glint::tool
