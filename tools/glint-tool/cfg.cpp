// glint-tool cfg get GAME_DIR KEY: the value of KEY in the game
// configuration exactly as the engine reads it, override file included.
#include "command.h"

#include "app/application.h"
#include "engine/resources/resource.h"
#include "engine/system/system.h"
#include "resource/configuration.h"
#include "script/symbol.h"
#include "script/value.h"

#include <cstdio>
#include <cstring>
#include <filesystem>

namespace glint::tool {

namespace {

constexpr const char* kUsage = "glint-tool cfg get GAME_DIR KEY";

bool startEngineFiles(const char* gameDir) {
    std::error_code error;
    if (!std::filesystem::exists(gameDir, error)) {
        std::fprintf(stderr, "glint-tool cfg: game folder '%s' does not exist\n", gameDir);
        return false;
    }
    if (!std::filesystem::is_directory(gameDir, error)) {
        std::fprintf(stderr, "glint-tool cfg: '%s' is not a folder\n", gameDir);
        return false;
    }
    if (!systemInit(gameDir)) {
        std::fprintf(stderr, "glint-tool cfg: cannot use game folder '%s'\n", gameDir);
        return false;
    }
    resourceInit();
    resourceMountArchive(resolveDataPath("data.pak"));
    return true;
}

void printValue(const Value& value) {
    if (value.isString()) {
        std::printf("string %s\n", value.symbol()->text);
        return;
    }
    std::printf("number %s\n", valueText(value).c_str());
}

int runCfg(int argc, char** argv) {
    if (argc != 4 || std::strcmp(argv[1], "get") != 0) {
        std::fprintf(stderr, "usage: %s\n", kUsage);
        return 2;
    }
    if (!startEngineFiles(argv[2]))
        return 2;
    initSymbols();
    MConfiguration config(kGameConfigPath);
    loadGameConfiguration(config);
    // A key that no file mentions was never interned.
    const Value* value = config.find(findSymbol(std::string_view(argv[3])));
    if (!value) {
        std::printf("missing\n");
        return 1;
    }
    printValue(*value);
    return 0;
}

} // namespace

GLINT_TOOL_COMMAND("cfg", kUsage, runCfg);

} // namespace glint::tool
